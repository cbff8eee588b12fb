#pragma once

#include "platform/linebreak.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

class TextCodec;

// How a page's text is kept as bytes: its encoding, a byte-order mark, its
// main kind of line break and whether the file ends with one, and of which
// kind. A page is written back in the form it was read in (each line's break
// is kept with the line by the editing area); new pages are GBK with CR LF
// and a final CR LF.
struct PageFormat {
    using LineBreak = ::LineBreak;

    QString encoding = QStringLiteral("GBK");
    bool byteOrderMark = false;
    // The kind most lines end with; typed line breaks are of this kind.
    LineBreak lineBreak = LineBreak::CrLf;
    bool finalLineBreak = true;
    // The kind of the final line break where it is not the main kind.
    std::optional<LineBreak> ownFinalBreak;
    // Bytes after the last whole unit of a UTF-16 file, kept as they were.
    QByteArray trailingBytes;

    // The codec of the encoding; GBK's for a name without codec.
    const TextCodec *codec() const;
    QStringView lineBreakText() const;
    LineBreak finalBreak() const { return ownFinalBreak.value_or(lineBreak); }
    // A short description for the status bar: "GBK CRLF", "UTF-8 BOM LF",
    // "GBK 混合换行" for a page whose lines end in breaks of several kinds
    // (mixedLineBreaks: before the last line; the final one is the format's).
    QString description(bool mixedLineBreaks = false) const;
    // What a save writes besides the text: byte-order mark, final line
    // break and the bytes kept after the last unit.
    qint64 bytesAroundText() const;
    // Every line break of kind to, the final one too.
    PageFormat withLineBreaks(LineBreak to) const;

    // The same page in another encoding: with a byte-order mark when asked
    // or when the encoding needs one, and without the bytes kept after the
    // last unit of another encoding.
    PageFormat inEncoding(const QString &name, bool withByteOrderMark) const;

    bool operator==(const PageFormat &other) const = default;
};
