#include "platform/posixfile.h"
#include "platform/safefile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <optional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const char childOption[] = "--write-under-size-limit";

// Run in a child process: the file-size limit and SIGXFSZ concern the whole
// process, and the limit cannot be raised again once lowered.
int writeUnderSizeLimit(const char *path, const char *limit, const char *size)
{
    const rlimit fileSize = {rlim_t(std::atoll(limit)), rlim_t(std::atoll(limit))};
    if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return 3;
    const SafeFile::Result result =
        SafeFile::write(QString::fromLocal8Bit(path), QByteArray(std::atoi(size), 'n'));
    std::fputs(result.error.toUtf8().constData(), stdout);
    return result.ok ? 0 : 1;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t permissionBits(const QString &path)
{
    struct stat info = {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return mode_t(-1);
    return info.st_mode & 07777;
}

// Tries what the tests rely on; root writes through missing permissions anyway.
bool canCreateIn(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.remove();
    return true;
}

bool canWriteTo(const QString &file)
{
    QFile existing(file);
    return existing.open(QIODevice::Append);
}

const QByteArray oldContent = "old content\r\n";

constexpr uid_t kNobody = 65534;

bool isRoot()
{
    return ::geteuid() == 0;
}

// Hands a file to nobody, so that a save dropped to nobody may write it.
void giveToNobody(const QString &path)
{
    if (isRoot())
        QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
}

int killAt = -1;
int stepsDone = 0;

void killAtStep(const char *)
{
    if (stepsDone++ == killAt)
        ::raise(SIGKILL);
}

struct ChildSave {
    bool killed = false;
    bool ok = false;
};

// The save in a child process, killed right before its step number killBefore
// (never for -1), and as nobody when unprivileged and this runs as root.
ChildSave saveInChild(const QString &path, const QByteArray &bytes, bool unprivileged,
                      int killBefore = -1)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (unprivileged && isRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        killAt = killBefore;
        PosixFile::setStepHook(killAtStep);
        ::_exit(SafeFile::write(path, bytes).ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFSIGNALED(status), WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

// A process id that no process has any more.
pid_t deadProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

struct stat statOf(const QString &path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

class TstSafeFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void sizeLimit_data();
    void sizeLimit();
    void notWritable_data();
    void notWritable();
    void impossibleTarget_data();
    void impossibleTarget();
    void symbolicLink_data();
    void symbolicLink();
    void permissionsKept_data();
    void permissionsKept();
    void newFile();
    void killedSave_data();
    void killedSave();
    void identityKept_data();
    void identityKept();
    void notRegularFile_data();
    void notRegularFile();
    void leftovers_data();
    void leftovers();

private:
    // A fresh folder for every test, the page in it, and the cache folder that
    // takes backups when the page's folder cannot.
    std::optional<QTemporaryDir> m_dir;
    std::optional<QTemporaryDir> m_cache;
    QString m_path;
};

void TstSafeFile::init()
{
    m_dir.reset();
    m_dir.emplace();
    m_cache.reset();
    m_cache.emplace();
    QVERIFY(m_dir->isValid() && m_cache->isValid());
    m_path = m_dir->filePath(QStringLiteral("page.htm"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache->path()));
}

void TstSafeFile::sizeLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("hardLink"); // written in place, and put back on failure

    QTest::newRow("within the limit") << 65536 << 1000 << true << false;
    QTest::newRow("beyond the limit") << 4096 << 65536 << false << false;
    QTest::newRow("one byte beyond") << 4096 << 4097 << false << false;
    QTest::newRow("no room at all") << 0 << 10 << false << false;
    QTest::newRow("in place, within the limit") << 65536 << 1000 << true << true;
    QTest::newRow("in place, beyond the limit") << 4096 << 65536 << false << true;
}

void TstSafeFile::sizeLimit()
{
    QFETCH(int, limit);
    QFETCH(int, size);
    QFETCH(bool, ok);
    QFETCH(bool, hardLink);

    writeBytes(m_path, oldContent);
    QStringList names{QStringLiteral("page.htm")};
    if (hardLink) {
        QVERIFY(
            ::link(QFile::encodeName(m_path).constData(),
                   QFile::encodeName(m_dir->filePath(QStringLiteral("other.htm"))).constData()) ==
            0);
        names.prepend(QStringLiteral("other.htm"));
    }

    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(),
        {QString::fromLatin1(childOption), m_path, QString::number(limit), QString::number(size)});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit); // not killed by SIGXFSZ
    QCOMPARE(child.exitCode(), ok ? 0 : 1);
    QCOMPARE(entries(m_dir->path()), names);
    if (hardLink)
        QCOMPARE(readBytes(m_dir->filePath(QStringLiteral("other.htm"))), readBytes(m_path));
    if (ok) {
        QCOMPARE(readBytes(m_path), QByteArray(size, 'n'));
    } else {
        QCOMPARE(readBytes(m_path), oldContent);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()),
                 QStringLiteral("磁盘已满或文件超出大小限制"));
    }
}

