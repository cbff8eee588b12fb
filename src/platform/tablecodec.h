#pragma once

#include "platform/textcodec.h"

#include <memory>

// Codecs for the single- and multi-byte encodings of pages other than GBK
// and Unicode (Big5, Shift_JIS, EUC-KR, windows-1252, ...). Their mappings
// come from the system's converters (ICU, through Qt) and are read into
// tables on first use: every byte sequence the converter decodes to one
// character that it encodes back to the same bytes is a character of the
// page; anything else stays as escaped bytes. So a page keeps its bytes
// through an unchanged open and save whatever the converter does with
// sequences it does not know or maps twice.
//
// nullptr for a name without such a converter.
std::unique_ptr<TextCodec> makeTableCodec(const QString &name);
