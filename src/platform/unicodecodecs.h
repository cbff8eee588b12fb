#pragma once

#include "platform/textcodec.h"

#include <memory>

// UTF-8 and UTF-16 (LE or BE) pages. In UTF-8, bytes that are no character
// decode to escapes like every other codec's; UTF-16 keeps any unit as it is,
// a lone surrogate included, so it holds every text.
std::unique_ptr<TextCodec> makeUtf8Codec();
std::unique_ptr<TextCodec> makeUtf16Codec(const QString &name);

// Length of the valid UTF-8 sequence at the start of bytes, or 0 when it is
// not one (a stray, overlong, surrogate or out-of-range form, or a sequence
// cut off by the end).
int utf8SequenceLength(const uchar *bytes, qsizetype available);

// Where the first byte that is not part of valid UTF-8 stands, or -1; also
// tells whether any non-ASCII sequence came before it.
qsizetype firstInvalidUtf8(QByteArrayView bytes, bool *sawNonAscii = nullptr);
