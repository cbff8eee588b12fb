#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one place where text meets bytes. Pages, the settings file and the word
// list are stored in the ANSI code page of the target systems, code page 936
// (GBK), extended by GB18030's four-byte sequences so that no character is lost.
//
// Two-byte codes read as browsers read them. Where that differs from code page
// 936 (CJK radicals at FE50-FEA0, ideographic description characters at
// A989-A995, U+1E3F and U+01F9 at A8BC and A8BF), the private-use characters
// that code page 936 had for those codes are written in their GB18030
// four-byte form.
//
// Every Unicode scalar value encodes to bytes that decode back to it, and
// decoding never loses a byte: a byte that is neither part of a character nor
// of a GB18030 four-byte sequence decodes to the lone surrogate U+DC00 + byte,
// and encoding turns that surrogate back into the same byte. Files are decoded
// as a whole and without state, so a lead byte at the very end of a file is
// kept as well.
namespace AnsiCodec {

// Text for the editing area: exact, except for the three characters the
// editing area turns into line breaks (U+2029, U+FDD0, U+FDD1), whose bytes
// decode to escapes, so that a page opened and saved unchanged keeps them.
QString decode(QByteArrayView bytes);
// Every character exactly as encode() writes it.
QString decodeExact(QByteArrayView bytes);
QByteArray encode(QStringView text);
// The same with bytes appended, without copying the encoded text again.
QByteArray encode(QStringView text, QByteArrayView suffix);

// Number of bytes encode(text) would produce, without building them.
qsizetype encodedLength(QStringView text);

// Bytes of one character (a BMP code unit or a full code point) in its
// encoded form; 1, 2 or 4.
int encodedLength(char32_t codePoint);

} // namespace AnsiCodec
