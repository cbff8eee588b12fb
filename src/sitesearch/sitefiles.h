#pragma once

#include "document/pagefile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files of a site and their text. A folder is walked for the file
// patterns, into its subfolders when asked; a file named on its own is taken
// whatever its name. Each file is read in its own encoding, found as opening
// a page finds it, without a byte changed or left behind.
namespace SiteFiles {

constexpr qint64 kDefaultSizeLimit = 50 * 1024 * 1024;

// "*.htm;*.html;*.shtml;*.asp;*.php;*.css;*.js"
QString defaultPatterns();
// Patterns separated by ";" (or blanks or ","), empty ones dropped.
QStringList splitPatterns(const QString &patterns);

// The files under paths, sorted within each folder, without repeats. Names
// match the patterns without regard to case; links to folders are not
// followed, so that no folder is walked twice.
QStringList list(const QStringList &paths, const QStringList &patterns, bool subfolders);

struct Loaded {
    enum class Status { Ok, Binary, TooLarge, Unreadable };
    Status status = Status::Unreadable;
    QString reason;            // why the file was skipped, in words for the user
    QByteArray bytes;          // as on disk
    PageFile::ReadResult page; // its format; the text is moved to text
    QString text;              // the whole text, its final line break included
};

// Reads a file; one of more than sizeLimit bytes, one with a NUL byte in its
// first 8 KB (unless it starts with a UTF-16 byte-order mark) and one that
// cannot be read are skipped, with the reason.
Loaded load(const QString &path, qint64 sizeLimit = kDefaultSizeLimit);

// Bytes load has read in this process, from any thread.
qint64 bytesRead();

} // namespace SiteFiles