void TstSafeFile::notWritable_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<bool>("fileReadOnly");

    // A writable page in a read-only folder is written in place.
    QTest::newRow("read-only folder") << true << false;
    QTest::newRow("read-only file") << false << true;
}

void TstSafeFile::notWritable()
{
    QFETCH(bool, folderReadOnly);
    QFETCH(bool, fileReadOnly);

    writeBytes(m_path, oldContent);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (fileReadOnly)
        QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner));
    if (folderReadOnly)
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    if ((folderReadOnly && canCreateIn(m_dir->path())) || (fileReadOnly && canWriteTo(m_path)))
        QSKIP("This user (root?) writes regardless of permissions");

    const SafeFile::Result result = SafeFile::write(m_path, "new");
    QCOMPARE(result.ok, !fileReadOnly);
    QCOMPARE(readBytes(m_path), fileReadOnly ? oldContent : QByteArray("new"));
    if (fileReadOnly)
        QCOMPARE(result.error, QStringLiteral("没有写入权限"));
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("page.htm")});
    QVERIFY(entries(m_cache->filePath(QStringLiteral("zelmohtml"))).isEmpty());
}

void TstSafeFile::impossibleTarget_data()
{
    QTest::addColumn<QString>("target");

    QTest::newRow("folder") << "folder";
    QTest::newRow("missing folder") << "missing/page.htm";
    QTest::newRow("file as folder") << "page.htm/page.htm";
}

void TstSafeFile::impossibleTarget()
{
    QFETCH(QString, target);

    writeBytes(m_path, oldContent);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));

    const SafeFile::Result result = SafeFile::write(m_dir->filePath(target), "new");
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readBytes(m_path), oldContent);
    QCOMPARE(entries(m_dir->path()),
             (QStringList{QStringLiteral("folder"), QStringLiteral("page.htm")}));
    QVERIFY(entries(m_dir->filePath(QStringLiteral("folder"))).isEmpty());
}

void TstSafeFile::symbolicLink_data()
{
    QTest::addColumn<QString>("linkTarget"); // as stored in the link
    QTest::addColumn<bool>("targetExists");

    QTest::newRow("relative, other folder") << "real/page.htm" << true;
    QTest::newRow("absolute") << "" << true; // filled in with the absolute path
    QTest::newRow("dangling") << "real/page.htm" << false;
}

void TstSafeFile::symbolicLink()
{
    QFETCH(QString, linkTarget);
    QFETCH(bool, targetExists);

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("real")));
    const QString target = m_dir->filePath(QStringLiteral("real/page.htm"));
    const QString link = m_dir->filePath(QStringLiteral("link.htm"));
    if (targetExists)
        writeBytes(target, oldContent);
    if (linkTarget.isEmpty())
        linkTarget = target;
    QVERIFY(::symlink(QFile::encodeName(linkTarget).constData(),
                      QFile::encodeName(link).constData()) == 0);

    const SafeFile::Result result = SafeFile::write(link, "new");
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFile::symLinkTarget(link), target);
    QCOMPARE(readBytes(target), QByteArray("new"));
    QCOMPARE(entries(m_dir->path()),
             (QStringList{QStringLiteral("link.htm"), QStringLiteral("real")}));
    QCOMPARE(entries(m_dir->filePath(QStringLiteral("real"))),
             QStringList{QStringLiteral("page.htm")});
}

