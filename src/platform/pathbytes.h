#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>

// A page's path as the file system has it: any bytes but '/' and NUL, not
// necessarily UTF-8 (an old page may carry a GBK name). Qt turns the bytes
// that are no UTF-8 into U+FFFD and loses the name; here each such byte
// becomes the escape TextCodec uses for bytes that are no character
// (U+DC80 to U+DCFF), so that the path comes back as the same bytes.
namespace PathBytes {

// The path for bytes from the system (argv, a folder listing), and back.
QString fromBytes(QByteArrayView bytes);
QByteArray toBytes(const QString &path);

// The path as the caption and the status line show it: a name (of a folder or
// the file) that is no UTF-8 but is GBK in GBK's characters, any other stray
// byte as "\xNN".
QString readable(const QString &path);

// The path Qt gave (a file dialog, a drop), which may hold U+FFFD where the name had
// bytes that are no UTF-8: the one entry of its folder whose name Qt shows
// that way, else the path as it is.
QString fromQt(const QString &path);

// stat() of the path's own bytes; false with errno set on failure.
bool stat(const QString &path, struct stat &info);

} // namespace PathBytes
