#pragma once

#include "platform/posixfile.h"

#include <QByteArray>
#include <vector>

#include <optional>
#include <sys/types.h>

// The files a save makes besides the page itself, and finding them again when
// a killed save left them behind. Each is named so that it is plainly ours and
// tells whose it is: hidden, the page's name, the writer's process id, a
// tag (random, or for a backup the page's inode) and a fixed suffix, as in
// ".page.htm.4711-9f3a6c01.zelmo-tmp". The writer also holds a lock on it for as long as it runs. A
// file is left over only when both say that no save owns it any more.
namespace SaveLeftovers {

enum class Kind {
    Temporary, // the new page or a backup being written; never needed afterwards
    Backup,    // a complete copy of the page taken before writing it in place
};

// A file of ours, open and locked.
struct OwnFile {
    QByteArray path;
    QByteArray base; // the path up to the tag
    PosixFile::Descriptor fd;
};

// Where a save puts its files: beside the page, or in the user's cache folder
// when the page's folder cannot take them (a name there also carries a hash
// of the page's path).
enum class Place { Beside, Cache };

// Creates a new temporary file for the page (its path after links).
// nullopt with errno set.
std::optional<OwnFile> createTemporary(const QByteArray &page, Place place, mode_t mode);
// Gives a complete temporary file its backup name, whose tag is the page's
// inode; false with errno set.
bool makeBackup(OwnFile &file, ino_t page);

// A file that no running save owns, locked while this lives.
struct Leftover {
    QByteArray path;
    QByteArray tag;
    Kind kind;
    PosixFile::Descriptor lock; // open for reading
};

// Every leftover of the page, beside it and in the cache folder.
std::vector<Leftover> find(const QByteArray &page);

// Whether a backup was taken of the file that is now at the page's path
// (and not of one that has replaced it since).
bool isBackupOf(const Leftover &leftover, ino_t page);

} // namespace SaveLeftovers
