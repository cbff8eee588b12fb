#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one place where text meets bytes. Pages, the settings file and the word
// list are stored in the ANSI code page of the target systems, code page 936
// (GBK), extended by GB18030's four-byte sequences so that no character is lost.
//
// Decoding never loses a byte: a byte that is neither part of a code page 936
// character nor of a GB18030 four-byte sequence decodes to the lone surrogate
// U+DC00 + byte, and encoding turns that surrogate back into the same byte.
// Files are decoded as a whole and without state, so a lead byte at the very
// end of a file is kept as well.
namespace AnsiCodec {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);
// The same with bytes appended, without copying the encoded text again.
QByteArray encode(QStringView text, QByteArrayView suffix);

// Number of bytes encode(text) would produce, without building them.
qsizetype encodedLength(QStringView text);

// Bytes of one character (a BMP code unit or a full code point) in its
// encoded form; 1, 2 or 4.
int encodedLength(char32_t codePoint);

} // namespace AnsiCodec
