#include "platform/saveleftovers.h"

#include "platform/places.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SaveLeftovers {

namespace {

constexpr char kTemporarySuffix[] = ".zelmo-tmp";
constexpr char kBackupSuffix[] = ".zelmo-bak";
constexpr qsizetype kSuffixSize = sizeof kTemporarySuffix - 1;
static_assert(sizeof kBackupSuffix == sizeof kTemporarySuffix);
constexpr qsizetype kNameMax = NAME_MAX;
// After the stem: ".", a process id of up to 10 digits, "-", a tag of up to
// 16 hex digits, the suffix.
constexpr qsizetype kTailMax = 1 + 10 + 1 + 16 + kSuffixSize;
constexpr qsizetype kHashSize = 16;

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(kHashSize);
}

// The page's path with its folder made absolute and free of links, so that
// every way of naming the page gives the same hash.
QByteArray canonicalPath(const QByteArray &page)
{
    char *folder = ::realpath(PosixFile::folderOf(page).constData(), nullptr);
    if (!folder)
        return page;
    QByteArray path = QByteArray(folder) + '/' + PosixFile::nameOf(page);
    std::free(folder);
    return path;
}

// What every name of ours for the page starts with: the page's name, hidden
// beside it, after a hash of its path in the cache folder. A name too long to
// leave room for the rest is cut and followed by a hash of the whole.
QByteArray stemFor(const QByteArray &page, Place place)
{
    const QByteArray name = PosixFile::nameOf(page);
    const QByteArray prefix =
        place == Place::Beside ? QByteArray(".") : hashOf(canonicalPath(page)) + '.';
    if (prefix.size() + name.size() + kTailMax <= kNameMax)
        return prefix + name;
    return prefix + name.left(kNameMax - kTailMax - prefix.size() - kHashSize - 1) + '~' +
           hashOf(name);
}

// The user's cache folder for the program, made private when it is created.
QByteArray cacheFolder(bool create)
{
    if (create)
        PosixFile::step("make cache folder");
    return QFile::encodeName(Places::cacheFolder(create));
}

QByteArray folderFor(const QByteArray &page, Place place)
{
    return place == Place::Beside ? PosixFile::folderOf(page) : cacheFolder(true);
}

bool isHex(const QByteArray &text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

struct Parsed {
    pid_t pid;
    QByteArray tag;
    Kind kind;
};

// The owner and kind of a file named as ours for the stem; nullopt for any
// other name.
std::optional<Parsed> parse(const QByteArray &name, const QByteArray &stem)
{
    if (!name.startsWith(stem) || name.size() <= stem.size() + kSuffixSize ||
        name[stem.size()] != '.')
        return std::nullopt;
    Kind kind;
    if (name.endsWith(kTemporarySuffix))
        kind = Kind::Temporary;
    else if (name.endsWith(kBackupSuffix))
        kind = Kind::Backup;
    else
        return std::nullopt;
    const QByteArray middle = name.mid(stem.size() + 1).chopped(kSuffixSize);
    const qsizetype dash = middle.indexOf('-');
    const QByteArray digits = middle.left(dash);
    const QByteArray tag = middle.mid(dash + 1);
    if (dash < 1 || dash > 10 || tag.isEmpty() || tag.size() > 16 || !isHex(tag) ||
        !std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const qlonglong pid = digits.toLongLong();
    if (pid <= 0 || pid > INT_MAX)
        return std::nullopt;
    return Parsed{pid_t(pid), tag, kind};
}

bool isRunning(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

void scan(const QByteArray &folder, const QByteArray &stem, std::vector<Leftover> &found)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const std::optional<Parsed> parsed = parse(name, stem);
        if (!parsed || isRunning(parsed->pid))
            continue;
        const QByteArray path = folder + '/' + name;
        PosixFile::Descriptor fd = PosixFile::open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
        struct stat info = {};
        if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        // A file system without locks leaves the process id to tell.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            continue;
        found.push_back(Leftover{path, parsed->tag, parsed->kind, std::move(fd)});
    }
    ::closedir(dir);
}

} // namespace

std::optional<OwnFile> createTemporary(const QByteArray &page, Place place, mode_t mode)
{
    const QByteArray folder = folderFor(page, place);
    if (folder.isEmpty()) {
        errno = ENOENT;
        return std::nullopt;
    }
    OwnFile file;
    file.base = folder + '/' + stemFor(page, place) + '.' + QByteArray::number(::getpid()) + '-';
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        file.path =
            file.base + QByteArray::number(tag, 16).rightJustified(8, '0') + kTemporarySuffix;
        PosixFile::step("create temporary file");
        file.fd = PosixFile::open(file.path, O_WRONLY | O_CREAT | O_EXCL, mode);
        if (file.fd.isOpen()) {
            ::flock(file.fd.get(), LOCK_EX | LOCK_NB);
            return file;
        }
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

bool makeBackup(OwnFile &file, ino_t page)
{
    const QByteArray backup = file.base + QByteArray::number(quint64(page), 16) + kBackupSuffix;
    PosixFile::step("name backup");
    if (::rename(file.path.constData(), backup.constData()) != 0)
        return false;
    file.path = backup;
    return true;
}

std::vector<Leftover> find(const QByteArray &page)
{
    std::vector<Leftover> found;
    scan(PosixFile::folderOf(page), stemFor(page, Place::Beside), found);
    const QByteArray cache = cacheFolder(false);
    if (!cache.isEmpty())
        scan(cache, stemFor(page, Place::Cache), found);
    return found;
}

bool isBackupOf(const Leftover &leftover, ino_t page)
{
    return leftover.tag == QByteArray::number(quint64(page), 16);
}

} // namespace SaveLeftovers