void TstSafeFile::permissionsKept_data()
{
    QTest::addColumn<int>("mode");

    QTest::newRow("0600") << 0600;
    QTest::newRow("0640") << 0640;
    QTest::newRow("0755") << 0755;
}

void TstSafeFile::permissionsKept()
{
    QFETCH(int, mode);

    writeBytes(m_path, oldContent);
    QVERIFY(::chmod(QFile::encodeName(m_path).constData(), mode_t(mode)) == 0);

    const SafeFile::Result result = SafeFile::write(m_path, "new");
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readBytes(m_path), QByteArray("new"));
    QCOMPARE(permissionBits(m_path), mode_t(mode));
}

void TstSafeFile::newFile()
{
    const mode_t mask = ::umask(022);
    const auto restore = qScopeGuard([&] { ::umask(mask); });

    const SafeFile::Result result = SafeFile::write(m_path, QByteArray());
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(QFileInfo(m_path).isFile());
    QCOMPARE(QFileInfo(m_path).size(), 0);
    QCOMPARE(permissionBits(m_path), mode_t(0644));
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("page.htm")});
}

void TstSafeFile::killedSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("hardLink");       // written in place, backup beside it
    QTest::addColumn<bool>("readOnlyFolder"); // written in place, backup in the cache

    QTest::newRow("new file") << "page.htm" << false << false << false;
    QTest::newRow("replaced") << "page.htm" << true << false << false;
    QTest::newRow("long name, 240 bytes") << QString(80, u'页') << true << false << false;
    QTest::newRow("hard link") << "page.htm" << true << true << false;
    QTest::newRow("read-only folder") << "page.htm" << true << false << true;
}

// A save killed before each of its steps leaves the old or the new page whole,
// and the next open leaves nothing else behind.
void TstSafeFile::killedSave()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(bool, hardLink);
    QFETCH(bool, readOnlyFolder);

    const QByteArray newContent(200000, 'n');
    const QString cacheFolder = m_cache->filePath(QStringLiteral("zelmohtml"));
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ExeOther));
        giveToNobody(m_cache->path());
        QVERIFY(::chmod(QFile::encodeName(m_cache->path()).constData(), 0711) == 0);
    }
    for (int step = 0; step < 60; ++step) {
        const QString folder = m_dir->filePath(QString::number(step));
        QVERIFY(QDir().mkdir(folder));
        const QString page = folder + u'/' + name;
        QStringList expected;
        if (exists) {
            writeBytes(page, oldContent);
            expected << name;
        }
        if (hardLink) {
            QVERIFY(::link(QFile::encodeName(page).constData(),
                           QFile::encodeName(folder + QStringLiteral("/other.htm")).constData()) ==
                    0);
            expected.prepend(QStringLiteral("other.htm"));
        }
        if (readOnlyFolder) {
            giveToNobody(page);
            giveToNobody(folder);
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
        }

        const ChildSave save = saveInChild(page, newContent, readOnlyFolder, step);
        SafeFile::removeLeftovers(page);
        ::chmod(QFile::encodeName(folder).constData(), 0755);

        const QByteArray now = readBytes(page);
        QVERIFY2(now == newContent || now == (exists ? oldContent : QByteArray("<missing>")),
                 qPrintable(QStringLiteral("torn page after a kill before step %1").arg(step)));
        if (!exists && now == newContent)
            expected << name;
        QCOMPARE(entries(folder), expected);
        QCOMPARE(entries(cacheFolder), QStringList());
        if (hardLink)
            QCOMPARE(readBytes(folder + QStringLiteral("/other.htm")), now);
        if (!save.killed) {
            QVERIFY(save.ok);
            QCOMPARE(now, newContent);
            QVERIFY(step >= 4);
            return;
        }
    }
    QFAIL("the save never finished");
}

