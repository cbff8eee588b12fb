#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class TextCodec;

// How a page's text is kept as bytes: its encoding, a byte-order mark, its
// line breaks and whether the file ends with one. A page is written back in
// the form it was read in; new pages are GBK with CR LF and a final CR LF.
struct PageFormat {
    enum class LineBreak { CrLf, Lf, Cr };

    QString encoding = QStringLiteral("GBK");
    bool byteOrderMark = false;
    LineBreak lineBreak = LineBreak::CrLf;
    bool finalLineBreak = true;
    // Bytes after the last whole unit of a UTF-16 file, kept as they were.
    QByteArray trailingBytes;

    // The codec of the encoding; GBK's for a name without codec.
    const TextCodec *codec() const;
    QStringView lineBreakText() const;
    // A short description for the status bar: "GBK CRLF", "UTF-8 BOM LF".
    QString description() const;

    // The convention of text as read: CR LF where any line breaks with CR LF
    // or where CR and LF are mixed, else the one kind it uses (CR LF for text
    // without line breaks).
    static LineBreak lineBreakOf(QStringView text);

    // The same page in another encoding: with a byte-order mark when asked
    // or when the encoding needs one, and without the bytes kept after the
    // last unit of another encoding.
    PageFormat inEncoding(const QString &name, bool withByteOrderMark) const;

    bool operator==(const PageFormat &other) const = default;
};
