#include "document/autosave.h"
#include "document/pageformat.h"
#include "editor/richtextbox.h"
#include "platform/clock.h"
#include "platform/settingsfile.h"
#include "support/programfolder.h"
#include "support/statusrecorder.h"
#include "support/tempfolder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

const QDateTime kMoment(QDate(2007, 3, 3), QTime(14, 5, 9));
const QString kSep = QDir::separator();

// A clock one second further on every time it is read.
class RunningClock : public Clock {
public:
    explicit RunningClock(QDateTime start)
        : m_time(std::move(start))
    {}
    QDateTime now() const override
    {
        const QDateTime time = m_time;
        m_time = m_time.addSecs(1);
        return time;
    }

private:
    mutable QDateTime m_time;
};

// The editing area, the status line, a settings file of its own and a TEMP
// folder of its own.
struct Fixture {
    TestProgramFolder programFolder;
    TestTempFolder temp;
    RichTextBox richText;
    StatusRecorder status;
    FixedClock clock{kMoment};

    void tick(Autosave &autosave, int count)
    {
        for (int i = 0; i < count; ++i)
            autosave.Timersave_Timer();
    }
    QString copyIn(const QString &folder, const QString &date = QStringLiteral("070303"),
                   const QString &time = QStringLiteral("140509")) const
    {
        return folder + kSep + QStringLiteral("ZelmoHTML$") + date + kSep + time +
               QStringLiteral(".htm");
    }
};

} // namespace

class TestAutosave : public QObject {
    Q_OBJECT
private slots:
    void timerRunsFromStart();
    void fifthTickWritesCopyOfThePage();
    void copyPath_data();
    void copyPath();
    void copiesOnDifferentDays();
    void switchReadOnEveryTick_data();
    void switchReadOnEveryTick();
    void missingFolderStopsTimer_data();
    void missingFolderStopsTimer();
    void copyThatCannotBeWrittenKeepsTimer_data();
    void copyThatCannotBeWrittenKeepsTimer();
    void statusNamesTheFileWritten();
    void copiesNeverFollowLinksNorReplace_data();
    void copiesNeverFollowLinksNorReplace();
    void unchangedPageIsNotCopiedAgain();
    void copyKeepsWhatTheEncodingCannotHold();
};

void TestAutosave::timerRunsFromStart()
{
    Fixture f;
    Autosave autosave(f.richText, f.status, f.clock);
    QVERIFY(autosave.isEnabled());
    autosave.setEnabled(false);
    QVERIFY(!autosave.isEnabled());
    autosave.setEnabled(true);
    QVERIFY(autosave.isEnabled());
}

void TestAutosave::fifthTickWritesCopyOfThePage()
{
    Fixture f;
    f.richText.setText(QStringLiteral("<p>你好</p>\r\nx"));
    Autosave autosave(f.richText, f.status, f.clock);
    const QString copy = f.copyIn(f.temp.path());

    f.tick(autosave, 4);
    QCOMPARE(autosave.tickCount(), 4);
    QVERIFY(QDir(f.temp.path()).isEmpty());
    QCOMPARE(f.status.Text2(), QString());

    f.tick(autosave, 1);
    QCOMPARE(readBytes(copy), QByteArray("<p>\xc4\xe3\xba\xc3</p>\r\nx\r\n"));
    QCOMPARE(f.status.Text2(), QStringLiteral("自动保存  …") + kSep + QStringLiteral("140509.htm"));
    QCOMPARE(autosave.tickCount(), 0);
    QVERIFY(autosave.isEnabled());
    QCOMPARE(f.richText.Text(), QStringLiteral("<p>你好</p>\r\nx"));

    // An empty page is copied as well, five minutes later.
    f.richText.setText(QString());
    f.clock.setNow(kMoment.addSecs(300));
    const QString later =
        f.copyIn(f.temp.path(), QStringLiteral("070303"), QStringLiteral("141009"));
    f.tick(autosave, 4);
    QVERIFY(!QFile::exists(later));
    f.tick(autosave, 1);
    QCOMPARE(readBytes(later), QByteArray("\r\n"));
}