void TstSafeFile::identityKept_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("ownedByNobody"); // needs root
    QTest::addColumn<bool>("savedByNobody"); // of a page root owns: needs root
    QTest::addColumn<bool>("attribute");     // an extended attribute
    QTest::addColumn<bool>("hardLink");
    QTest::addColumn<bool>("inPlace");

    QTest::newRow("mode 0640") << 0640 << false << false << false << false << false;
    QTest::newRow("set-group-ID") << 02775 << false << false << false << false << false;
    QTest::newRow("read-only, saved by root") << 0444 << false << false << false << false << false;
    QTest::newRow("another user's, saved by root")
        << 0644 << true << false << false << false << false;
    QTest::newRow("extended attribute") << 0600 << false << false << true << false << false;
    QTest::newRow("hard link") << 0644 << false << false << true << true << true;
    QTest::newRow("owner not ours to give") << 0664 << false << true << false << false << true;
}

void TstSafeFile::identityKept()
{
    QFETCH(int, mode);
    QFETCH(bool, ownedByNobody);
    QFETCH(bool, savedByNobody);
    QFETCH(bool, attribute);
    QFETCH(bool, hardLink);
    QFETCH(bool, inPlace);

    if ((ownedByNobody || savedByNobody || mode == 0444) && !isRoot())
        QSKIP("Only root may own another user's files or write read-only ones");
    const QByteArray path = QFile::encodeName(m_path);
    const QString other = m_dir->filePath(QStringLiteral("other.htm"));
    writeBytes(m_path, oldContent);
    if (attribute && ::setxattr(path.constData(), "user.zelmo", "label", 5, 0) != 0)
        QSKIP("This file system keeps no extended attributes");
    if (hardLink)
        QVERIFY(::link(path.constData(), QFile::encodeName(other).constData()) == 0);
    if (ownedByNobody)
        giveToNobody(m_path);
    if (savedByNobody) {
        // root's page, in nobody's group and folder
        QVERIFY(::chown(path.constData(), 0, kNobody) == 0);
        giveToNobody(m_dir->path());
    }
    QVERIFY(::chmod(path.constData(), mode_t(mode)) == 0);
    const struct stat before = statOf(m_path);

    QVERIFY(saveInChild(m_path, "new", savedByNobody).ok);
    const struct stat after = statOf(m_path);
    QCOMPARE(readBytes(m_path), QByteArray("new"));
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino == before.st_ino, inPlace);
    if (attribute) {
        char value[16] = {};
        QCOMPARE(::getxattr(path.constData(), "user.zelmo", value, sizeof value), ssize_t(5));
        QCOMPARE(QByteArray(value), QByteArray("label"));
    }
    if (hardLink)
        QCOMPARE(readBytes(other), QByteArray("new"));
    QCOMPARE(entries(m_dir->path()).size(), hardLink ? 2 : 1);
    QVERIFY(entries(m_cache->filePath(QStringLiteral("zelmohtml"))).isEmpty());
}

void TstSafeFile::notRegularFile_data()
{
    QTest::addColumn<mode_t>("type");
    QTest::addColumn<bool>("throughLink");

    for (const bool link : {false, true}) {
        const char *through = link ? ", through a link" : "";
        QTest::addRow("FIFO%s", through) << mode_t(S_IFIFO) << link;
        QTest::addRow("socket%s", through) << mode_t(S_IFSOCK) << link;
        QTest::addRow("device%s", through) << mode_t(S_IFCHR) << link;
    }
}

