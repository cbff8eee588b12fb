#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file so that the old one survives any failure, and so that
// the file keeps everything about it but its bytes. A symbolic link is
// followed to its target. Normally the bytes go to a temporary file beside the
// target that gets the target's owner, group, mode and extended attributes
// and then is renamed over it. Where that cannot keep them (other hard links,
// an owner the user cannot give, a folder the user cannot write), the file is
// rewritten in place after a complete backup copy. Anything but a regular file
// is never replaced.
//
// What a killed save leaves behind is removed (or, for a backup, put back) by
// the next save of the same file, or by removeLeftovers when it is opened.
namespace SafeFile {

struct Result {
    bool ok = false;
    QString error; // the reason, in words for the user, when ok is false
};

Result write(const QString &path, const QByteArray &bytes);

// Removes the temporary files that killed saves of path left beside it, and
// puts back the page from a backup that a save killed while writing it in
// place left. Files that a running save owns, and files not of our making,
// stay.
void removeLeftovers(const QString &path);

// Past a file-size limit the kernel would end the program with SIGXFSZ;
// ignored, the write fails with EFBIG instead. Done once; a handler someone
// else installed is left alone.
void ignoreFileSizeSignal();

} // namespace SafeFile
