#include "document/autosave.h"
#include "document/pagesource.h"
#include "editor/richtextbox.h"
#include "platform/clock.h"
#include "platform/download.h"
#include "platform/places.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// An installed tree of its own: the program in root/bin, its data in
// root/share/zelmohtml, a home and a TEMP folder. The environment and the
// program folder are set back afterwards.
struct Tree {
    QTemporaryDir root;
    QList<std::pair<const char *, QByteArray>> saved;

    Tree()
    {
        for (const char *name :
             {"HOME", "TEMP", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
            saved.append({name, qgetenv(name)});
            qunsetenv(name);
        }
        for (const char *folder : {"bin", "share/zelmohtml", "home", "temp"})
            QDir(root.path()).mkpath(QLatin1String(folder));
        Places::setProgramFolder(expand(QStringLiteral("{bin}")));
        qputenv("HOME", expand(QStringLiteral("{home}")).toLocal8Bit());
    }
    ~Tree()
    {
        Places::setProgramFolder(QString());
        Places::setWriteCheck({});
        for (const auto &[name, value] : saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }

    // "{bin}/x" and the like, as full paths.
    QString expand(QString pattern) const
    {
        for (const char *name : {"bin", "home", "xdg", "temp", "share"})
            pattern.replace(QStringLiteral("{%1}").arg(QLatin1String(name)),
                            root.filePath(QLatin1String(name)));
        return pattern;
    }
    void setTemp() { qputenv("TEMP", expand(QStringLiteral("{temp}")).toLocal8Bit()); }
    // The XDG folders under root/xdg, or relative (which does not count).
    void setXdg(const QString &base)
    {
        for (const char *name : {"config", "cache", "state"})
            qputenv(QByteArray("XDG_") + QByteArray(name).toUpper() + "_HOME",
                    expand(base + u'/' + QLatin1String(name)).toLocal8Bit());
    }
};

int modeOf(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 07777);
}

} // namespace

class TestPlaces : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_umask = ::umask(022); } // the modes below are then ours
    void cleanupTestCase() { ::umask(m_umask); }
    void placeOfEachFile_data();
    void placeOfEachFile();
    void wordListAndAppendix_data();
    void wordListAndAppendix();
    void privateFoldersAndCopies_data();
    void privateFoldersAndCopies();

private:
    mode_t m_umask = 0;
};

void TestPlaces::placeOfEachFile_data()
{
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<QString>("settingsBeside"); // "", "read-only" or "writable"
    QTest::addColumn<QString>("xdg");            // "" for unset
    QTest::addColumn<bool>("temp");
    QTest::addColumn<QStringList>("expected"); // settings, preview, autosave, page source

    QTest::newRow("portable: writable folder")
        << true << ""
        << "{xdg}" << true
        << QStringList{"{bin}/zelmohtml.ini", "{bin}/Preview.htm", "{temp}", "{temp}/yuancode.txt"};
    QTest::newRow("portable: writable folder, read-only settings")
        << true << "read-only"
        << "" << false
        << QStringList{"{bin}/zelmohtml.ini", "{bin}/Preview.htm", "{home}/.local/state/zelmohtml",
                       "{home}/.cache/zelmohtml/yuancode.txt"};
    QTest::newRow("portable: writable settings in a read-only folder")
        << false << "writable"
        << "{xdg}" << false
        << QStringList{"{bin}/zelmohtml.ini", "{bin}/Preview.htm", "{xdg}/state/zelmohtml",
                       "{xdg}/cache/zelmohtml/yuancode.txt"};
    QTest::newRow("installed: read-only folder")
        << false << ""
        << "{xdg}" << false
        << QStringList{"{xdg}/config/zelmohtml/zelmohtml.ini", "{xdg}/cache/zelmohtml/Preview.htm",
                       "{xdg}/state/zelmohtml", "{xdg}/cache/zelmohtml/yuancode.txt"};
    QTest::newRow("installed: read-only folder and settings")
        << false << "read-only"
        << "" << true
        << QStringList{"{home}/.config/zelmohtml/zelmohtml.ini",
                       "{home}/.cache/zelmohtml/Preview.htm", "{temp}", "{temp}/yuancode.txt"};
    QTest::newRow("installed: relative XDG folders do not count")
        << false << ""
        << "xdg" << false
        << QStringList{"{home}/.config/zelmohtml/zelmohtml.ini",
                       "{home}/.cache/zelmohtml/Preview.htm", "{home}/.local/state/zelmohtml",
                       "{home}/.cache/zelmohtml/yuancode.txt"};
}

