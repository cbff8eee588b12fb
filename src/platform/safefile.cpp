#include "platform/safefile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

QString reasonFor(int error, const QString &systemReason)
{
    switch (error) {
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return QStringLiteral("磁盘已满或文件超出大小限制");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("文件系统是只读的");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    default:
        return systemReason;
    }
}

SafeFile::Result failure(int error, const QString &systemReason)
{
    return {false, reasonFor(error, systemReason)};
}

} // namespace

void SafeFile::discard(QSaveFile &file)
{
    file.cancelWriting();
    file.commit();
}

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

SafeFile::Result SafeFile::write(const QString &path, const QByteArray &bytes)
{
    ignoreFileSizeSignal();

    // QSaveFile follows a symbolic link to its final target, writes the
    // temporary file beside that target and gives it the target's permissions.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);

    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        const QFileInfo target(path);
        if (target.isDir())
            return {false, QStringLiteral("目标是文件夹，不是文件")};
        if (error == 0 && target.exists() && !target.isWritable())
            return failure(EACCES, file.errorString());
        return failure(error, file.errorString());
    }

    // After a failed write, flush or sync the temporary file goes and the
    // target stays as it was.
    const auto abandon = [&file](int error, const QString &systemReason) {
        discard(file);
        return failure(error, systemReason);
    };

    // A write can take fewer bytes than offered (disk full, file-size limit)
    // without reporting an error; writing the rest then fails with the reason.
    qsizetype written = 0;
    while (written < bytes.size()) {
        errno = 0;
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return abandon(errno, file.errorString());
        written += count;
    }

    errno = 0;
    if (!file.flush())
        return abandon(errno, file.errorString());
    if (::fsync(file.handle()) != 0)
        return abandon(errno, QString::fromLocal8Bit(strerror(errno)));

    errno = 0;
    if (!file.commit()) {
        // commit() removes the temporary file when the rename fails.
        return failure(errno, file.errorString());
    }
    return {true, {}};
}
