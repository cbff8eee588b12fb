#pragma once

#include "document/pageformat.h"
#include "platform/safefile.h"

#include <QString>

// Pages on disk. Reading finds the page's encoding (see EncodingDetection)
// and notes its form in a PageFormat: byte-order mark, line breaks, and
// whether the file ends with a line break, which is then not part of the
// text. Writing puts the text back in that form, so that a page opened and
// saved unchanged keeps its bytes.
namespace PageFile {

struct ReadResult {
    bool ok = false;
    QString text;  // the page as the editing area takes it
    QString error; // the reason, in words for the user, when ok is false
    PageFormat format;
    // The encoding the page declares where its bytes overrule it; else "".
    QString overruledDeclaration;
    // Set where the page's bytes may not come back the same on saving.
    bool bytesMayChange = false;
    // The line break taken off the end of the text, as the file had it.
    QString finalLineBreakText;
};

ReadResult read(const QString &path);
// The same for a page's bytes already read.
ReadResult decode(QByteArrayView bytes);
// The same in an encoding the caller chose.
ReadResult read(const QString &path, const QString &encoding);

// The bytes of a page's text in format; characters the encoding cannot hold
// are written as numeric character references.
QByteArray encode(const QString &text, const PageFormat &format);

SafeFile::Result write(const QString &path, const QString &text,
                       const PageFormat &format = PageFormat());

} // namespace PageFile