void TestAutosave::copyPath_data()
{
    QTest::addColumn<QString>("trailing");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");

    QTest::newRow("plain folder") << "" << kMoment << "070303"
                                  << "140509";
    QTest::newRow("trailing separator") << kSep << kMoment << "070303"
                                        << "140509";
    QTest::newRow("24-hour clock, next century")
        << "" << QDateTime(QDate(2031, 12, 24), QTime(23, 0, 1)) << "311224"
        << "230001";
    QTest::newRow("just after midnight")
        << kSep << QDateTime(QDate(2010, 1, 1), QTime(0, 0, 0)) << "100101"
        << "000000";
}

void TestAutosave::copyPath()
{
    QFETCH(QString, trailing);
    QFETCH(QDateTime, moment);
    QFETCH(QString, date);
    QFETCH(QString, time);

    Fixture f;
    f.richText.setText(QStringLiteral("x"));
    QTemporaryDir folder;
    WriteSetting(QStringLiteral("save"), QStringLiteral("timepath"), folder.path() + trailing);
    f.clock.setNow(moment);
    Autosave autosave(f.richText, f.status, f.clock);
    f.tick(autosave, 5);

    QCOMPARE(readBytes(f.copyIn(folder.path(), date, time)), QByteArray("x\r\n"));
    QCOMPARE(Autosave::DayFolder(folder.path() + trailing, moment),
             folder.path() + kSep + QStringLiteral("ZelmoHTML$") + date);
    QVERIFY(QDir(f.temp.path()).isEmpty());
}

void TestAutosave::copiesOnDifferentDays()
{
    Fixture f;
    f.richText.setText(QStringLiteral("a"));
    Autosave autosave(f.richText, f.status, f.clock);
    f.tick(autosave, 5);
    f.clock.setNow(kMoment.addSecs(3600));
    f.richText.setText(QStringLiteral("ab"));
    f.tick(autosave, 5);
    f.clock.setNow(kMoment.addDays(1));
    f.richText.setText(QStringLiteral("abc"));
    f.tick(autosave, 5);

    QDir temp(f.temp.path());
    QCOMPARE(temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("ZelmoHTML$070303"), QStringLiteral("ZelmoHTML$070304")}));
    QCOMPARE(QDir(temp.filePath(QStringLiteral("ZelmoHTML$070303"))).entryList(QDir::Files),
             QStringList({QStringLiteral("140509.htm"), QStringLiteral("150509.htm")}));
    QVERIFY(QFile::exists(f.copyIn(f.temp.path(), QStringLiteral("070304"))));
}

void TestAutosave::switchReadOnEveryTick_data()
{
    QTest::addColumn<int>("ticksBefore");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("enabledAfter");
    QTest::addColumn<bool>("copyMade");

    QTest::newRow("off on the third tick") << 2 << "False" << false << false;
    QTest::newRow("off on the fifth tick: last copy") << 4 << "False" << false << true;
    QTest::newRow("off as a number") << 0 << "0" << false << false;
    QTest::newRow("on as a number") << 4 << "1" << true << true;
    QTest::newRow("unreadable value keeps autosave on") << 4 << "maybe" << true << true;
}

void TestAutosave::switchReadOnEveryTick()
{
    QFETCH(int, ticksBefore);
    QFETCH(QString, value);
    QFETCH(bool, enabledAfter);
    QFETCH(bool, copyMade);

    Fixture f;
    Autosave autosave(f.richText, f.status, f.clock);
    f.tick(autosave, ticksBefore);
    QVERIFY(autosave.isEnabled());
    WriteSetting(QStringLiteral("save"), QStringLiteral("timeflag"), value);
    f.tick(autosave, 1);

    QCOMPARE(autosave.isEnabled(), enabledAfter);
    QCOMPARE(QFile::exists(f.copyIn(f.temp.path())), copyMade);
    QCOMPARE(autosave.tickCount(), copyMade ? 0 : ticksBefore + 1);
}

