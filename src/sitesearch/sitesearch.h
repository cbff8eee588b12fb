#pragma once

#include "editor/findreplacesearch.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <vector>

// Find and replace in the files of a site, each file in its own encoding,
// byte-order mark and line breaks: a replace changes the bytes of the
// matches and nothing else.
namespace SiteSearch {

struct LineMatch {
    int line = 0;      // 1-based
    int column = 0;    // 1-based, in characters
    int offset = 0;    // from the line's start, in UTF-16 units
    int length = 0;    // of the match, in UTF-16 units
    QString text;      // the line (a long one cut to the stretch around the match)
    int textStart = 0; // the match within text
    int textLength = 0;
};

struct FileReport {
    enum class Outcome {
        Searched,   // read and searched (matches may be empty)
        Changed,    // replaced and written (or would be, on a dry run)
        Skipped,    // binary, too large
        Unreadable, // could not be read
        LeftAlone,  // matches, but not written: the reason says why
    };
    QString path;
    QString encoding; // the file's form: "GBK CRLF", "UTF-8 BOM LF"
    Outcome outcome = Outcome::Searched;
    QString reason;
    std::vector<LineMatch> matches; // find
    int replaced = 0;               // replace: the matches replaced
};

// What a replace did to one file, so that it can be taken back.
struct Change {
    QString path;
    QByteArray before;
    QByteArray after;
};

FileReport find(const QString &path, const SearchPattern &pattern, qint64 sizeLimit);

// Replaces every match in the file and writes it safely, unless dryRun. A
// file whose encoding cannot hold a replacement is left alone. change is
// set when the file was written.
FileReport replace(const QString &path, const SearchPattern &pattern, const QString &replacement,
                   qint64 sizeLimit, bool dryRun, Change *change = nullptr);

// Puts back each changed file's previous bytes, as long as it still holds
// what the replace wrote. Returns the files left as they are, with the
// reason; restored lists the files put back.
std::vector<FileReport> undo(const std::vector<Change> &changes, QStringList *restored = nullptr);

// "PATH:LINE:COLUMN: text" for each match.
QString matchLines(const FileReport &report);

} // namespace SiteSearch

Q_DECLARE_METATYPE(SiteSearch::FileReport)
