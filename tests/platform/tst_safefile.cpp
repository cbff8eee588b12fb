#include "platform/safefile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
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

private:
    // A fresh folder for every test, and the page in it.
    std::optional<QTemporaryDir> m_dir;
    QString m_path;
};

void TstSafeFile::init()
{
    m_dir.reset();
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("page.htm"));
}

void TstSafeFile::sizeLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("ok");

    QTest::newRow("within the limit") << 65536 << 1000 << true;
    QTest::newRow("beyond the limit") << 4096 << 65536 << false;
    QTest::newRow("one byte beyond") << 4096 << 4097 << false;
    QTest::newRow("no room at all") << 0 << 10 << false;
}

void TstSafeFile::sizeLimit()
{
    QFETCH(int, limit);
    QFETCH(int, size);
    QFETCH(bool, ok);

    writeBytes(m_path, oldContent);

    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(),
        {QString::fromLatin1(childOption), m_path, QString::number(limit), QString::number(size)});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit); // not killed by SIGXFSZ
    QCOMPARE(child.exitCode(), ok ? 0 : 1);
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("page.htm")});
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
    QVERIFY(!result.ok);
    QCOMPARE(result.error, QStringLiteral("没有写入权限"));
    QCOMPARE(readBytes(m_path), oldContent);
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("page.htm")});
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