void TstSafeFile::notRegularFile()
{
    QFETCH(mode_t, type);
    QFETCH(bool, throughLink);

    const QString node = m_dir->filePath(QStringLiteral("node"));
    const QByteArray nodePath = QFile::encodeName(node);
    if (type == S_IFSOCK) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(nodePath.size()) < sizeof address.sun_path);
        qstrcpy(address.sun_path, nodePath.constData());
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        ::close(fd);
    } else if (::mknod(nodePath.constData(), type | 0666, makedev(1, 3)) != 0) {
        QSKIP("No device nodes may be made here");
    }
    QString target = node;
    if (throughLink) {
        target = m_path;
        QVERIFY(::symlink("node", QFile::encodeName(target).constData()) == 0);
    }
    const QStringList before = entries(m_dir->path());

    const SafeFile::Result result = SafeFile::write(target, "new");
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QStringLiteral("不是普通文件")), qPrintable(result.error));
    QCOMPARE(statOf(node).st_mode & S_IFMT, type);
    QCOMPARE(entries(m_dir->path()), before);
}

void TstSafeFile::leftovers_data()
{
    // In the names: %1 a process that has ended, %2 this running one, %3 the
    // page's inode.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind"); // "file", "folder", "link" or "locked"
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QByteArray>("pageAfter");

    const QByteArray backup = "backup\r\n";
    QTest::newRow("temporary file") << ".page.htm.%1-0badf00d.zelmo-tmp"
                                    << "file" << true << oldContent;
    QTest::newRow("running save") << ".page.htm.%2-0badf00d.zelmo-tmp"
                                  << "file" << false << oldContent;
    QTest::newRow("locked") << ".page.htm.%1-0badf00d.zelmo-tmp"
                            << "locked" << false << oldContent;
    QTest::newRow("folder") << ".page.htm.%1-0badf00d.zelmo-tmp"
                            << "folder" << false << oldContent;
    QTest::newRow("link") << ".page.htm.%1-0badf00d.zelmo-tmp"
                          << "link" << false << oldContent;
    QTest::newRow("other page") << ".other.htm.%1-0badf00d.zelmo-tmp"
                                << "file" << false << oldContent;
    QTest::newRow("not hidden") << "page.htm.%1-0badf00d.zelmo-tmp"
                                << "file" << false << oldContent;
    QTest::newRow("not our tag") << ".page.htm.%1-0BADF00D.zelmo-tmp"
                                 << "file" << false << oldContent;
    QTest::newRow("another program's") << "page.htm.a1B2c3"
                                       << "file" << false << oldContent;
    QTest::newRow("backup put back") << ".page.htm.%1-%3.zelmo-bak"
                                     << "file" << true << backup;
    QTest::newRow("backup of a replaced page") << ".page.htm.%1-1%3.zelmo-bak"
                                               << "file" << true << oldContent;
    QTest::newRow("backup of a running save") << ".page.htm.%2-%3.zelmo-bak"
                                              << "file" << false << oldContent;
}

void TstSafeFile::leftovers()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, removed);
    QFETCH(QByteArray, pageAfter);

    writeBytes(m_path, oldContent);
    name.replace(QLatin1String("%1"), QString::number(deadProcess()))
        .replace(QLatin1String("%2"), QString::number(::getpid()))
        .replace(QLatin1String("%3"), QString::number(quint64(statOf(m_path).st_ino), 16));
    const QString path = m_dir->filePath(name);
    std::optional<QFile> locked;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(m_dir->path()).mkdir(name));
    } else if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(QStringLiteral("page.htm"), path));
    } else {
        writeBytes(path, "backup\r\n");
        if (kind == QLatin1String("locked")) {
            locked.emplace(path);
            QVERIFY(locked->open(QIODevice::ReadOnly));
            QVERIFY(::flock(locked->handle(), LOCK_EX) == 0);
        }
    }

    SafeFile::removeLeftovers(m_path);
    QCOMPARE(QFileInfo::exists(path) || QFileInfo(path).isSymLink(), !removed);
    QCOMPARE(readBytes(m_path), pageAfter);
}

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], childOption) == 0)
        return writeUnderSizeLimit(argv[2], argv[3], argv[4]);

    QCoreApplication app(argc, argv);
    TstSafeFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_safefile.moc"
