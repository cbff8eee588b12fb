#include "platform/safefile.h"

#include "platform/fileidentity.h"
#include "platform/inplacewrite.h"
#include "platform/pathbytes.h"
#include "platform/posixfile.h"
#include "platform/saveleftovers.h"

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using SafeFile::Result;
using SaveLeftovers::OwnFile;

Result failure(int error)
{
    return {false, PosixFile::reason(error)};
}

void removeLeftoversOf(const QByteArray &target)
{
    for (const SaveLeftovers::Leftover &leftover : SaveLeftovers::find(target)) {
        if (leftover.kind == SaveLeftovers::Kind::Backup &&
            !InPlaceWrite::restore(target, leftover))
            continue;
        PosixFile::step("remove leftover");
        ::unlink(leftover.path.constData());
    }
}

void removeTemporary(const OwnFile &file)
{
    PosixFile::step("remove temporary file");
    ::unlink(file.path.constData());
}

// Errors of a new file in the folder that a write in place avoids.
bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY;
}

// A new file renamed over the target; existing is the target's stat, or null
// when there is none.
Result replace(const QByteArray &target, const struct stat *existing, const QByteArray &bytes)
{
    // A new file gets the usual permissions; a replacement gets the target's.
    std::optional<OwnFile> file = SaveLeftovers::createTemporary(
        target, SaveLeftovers::Place::Beside, existing ? 0600 : 0666);
    if (!file) {
        if (existing && folderRefuses(errno))
            return InPlaceWrite::write(target, *existing, bytes);
        return failure(errno);
    }
    const int fd = file->fd.get();
    // Removes the temporary file after a failed step, and gives that step's
    // error.
    const auto abandon = [&file] {
        const int error = errno;
        removeTemporary(*file);
        return error;
    };

    PosixFile::step("write temporary file");
    if (!PosixFile::writeAll(fd, bytes))
        return failure(abandon());
    if (existing && !FileIdentity::copy(target, *existing, fd)) {
        removeTemporary(*file);
        return InPlaceWrite::write(target, *existing, bytes);
    }
    PosixFile::step("sync temporary file");
    if (::fsync(fd) != 0)
        return failure(abandon());
    PosixFile::step("rename");
    if (::rename(file->path.constData(), target.constData()) != 0) {
        const int error = abandon();
        if (existing && folderRefuses(error))
            return InPlaceWrite::write(target, *existing, bytes);
        return failure(error);
    }
    PosixFile::syncFolder(PosixFile::folderOf(target));
    return {true, {}};
}

} // namespace

void SafeFile::ignoreFileSizeSignal()
{
    static const bool ignored = [] {
        struct sigaction current = {};
        if (sigaction(SIGXFSZ, nullptr, &current) != 0)
            return false;
        if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL)
            return false;
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        return sigaction(SIGXFSZ, &ignore, nullptr) == 0;
    }();
    Q_UNUSED(ignored);
}

void SafeFile::removeLeftovers(const QString &path)
{
    if (const std::optional<QByteArray> target = PosixFile::followLinks(PathBytes::toBytes(path)))
        removeLeftoversOf(*target);
}

Result SafeFile::write(const QString &path, const QByteArray &bytes)
{
    ignoreFileSizeSignal();

    const std::optional<QByteArray> target = PosixFile::followLinks(PathBytes::toBytes(path));
    if (!target)
        return failure(errno);
    removeLeftoversOf(*target);

    struct stat info = {};
    if (::stat(target->constData(), &info) != 0) {
        if (errno == ENOENT)
            return replace(*target, nullptr, bytes);
        return failure(errno);
    }
    if (S_ISDIR(info.st_mode))
        return {false, QStringLiteral("目标是文件夹，不是文件")};
    if (!S_ISREG(info.st_mode)) {
        return {false, QStringLiteral("目标不是普通文件，而是设备、管道或套接字，不能保存到这里")};
    }
    if (::access(target->constData(), W_OK) != 0)
        return failure(errno);
    if (info.st_nlink > 1)
        return InPlaceWrite::write(*target, info, bytes);
    return replace(*target, &info, bytes);
}
