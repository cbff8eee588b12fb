#pragma once

#include "platform/textcodec.h"

#include <memory>

// ISO-2022-JP, whose bytes mean different things after each escape sequence.
// It goes through the system's converter as a whole; a page whose bytes the
// converter would not write back the same way says so (keepsEveryByte()).
std::unique_ptr<TextCodec> makeStatefulCodec(const QString &name);
