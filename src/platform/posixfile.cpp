#include "platform/posixfile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PosixFile {

namespace {

StepHook stepHook = nullptr;

} // namespace

void setStepHook(StepHook hook)
{
    stepHook = hook;
}

void step(const char *name)
{
    if (stepHook)
        stepHook(name);
}

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Descriptor::~Descriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Descriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Descriptor open(const QByteArray &path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    qsizetype written = 0;
    // A write can take fewer bytes than offered (disk full, file-size limit)
    // without an error; writing the rest then fails with the reason.
    while (written < size) {
        const ssize_t count = ::pwrite(fd, data + written, size_t(size - written), off_t(written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = ENOSPC;
            return false;
        }
        written += count;
    }
    return true;
}

std::optional<QByteArray> readAll(int fd)
{
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::pread(fd, buffer, sizeof buffer, off_t(bytes.size()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return bytes;
        bytes.append(buffer, count);
    }
}

QString reason(int error)
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
    case EISDIR:
        return QStringLiteral("目标是文件夹，不是文件");
    default:
        return QString::fromLocal8Bit(strerror(error));
    }
}

void syncFolder(const QByteArray &folder)
{
    const Descriptor fd = open(folder, O_RDONLY | O_DIRECTORY);
    if (fd.isOpen()) {
        step("sync folder");
        ::fsync(fd.get());
    }
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

std::optional<QByteArray> followLinks(QByteArray path)
{
    // The kernel's own limit on links followed in one lookup.
    for (int links = 0; links <= 40; ++links) {
        struct stat info = {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(qMax<qsizetype>(info.st_size, PATH_MAX) + 1, Qt::Uninitialized);
        const ssize_t size = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (size < 0)
            return std::nullopt;
        if (size == target.size()) {
            errno = ENAMETOOLONG;
            return std::nullopt;
        }
        target.truncate(size);
        if (!target.startsWith('/'))
            target = folderOf(path) + '/' + target;
        path = target;
    }
    errno = ELOOP;
    return std::nullopt;
}

} // namespace PosixFile
