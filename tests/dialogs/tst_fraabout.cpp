#include "dialogs/fraabout.h"
#include "dialogs/fraabouticon.h"
#include "dialogs/fraaboutinfo.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

class TestFRAabout : public QObject {
    Q_OBJECT
private slots:
    void versionLine_data();
    void versionLine();
    void versionRecordMatchesBuild();
    void nameEndsAtNul_data();
    void nameEndsAtNul();
    void windowShowsNameVersionAndIcon();
    void bannerAndThanks();
};

void TestFRAabout::versionLine_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("third");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("line");
    QTest::newRow("program") << 1 << 4 << 11 << 32 << "ZelmoHTML编辑器 1.4.11.32";
    QTest::newRow("third field ignored") << 2 << 10 << 7 << 5 << "ZelmoHTML编辑器 2.10.11.5";
    QTest::newRow("zeros") << 0 << 0 << 0 << 0 << "ZelmoHTML编辑器 0.0.11.0";
}

void TestFRAabout::versionLine()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, third);
    QFETCH(int, revision);
    QFETCH(QString, line);
    QCOMPARE(VersionLine(VersionRecord{major, minor, third, revision}), line);
}

void TestFRAabout::versionRecordMatchesBuild()
{
    // The build's project version repeats the record.
    QFile cmake(QStringLiteral(ZELMO_RESOURCES) + QStringLiteral("/../CMakeLists.txt"));
    QVERIFY(cmake.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("project\\(\\s*\\w+\\s+VERSION\\s+([0-9.]+)"))
            .match(QString::fromUtf8(cmake.readAll()));
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1), QStringLiteral("%1.%2.%3.%4")
                                    .arg(kProgramVersion.major)
                                    .arg(kProgramVersion.minor)
                                    .arg(kProgramVersion.third)
                                    .arg(kProgramVersion.revision));
}

void TestFRAabout::nameEndsAtNul_data()
{
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<QString>("name");
    const QString longName(255, u'u');
    QTest::newRow("255 characters") << longName << longName;
    QTest::newRow("255 then NUL") << longName + QChar(u'\0') << longName;
    QTest::newRow("NUL padded") << QStringLiteral("zelmo") + QString(250, QChar(u'\0')) << "zelmo";
    QTest::newRow("empty") << QString() << QString();
}

void TestFRAabout::nameEndsAtNul()
{
    QFETCH(QString, buffer);
    QFETCH(QString, name);
    QCOMPARE(NameUpToNul(buffer), name);
}

void TestFRAabout::windowShowsNameVersionAndIcon()
{
    ScriptedPrompts prompts;
    QWidget mainWindow;
    mainWindow.setWindowIcon(ProgramIcon());
    FRAabout about(prompts, &mainWindow);
    QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
    QCOMPARE(about.Label3()->text(), QStringLiteral("ZelmoHTML编辑器 1.4.11.32"));
    QCOMPARE(about.Label2()->text(), LoginName());
    QVERIFY(!LoginName().isEmpty());
    QVERIFY(!LoginName().contains(QChar(u'\0')));
    QVERIFY(!about.windowIcon().isNull());
    QVERIFY(!about.Image1()->pixmap().isNull());
    QCOMPARE(about.Image2()->iconSize(), QSize(256, 54));
    QCOMPARE(ProgramIconPixmap(32).size(), QSize(32, 32));
}

void TestFRAabout::bannerAndThanks()
{
    ScriptedPrompts prompts;
    QStringList opened;
    RecordingLauncher launcher;
    FRAabout about(prompts, nullptr, &launcher);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.Image2(), Qt::LeftButton);
    for (const QUrl &url : launcher.opened)
        opened << url.toString();
    QCOMPARE(opened, QStringList{MakerLinks::homePage()});

    about.Label6_Click();
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].style, 64);
    QCOMPARE(prompts.messages[0].title, QStringLiteral("鸣谢"));
    QVERIFY(prompts.messages[0].text.startsWith(QStringLiteral("特别感谢:")));

    QTest::mouseClick(about.EXIT(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestFRAabout)
#include "tst_fraabout.moc"
