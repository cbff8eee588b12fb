#pragma once

#include "platform/safefile.h"
#include "platform/saveleftovers.h"

#include <QByteArray>

#include <sys/stat.h>

// Rewriting a page in its own inode, for when a new file cannot take the
// page's place with everything about it kept (other hard links, an owner or
// attributes the user cannot give, a folder the user cannot write). A complete
// backup is on disk before the page is touched; a failed write is undone from
// it, and a save killed half way is undone at the next open or save.
namespace InPlaceWrite {

// Writes bytes over the page (its path after links, of which before is the
// stat), truncating only once the new bytes are written.
SafeFile::Result write(const QByteArray &page, const struct stat &before, const QByteArray &bytes);

// Puts a backup left over by a killed save back into the page, when it was
// taken of the file still there. False when the backup is still needed.
bool restore(const QByteArray &page, const SaveLeftovers::Leftover &backup);

} // namespace InPlaceWrite
