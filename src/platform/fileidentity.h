#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// What a file is besides its bytes: owner, group, all twelve permission bits
// and extended attributes (access control lists and security labels among
// them). A new file that is to replace another one gets them from it.
namespace FileIdentity {

// Gives the file open as fd the identity of the file at originalPath, whose
// stat is original, and checks that it holds it. False when any part cannot
// be given: only a write in place then keeps the file's identity. Call after
// the last write to fd, since writing clears the set-user-ID and set-group-ID
// bits.
bool copy(const QByteArray &originalPath, const struct stat &original, int fd);

// Which file a path names and in what state, as noted when a page is opened
// or saved: device, inode, size and modification time to the nanosecond,
// and a hash of the bytes for where those cannot tell (a file system that
// keeps whole seconds, a file put back by rename).
struct Note {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified = {};
    QByteArray hash;

    bool sameStat(const Note &other) const;
};

enum class Change { Same, Changed, Removed };

// The note of the file at path now (exists false when there is none). The
// hash is taken only when withHash is set.
Note noteOf(const QString &path, bool withHash = true);

// How the file at path stands against an earlier note of it. A file whose
// bytes are those of the note is the same, whatever else changed (its mode,
// a rewrite with the same text, a replacement by rename).
Change compare(const Note &note, const QString &path);

} // namespace FileIdentity
