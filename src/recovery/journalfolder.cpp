#include "recovery/journalfolder.h"

#include "platform/places.h"
#include "platform/posixfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace JournalFolder {

namespace {

const QString kJournal = QStringLiteral(".journal");
const QString kLock = QStringLiteral(".lock");

QString stateHome()
{
    const QString set = qEnvironmentVariable("XDG_STATE_HOME");
    if (!set.isEmpty() && QDir::isAbsolutePath(set))
        return set;
    return QDir::homePath() + QStringLiteral("/.local/state");
}

bool makePrivateFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    // Every level made here is the user's alone.
    const mode_t previous = ::umask(077);
    const bool made = QDir().mkpath(folder);
    ::umask(previous);
    return made;
}

// Whether a running window holds the lock file at path.
bool isLive(const QString &lockPath)
{
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace

QString path(bool create)
{
    const QString folder = stateHome() + QStringLiteral("/zelmohtml/journal");
    if (create)
        makePrivateFolder(folder);
    return folder;
}

QString journalOf(const QString &id)
{
    return path(false) + u'/' + id + kJournal;
}

QString lockOf(const QString &id)
{
    return path(false) + u'/' + id + kLock;
}

QString idOf(const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    return name.left(name.indexOf(u'.'));
}

QStringList leftJournals()
{
    QDir folder(path(false));
    if (!folder.exists())
        return {};
    QFileInfoList journals;
    const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const QString id = idOf(name);
        if (isLive(lockOf(id)))
            continue;
        if (name.endsWith(kJournal))
            journals.append(entry);
        else if (name.endsWith(kLock) && !QFileInfo::exists(journalOf(id)))
            QFile::remove(entry.filePath());
        else if (name.endsWith(QStringLiteral(".journal.tmp")))
            QFile::remove(entry.filePath()); // a write that was cut short
    }
    std::sort(journals.begin(), journals.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.lastModified() > b.lastModified();
    });
    QStringList paths;
    for (const QFileInfo &journal : journals)
        paths.append(journal.filePath());
    return paths;
}

QString setAside(const QString &journal)
{
    const QString aside = journal + QStringLiteral(".damaged");
    if (QFile::exists(aside) || !QFile::rename(journal, aside))
        return {};
    QFile::remove(lockOf(idOf(journal)));
    return aside;
}

void discard(const QString &journal)
{
    QFile::remove(journal);
    QFile::remove(lockOf(idOf(journal)));
}

QStringList pagesOfOtherWindows(const QString &ownId)
{
    QStringList pages;
    QDir folder(path(false));
    const QStringList locks = folder.entryList({QStringLiteral("*") + kLock}, QDir::Files);
    for (const QString &name : locks) {
        const QString lockPath = folder.filePath(name);
        if (idOf(name) == ownId || !isLive(lockPath))
            continue;
        QFile file(lockPath);
        if (file.open(QIODevice::ReadOnly))
            pages.append(QString::fromUtf8(file.readAll()));
    }
    pages.removeAll(QString());
    return pages;
}

} // namespace JournalFolder

namespace {

// Another start may clear away a lock file between its making and its
// locking; the lock counts only when the file locked is still the one of
// that name.
bool stillNamed(int fd, const QByteArray &path)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

WindowLock::WindowLock()
{
    JournalFolder::path(true);
    for (int attempt = 0; attempt < 3 && m_fd < 0; ++attempt) {
        m_id = QString::number(::getpid()) + u'-' +
               QString::number(QRandomGenerator::system()->generate64(), 36);
        const QByteArray path = QFile::encodeName(JournalFolder::lockOf(m_id));
        PosixFile::Descriptor fd =
            PosixFile::open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
        if (fd.isOpen() && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && stillNamed(fd.get(), path))
            m_fd = fd.release();
    }
}

WindowLock::~WindowLock()
{
    if (m_fd < 0)
        return;
    QFile::remove(JournalFolder::lockOf(m_id));
    ::close(m_fd);
}

void WindowLock::setPage(const QString &path)
{
    if (m_fd < 0)
        return;
    const QByteArray bytes = path.toUtf8();
    if (::ftruncate(m_fd, 0) == 0)
        PosixFile::writeAll(m_fd, bytes);
}

bool WindowLock::adopt(const QString &journal)
{
    if (m_fd < 0)
        return false;
    if (::rename(QFile::encodeName(journal).constData(),
                 QFile::encodeName(journalPath()).constData()) != 0)
        return false;
    QFile::remove(JournalFolder::lockOf(JournalFolder::idOf(journal)));
    return true;
}
