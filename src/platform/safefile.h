#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

// Writes a whole file so that the old one survives any failure: the bytes go
// to a temporary file in the same folder, every write, the flush and the sync
// to disk are checked, and only then is the temporary file renamed over the
// target. A symbolic link is followed to its target, whose permissions are
// kept.
namespace SafeFile {

struct Result {
    bool ok = false;
    QString error; // the reason, in words for the user, when ok is false
};

Result write(const QString &path, const QByteArray &bytes);

// Drops what was written to file so far; its target is not touched.
void discard(QSaveFile &file);

// Past a file-size limit the kernel would end the program with SIGXFSZ;
// ignored, the write fails with EFBIG instead. Done once; a handler someone
// else installed is left alone.
void ignoreFileSizeSignal();

} // namespace SafeFile