void TestPlaces::placeOfEachFile()
{
    QFETCH(bool, folderWritable);
    QFETCH(QString, settingsBeside);
    QFETCH(QString, xdg);
    QFETCH(bool, temp);
    QFETCH(QStringList, expected);

    Tree tree;
    if (!xdg.isEmpty())
        tree.setXdg(xdg);
    if (temp)
        tree.setTemp();
    const QString bin = tree.expand(QStringLiteral("{bin}"));
    const QString beside = tree.expand(QStringLiteral("{bin}/zelmohtml.ini"));
    if (!settingsBeside.isEmpty())
        writeBytes(beside, "[S]\r\nk=v\r\n");
    Places::setWriteCheck([&](const QString &path) {
        if (path == bin)
            return folderWritable;
        return path != beside || settingsBeside == QLatin1String("writable");
    });

    const QStringList places{Places::settingsFile(), Places::previewFile(),
                             Places::autosaveFolder(), Places::pageSourceFile()};
    for (QString &place : expected)
        place = tree.expand(place);
    QCOMPARE(places, expected);
    QCOMPARE(Places::portable(), expected.first() == beside);
    // Every folder named is there to be written into, and nothing is written
    // beside a program that is not run portable.
    for (const QString &file : {places[0], places[1], places[3]})
        QVERIFY2(QFileInfo(QFileInfo(file).path()).isDir(), qPrintable(file));
    QVERIFY(QFileInfo(places[2]).isDir());
    if (!Places::portable())
        QCOMPARE(QDir(bin).entryList(QDir::Files).size(), settingsBeside.isEmpty() ? 0 : 1);
}

void TestPlaces::wordListAndAppendix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("expected");

    QTest::newRow("word list beside the program first")
        << "tags.dat" << QStringList{"{bin}", "{share}/zelmohtml"} << "{bin}/tags.dat";
    QTest::newRow("word list installed")
        << "tags.dat" << QStringList{"{share}/zelmohtml"} << "{share}/zelmohtml/tags.dat";
    QTest::newRow("tool installed") << "appendix/Huevane.exe" << QStringList{"{share}/zelmohtml"}
                                    << "{share}/zelmohtml/appendix/Huevane.exe";
    QTest::newRow("tool nowhere") << "appendix/Huevane.exe" << QStringList{}
                                  << "{bin}/appendix/Huevane.exe";
}

void TestPlaces::wordListAndAppendix()
{
    QFETCH(QString, name);
    QFETCH(QStringList, present);
    QFETCH(QString, expected);

    Tree tree;
    Places::setWriteCheck([](const QString &) { return false; });
    for (const QString &folder : present) {
        const QString file = tree.expand(folder) + u'/' + name;
        QDir().mkpath(QFileInfo(file).path());
        writeBytes(file, "x");
    }
    const QString found = name == QLatin1String("tags.dat")
                              ? Places::tagListFile()
                              : Places::appendixProgram(QStringLiteral("Huevane.exe"));
    QCOMPARE(QDir::cleanPath(found), tree.expand(expected));
}

void TestPlaces::privateFoldersAndCopies_data()
{
    QTest::addColumn<bool>("autosave"); // else the downloaded page source
    QTest::addColumn<bool>("temp");
    QTest::addColumn<QString>("folderMade");

    QTest::newRow("autosave copy without TEMP") << true << false << "{home}/.local/state/zelmohtml";
    QTest::newRow("autosave copy in TEMP") << true << true << "{temp}/ZelmoHTML$070303";
    QTest::newRow("page source without TEMP") << false << false << "{home}/.cache/zelmohtml";
    QTest::newRow("page source in TEMP") << false << true << "";
}

void TestPlaces::privateFoldersAndCopies()
{
    QFETCH(bool, autosave);
    QFETCH(bool, temp);
    QFETCH(QString, folderMade);

    Tree tree;
    if (temp)
        tree.setTemp();
    StatusRecorder status;
    QString copy;
    if (autosave) {
        RichTextBox richText;
        const FixedClock clock(QDateTime(QDate(2007, 3, 3), QTime(14, 5, 9)));
        Autosave saver(richText, status, clock);
        for (int tick = 0; tick < Autosave::kTicksPerCopy; ++tick)
            saver.Timersave_Timer();
        copy = Autosave::DayFolder(Places::autosaveFolder(), clock.now()) + u'/' +
               Autosave::CopyName(clock.now());
    } else {
        const QString page = tree.expand(QStringLiteral("{home}/page.htm"));
        writeBytes(page, "<p>remote</p>");
        ScriptedPrompts prompts;
        prompts.inputAnswers << QUrl::fromLocalFile(page).toString();
        RecordingLauncher launcher;
        PageSource source(status, prompts, launcher);
        source.setDownloader([](const QString &address, const QString &target, QString *reason) {
            return DownloadToFile(address, target, nullptr, reason);
        });
        source.stolen_Click();
        copy = PageSource::TargetPath();
    }

    QVERIFY2(QFileInfo(copy).isFile(), qPrintable(status.Text2()));
    QCOMPARE(modeOf(copy), 0600);
    if (!folderMade.isEmpty())
        QCOMPARE(modeOf(tree.expand(folderMade)), 0700);
    // What is written afterwards is not affected.
    const QString later = tree.expand(QStringLiteral("{home}/later"));
    writeBytes(later, "x");
    QCOMPARE(modeOf(later), 0644);
}

QTEST_MAIN(TestPlaces)
#include "tst_places.moc"