void TestAutosave::missingFolderStopsTimer_data()
{
    QTest::addColumn<QString>("timepath");
    QTest::newRow("no such folder") << "missing";
    QTest::newRow("a file, not a folder") << "plain-file";
    QTest::newRow("empty") << "";
}

void TestAutosave::missingFolderStopsTimer()
{
    QFETCH(QString, timepath);

    Fixture f;
    QTemporaryDir base;
    writeBytes(base.filePath(QStringLiteral("plain-file")), "x");
    const QString folder = timepath.isEmpty() ? QString() : base.filePath(timepath);
    WriteSetting(QStringLiteral("save"), QStringLiteral("timepath"), folder);
    Autosave autosave(f.richText, f.status, f.clock);

    f.tick(autosave, 4);
    QVERIFY(autosave.isEnabled());
    f.tick(autosave, 1);
    QVERIFY(!autosave.isEnabled());
    QCOMPARE(f.status.Text2(), QStringLiteral("自动保存失败，需要重新设定"));
    QCOMPARE(autosave.tickCount(), 0);
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("plain-file")});
    QVERIFY(QDir(f.temp.path()).isEmpty());
}

void TestAutosave::copyThatCannotBeWrittenKeepsTimer_data()
{
    QTest::addColumn<bool>("dayFolderIsAFile");
    QTest::newRow("day folder cannot be made") << true;
    QTest::newRow("copy's name taken") << false;
}

void TestAutosave::copyThatCannotBeWrittenKeepsTimer()
{
    QFETCH(bool, dayFolderIsAFile);

    // Blocked by what stands in the way, not by permissions, which do not
    // hold for every user.
    Fixture f;
    f.richText.setText(QStringLiteral("page"));
    const QString dayFolder = f.temp.filePath(QStringLiteral("ZelmoHTML$070303"));
    const QString copy = f.copyIn(f.temp.path());
    if (dayFolderIsAFile) {
        writeBytes(dayFolder, "in the way");
    } else {
        QVERIFY(QDir().mkpath(copy));
    }
    Autosave autosave(f.richText, f.status, f.clock);
    f.tick(autosave, 5);

    QVERIFY(autosave.isEnabled());
    QCOMPARE(autosave.tickCount(), 0);
    QCOMPARE(f.richText.Text(), QStringLiteral("page"));
    if (!dayFolderIsAFile) {
        // What stands there stays; the copy takes the next free name.
        QVERIFY(QFileInfo(copy).isDir());
        QCOMPARE(readBytes(f.copyIn(f.temp.path(), "070303", "140509-2")), "page\r\n");
        return;
    }
    QVERIFY2(f.status.Text2().startsWith(QStringLiteral("自动保存失败：")),
             qPrintable(f.status.Text2()));
    QVERIFY(f.status.Text2().endsWith(copy));
    QCOMPARE(readBytes(dayFolder), QByteArray("in the way"));

    // Once the way is clear, the next round writes its copy.
    if (dayFolderIsAFile)
        QVERIFY(QFile::remove(dayFolder));
    else
        QVERIFY(QDir(copy).removeRecursively());
    f.tick(autosave, 5);
    QCOMPARE(readBytes(copy), QByteArray("page\r\n"));
}

void TestAutosave::statusNamesTheFileWritten()
{
    Fixture f;
    RunningClock clock(QDateTime(QDate(2007, 3, 3), QTime(23, 59, 59)));
    Autosave autosave(f.richText, f.status, clock);
    f.tick(autosave, 5);

    const QString name = f.status.Text2().section(kSep, -1);
    QVERIFY(QFile::exists(f.copyIn(f.temp.path(), QStringLiteral("070303"), name.left(6))));
    QCOMPARE(name, QStringLiteral("235959.htm"));
}

