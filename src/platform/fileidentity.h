#pragma once

#include <QByteArray>

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

} // namespace FileIdentity
