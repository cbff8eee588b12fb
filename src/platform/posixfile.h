#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/types.h>

// The system calls a save is made of, each checked, and the one place that
// names every step that changes something on disk. Paths are the file system's
// own bytes (QFile::encodeName).
namespace PosixFile {

// Called with the step's name right before the system call it names. Tests
// use it to stop a save at every step; nothing else sets it.
using StepHook = void (*)(const char *step);
void setStepHook(StepHook hook);
void step(const char *name);

// A file descriptor that is closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    Descriptor(Descriptor &&other) noexcept
        : m_fd(other.release())
    {}
    Descriptor &operator=(Descriptor &&other) noexcept;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor();

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    int release();

private:
    int m_fd = -1;
};

// open() that retries on EINTR; flags always include O_CLOEXEC.
Descriptor open(const QByteArray &path, int flags, mode_t mode = 0);

// Writes all bytes from offset 0 on; false with errno set when any write
// fails or takes nothing.
bool writeAll(int fd, const char *data, qsizetype size);
inline bool writeAll(int fd, const QByteArray &bytes)
{
    return writeAll(fd, bytes.constData(), bytes.size());
}
// The whole file from offset 0; nullopt with errno set on failure.
std::optional<QByteArray> readAll(int fd);

// The reason a call failed with error, in words for the user.
QString reason(int error);

// Puts the folder's entries on disk (after a rename or unlink in it). Its
// failure is not reported: the data itself already is on disk.
void syncFolder(const QByteArray &folder);

// The folder part and the name part of a path ("." for a bare name).
QByteArray folderOf(const QByteArray &path);
QByteArray nameOf(const QByteArray &path);

// The path with every symbolic link on its last part followed, as a save must
// write it; a dangling link gives the path it points to. nullopt with errno
// set for a loop of links.
std::optional<QByteArray> followLinks(QByteArray path);

} // namespace PosixFile