// A character the page's encoding cannot hold makes the copy UTF-8 with a
// byte-order mark; its line breaks stay the page's.
void TestAutosave::copyKeepsWhatTheEncodingCannotHold()
{
    Fixture f;
    f.richText.setText(QStringLiteral("a\u4e2d\r\nb"));
    PageFormat format;
    format.encoding = QStringLiteral("windows-1252");
    format.lineBreak = PageFormat::LineBreak::Lf;
    format.finalLineBreak = false;
    Autosave autosave(f.richText, f.status, f.clock);
    autosave.followFormat(&format);
    f.tick(autosave, 5);
    QCOMPARE(readBytes(f.copyIn(f.temp.path())), QByteArray("\xef\xbb\xbf"
                                                            "a\xe4\xb8\xad\nb"));
}

void TestAutosave::copiesNeverFollowLinksNorReplace_data()
{
    QTest::addColumn<QString>("planted"); // what stands where the copy would go
    QTest::addColumn<QString>("written"); // the copy's name, "" when refused
    QTest::newRow("another window's copy") << "file"
                                           << "140509-2.htm";
    QTest::newRow("link to a file of the user's") << "link"
                                                  << "140509-2.htm";
    QTest::newRow("dangling link") << "dangling"
                                   << "140509-2.htm";
    QTest::newRow("day folder is a link") << "folder link"
                                          << "";
}

void TestAutosave::copiesNeverFollowLinksNorReplace()
{
    QFETCH(QString, planted);
    QFETCH(QString, written);
    Fixture f;
    f.richText.setText(QStringLiteral("page"));
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    const QString dayFolder = f.temp.filePath(QStringLiteral("ZelmoHTML$070303"));
    const QString copy = f.copyIn(f.temp.path());
    if (planted == "folder link") {
        QVERIFY(QFile::link(elsewhere.path(), dayFolder));
    } else if (planted == "foreign folder") {
        QVERIFY(QDir().mkpath(dayFolder));
        // Only the superuser can give a folder away.
        if (::geteuid() != 0 || ::chown(QFile::encodeName(dayFolder).constData(), 65534, 65534))
            QSKIP("needs the superuser to make a folder of another user");
    } else {
        QVERIFY(QDir().mkpath(dayFolder));
        if (planted == "file")
            writeBytes(copy, "other window");
        else if (planted == "link")
            writeBytes(victim, "precious");
        if (planted != "file")
            QVERIFY(QFile::link(victim, copy));
    }
    Autosave autosave(f.richText, f.status, f.clock);
    f.tick(autosave, 5);

    if (planted == "file")
        QCOMPARE(readBytes(copy), QByteArray("other window"));
    QCOMPARE(QFileInfo::exists(victim), planted == "link");
    if (planted == "link")
        QCOMPARE(readBytes(victim), QByteArray("precious"));
    if (written.isEmpty()) {
        QCOMPARE(f.status.Text2(),
                 QStringLiteral("自动保存失败：") +
                     (planted == "folder link" ? QStringLiteral("文件夹是一个链接")
                                               : QStringLiteral("文件夹不属于你，不在里面保存")) +
                     QStringLiteral("--") + copy);
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        QVERIFY(QDir(dayFolder).isEmpty());
        return;
    }
    QCOMPARE(readBytes(dayFolder + kSep + written), QByteArray("page\r\n"));
    QCOMPARE(f.status.Text2(), QStringLiteral("自动保存  …") + kSep + written);
}

void TestAutosave::unchangedPageIsNotCopiedAgain()
{
    Fixture f;
    f.richText.setText(QStringLiteral("page"));
    Autosave autosave(f.richText, f.status, f.clock);
    const QDir day(f.temp.filePath(QStringLiteral("ZelmoHTML$070303")));
    f.tick(autosave, 5);
    f.clock.setNow(kMoment.addSecs(300));
    f.tick(autosave, 5);
    QCOMPARE(day.entryList(QDir::Files), QStringList{QStringLiteral("140509.htm")});
    f.richText.setText(QStringLiteral("page!"));
    f.tick(autosave, 5);
    QCOMPARE(day.entryList(QDir::Files),
             QStringList({QStringLiteral("140509.htm"), QStringLiteral("141009.htm")}));
}

QTEST_MAIN(TestAutosave)
#include "tst_autosave.moc"
