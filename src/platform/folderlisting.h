#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One folder as the open dialog lists it, read with readdir() so that a name
// whose bytes are no UTF-8 (an old GBK name) is listed and kept exactly:
// names and paths here are in PathBytes' form.
namespace FolderListing {

struct Entry {
    QString name;  // the name's own bytes (PathBytes form)
    QString shown; // the name as the user reads it (PathBytes::readable)
    bool folder = false;
    bool utf8 = true; // false when the name's bytes are no UTF-8
    qint64 size = 0;
    QDateTime modified;
};

// The patterns of a filter as the dialog offers it: "网页文件(*.htm *.html)"
// gives "*.htm" and "*.html"; a filter without brackets is its own pattern.
QStringList patternsOf(const QString &nameFilter);

struct Listing {
    QList<Entry> entries; // folders first, then files, each by shown name
    QString error;        // why the folder could not be read; empty when it was
};

// The folder's subfolders and the files that match one of patterns (any
// file when there are none; letter case does not count). Hidden names,
// those that start with '.', are left out.
Listing list(const QString &folder, const QStringList &patterns);

// What a name typed into the dialog stands for, seen from folder.
struct Target {
    enum Kind {
        File,      // path names an existing file
        Folder,    // path names an existing folder
        Patterns,  // the name holds wildcards: list with patterns instead
        Missing,   // nothing of that name (path is where it would be)
        Ambiguous, // several listed names read that way: pick one in the list
    };
    Kind kind = Missing;
    QString path;
    QStringList patterns;
};

// The typed text may be a name in folder (as its bytes, or as entries show
// a name that is no UTF-8), a path from there or from the root, or patterns.
Target resolve(const QString &folder, const QString &typed, const QList<Entry> &entries);

// folder and name put together.
QString join(const QString &folder, const QString &name);

// The user's home folder, from $HOME's own bytes.
QString home();

} // namespace FolderListing
