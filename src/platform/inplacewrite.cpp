#include "platform/inplacewrite.h"

#include "platform/posixfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace InPlaceWrite {

namespace {

using PosixFile::Descriptor;
using SaveLeftovers::OwnFile;
using SaveLeftovers::Place;

// The page for writing, if it still is the regular file described by before.
Descriptor openPage(const QByteArray &page, const struct stat &before)
{
    PosixFile::step("open page");
    Descriptor fd = PosixFile::open(page, O_RDWR | O_NOFOLLOW | O_NONBLOCK);
    struct stat now = {};
    if (fd.isOpen() && (::fstat(fd.get(), &now) != 0 || !S_ISREG(now.st_mode) ||
                        now.st_dev != before.st_dev || now.st_ino != before.st_ino)) {
        errno = EBUSY; // replaced meanwhile
        return {};
    }
    return fd;
}

// The bytes as the whole content of the open page.
bool replaceContent(int fd, const QByteArray &bytes)
{
    PosixFile::step("write page");
    if (!PosixFile::writeAll(fd, bytes))
        return false;
    PosixFile::step("truncate page");
    if (::ftruncate(fd, off_t(bytes.size())) != 0)
        return false;
    PosixFile::step("sync page");
    return ::fsync(fd) == 0;
}

void removeFile(const QByteArray &path)
{
    PosixFile::step("remove file");
    ::unlink(path.constData());
}

// A complete copy of the old bytes on disk, beside the page or else in the
// cache folder; nullopt with errno set.
std::optional<OwnFile> backUp(const QByteArray &page, ino_t inode, const QByteArray &old)
{
    int error = 0;
    for (const Place place : {Place::Beside, Place::Cache}) {
        std::optional<OwnFile> file = SaveLeftovers::createTemporary(page, place, 0600);
        if (!file) {
            error = errno;
            continue;
        }
        PosixFile::step("write backup");
        bool ok = PosixFile::writeAll(file->fd.get(), old);
        if (ok) {
            PosixFile::step("sync backup");
            ok = ::fsync(file->fd.get()) == 0;
        }
        if (ok && SaveLeftovers::makeBackup(*file, inode))
            return file;
        error = errno;
        removeFile(file->path);
    }
    errno = error;
    return std::nullopt;
}

} // namespace

SafeFile::Result write(const QByteArray &page, const struct stat &before, const QByteArray &bytes)
{
    const Descriptor fd = openPage(page, before);
    if (!fd.isOpen())
        return {false, PosixFile::reason(errno)};
    const std::optional<QByteArray> old = PosixFile::readAll(fd.get());
    if (!old)
        return {false, PosixFile::reason(errno)};
    const std::optional<OwnFile> backup = backUp(page, before.st_ino, *old);
    if (!backup) {
        return {false,
                QStringLiteral("无法建立备份副本，文件没有改动：") + PosixFile::reason(errno)};
    }

    if (!replaceContent(fd.get(), bytes)) {
        const int error = errno;
        if (!replaceContent(fd.get(), *old)) {
            return {false, PosixFile::reason(error) +
                               QStringLiteral("\r\n文件可能已经损坏，原来的内容在备份副本中：") +
                               QFile::decodeName(backup->path)};
        }
        removeFile(backup->path);
        return {false, PosixFile::reason(error)};
    }
    removeFile(backup->path);
    return {true, {}};
}

bool restore(const QByteArray &page, const SaveLeftovers::Leftover &backup)
{
    // Once the file it was taken of is gone or replaced, nothing needs it.
    struct stat info = {};
    if (::stat(page.constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    if (!S_ISREG(info.st_mode) || !SaveLeftovers::isBackupOf(backup, info.st_ino))
        return true;
    const std::optional<QByteArray> old = PosixFile::readAll(backup.lock.get());
    if (!old)
        return false;
    const Descriptor fd = openPage(page, info);
    if (!fd.isOpen())
        return false;
    const std::optional<QByteArray> now = PosixFile::readAll(fd.get());
    return (now && *now == *old) || replaceContent(fd.get(), *old);
}

} // namespace InPlaceWrite
