#include "platform/fileidentity.h"

#include "platform/posixfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMap>

#include <cerrno>
#include <optional>
#include <sys/xattr.h>
#include <unistd.h>

namespace FileIdentity {

namespace {

using Attributes = QMap<QByteArray, QByteArray>;

// The extended attributes of one file, read through the two calls given
// (by path or by descriptor). A file system without them has none.
template <typename List, typename Get> std::optional<Attributes> attributesOf(List list, Get get)
{
    Attributes attributes;
    QByteArray names;
    for (;;) {
        const ssize_t size = list(nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? std::make_optional(attributes) : std::nullopt;
        names.resize(size);
        const ssize_t got = list(names.data(), names.size());
        if (got >= 0) {
            names.truncate(got);
            break;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value;
        for (;;) {
            const ssize_t size = get(name.constData(), nullptr, 0);
            if (size < 0)
                return std::nullopt;
            value.resize(size);
            const ssize_t got = get(name.constData(), value.data(), value.size());
            if (got >= 0) {
                value.truncate(got);
                break;
            }
            if (errno != ERANGE)
                return std::nullopt;
        }
        attributes.insert(name, value);
    }
    return attributes;
}

std::optional<Attributes> attributesOf(const QByteArray &path)
{
    return attributesOf(
        [&](char *buffer, size_t size) { return ::listxattr(path.constData(), buffer, size); },
        [&](const char *name, void *buffer, size_t size) {
            return ::getxattr(path.constData(), name, buffer, size);
        });
}

std::optional<Attributes> attributesOf(int fd)
{
    return attributesOf([&](char *buffer, size_t size) { return ::flistxattr(fd, buffer, size); },
                        [&](const char *name, void *buffer, size_t size) {
                            return ::fgetxattr(fd, name, buffer, size);
                        });
}

bool copyAttributes(const Attributes &wanted, int fd)
{
    const std::optional<Attributes> present = attributesOf(fd);
    if (!present)
        return false;
    // Attributes the new file got from its folder (a default access list, a
    // label) that the original lacks go first.
    for (auto it = present->cbegin(); it != present->cend(); ++it) {
        if (wanted.contains(it.key()))
            continue;
        PosixFile::step("remove attribute");
        if (::fremovexattr(fd, it.key().constData()) != 0)
            return false;
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const auto same = present->constFind(it.key());
        if (same != present->cend() && same.value() == it.value())
            continue;
        PosixFile::step("set attribute");
        if (::fsetxattr(fd, it.key().constData(), it.value().constData(), size_t(it.value().size()),
                        0) != 0)
            return false;
    }
    return true;
}

} // namespace

bool copy(const QByteArray &originalPath, const struct stat &original, int fd)
{
    const std::optional<Attributes> attributes = attributesOf(originalPath);
    if (!attributes)
        return false;
    // The owner first, since changing it clears the set-ID bits; the
    // attributes before the mode, since a read-only mode would refuse them.
    PosixFile::step("set owner");
    if (::fchown(fd, original.st_uid, original.st_gid) != 0)
        return false;
    if (!copyAttributes(*attributes, fd))
        return false;
    PosixFile::step("set mode");
    if (::fchmod(fd, original.st_mode & 07777) != 0)
        return false;

    // The system may quietly refuse a part (the set-group-ID bit for a group
    // the user is not in), so what the file now has is checked.
    struct stat now = {};
    if (::fstat(fd, &now) != 0 || now.st_uid != original.st_uid || now.st_gid != original.st_gid ||
        (now.st_mode & 07777) != (original.st_mode & 07777))
        return false;
    return attributesOf(fd) == attributes;
}

namespace {

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

} // namespace

bool Note::sameStat(const Note &other) const
{
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

Note noteOf(const QString &path, bool withHash)
{
    Note note;
    struct stat status = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return note;
    note.exists = true;
    note.device = status.st_dev;
    note.inode = status.st_ino;
    note.size = status.st_size;
    note.modified = status.st_mtim;
    if (withHash)
        note.hash = hashOf(path);
    return note;
}

Change compare(const Note &note, const QString &path)
{
    const Note now = noteOf(path, false);
    if (!now.exists)
        return note.exists ? Change::Removed : Change::Same;
    if (!note.exists)
        return Change::Changed;
    // Whole seconds alone cannot tell two writes within one second apart.
    if (now.sameStat(note) && note.modified.tv_nsec != 0)
        return Change::Same;
    if (now.size != note.size)
        return Change::Changed;
    return !note.hash.isEmpty() && hashOf(path) == note.hash ? Change::Same : Change::Changed;
}

} // namespace FileIdentity
