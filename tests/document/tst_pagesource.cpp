#include "document/pagesource.h"
#include "platform/download.h"
#include "platform/launcher.h"
#include "platform/twips.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/tempfolder.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

const QString kFailure = QStringLiteral("想学习人家的东西,就要把正确的网页地址告诉我...");

// A TEMP folder of its own; downloads run without a dialog and only from
// local files.
struct Fixture {
    TestTempFolder temp;
    StatusRecorder status;
    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    PageSource source{status, prompts, launcher};
    QStringList addresses;

    Fixture()
    {
        source.setDownloader(
            [this](const QString &address, const QString &target, QString *reason) {
                addresses.append(address);
                return DownloadToFile(address, target, nullptr, reason);
            });
    }

    QString target() const { return temp.filePath(QStringLiteral("yuancode.txt")); }
};

} // namespace

class TestPageSource : public QObject {
    Q_OBJECT
private slots:
    void asksForAddress();
    void fetchedSourceIsOpened();
    void failureKeepsOlderSource_data();
    void failureKeepsOlderSource();
    void addressBoxPosition_data();
    void addressBoxPosition();
    void addressBoxOverMainWindow();
};

void TestPageSource::asksForAddress()
{
    Fixture f;
    f.source.stolen_Click();
    QCOMPARE(f.prompts.inputRequests.size(), 1);
    const Prompts::InputRequest &request = f.prompts.inputRequests.first();
    QCOMPARE(request.title, QStringLiteral("看窥一下源文件"));
    QCOMPARE(request.prompt, QStringLiteral("\r\n\r\n输入你要查看源文件的网页地址\r\n\r\n"
                                            "速度要快点哦，不然被发现就遭了 ^_^"));
    QCOMPARE(request.defaultText, QString());
    QVERIFY(!request.position);
}

void TestPageSource::fetchedSourceIsOpened()
{
    Fixture f;
    QTemporaryDir pages;
    const QString page = pages.filePath(QStringLiteral("page.htm"));
    // GBK is shown in UTF-8, which the desktop's viewers read; line breaks
    // stay exactly as they came.
    const QByteArray bytes("<p>\xc4\xe3\xba\xc3</p>\n<br>\r\n");
    const QByteArray shown("<p>\xe4\xbd\xa0\xe5\xa5\xbd</p>\n<br>\r\n");
    writeBytes(page, bytes);
    const QString address = QUrl::fromLocalFile(page).toString();
    f.prompts.inputAnswers = {address};

    f.source.stolen_Click();

    QCOMPARE(f.addresses, QStringList{address});
    QCOMPARE(PageSource::TargetPath(), f.target());
    QCOMPARE(readBytes(f.target()), shown);
    QCOMPARE(ReadableSource(shown), shown);
    QCOMPARE(ReadableSource("<meta charset=big5>\xa4\xa4\xff"),
             QByteArray("<meta charset=big5>\xe4\xb8\xad\xef\xbf\xbd"));
    QCOMPARE(f.launcher.opened, QList<QUrl>{QUrl::fromLocalFile(f.target())});
    QVERIFY(f.prompts.messages.isEmpty());

    // Nothing on the desktop to show it with: said so.
    f.launcher.canOpen = false;
    f.prompts.inputAnswers = {address};
    f.source.stolen_Click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.contains(f.target()));
}

void TestPageSource::failureKeepsOlderSource_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reason");
    QTest::newRow("box cancelled") << true << ""
                                   << "地址无效";
    QTest::newRow("empty address") << false << ""
                                   << "地址无效";
    QTest::newRow("missing page") << false << "file:///no/such/page.htm"
                                  << "没有这个文件";
    QTest::newRow("connection refused") << false << "http://127.0.0.1:1/"
                                        << "服务器拒绝连接";
}

void TestPageSource::failureKeepsOlderSource()
{
    QFETCH(bool, cancelled);
    QFETCH(QString, address);
    QFETCH(QString, reason);

    Fixture f;
    writeBytes(f.target(), "older");
    f.prompts.inputAnswers = {cancelled ? std::optional<QString>() : address};

    f.source.stolen_Click();

    QCOMPARE(f.addresses, QStringList{address});
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.first().text, kFailure + "\r\n\r\n原因：" + reason);
    QCOMPARE(f.prompts.messages.first().style, int(Prompts::OkOnly));
    QCOMPARE(f.prompts.messages.first().title, QStringLiteral("看窥不成功"));
    QVERIFY(f.launcher.opened.isEmpty());
    QCOMPARE(readBytes(f.target()), QByteArray("older"));
}

void TestPageSource::addressBoxPosition_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<int>("innerHeight");
    QTest::addColumn<QPoint>("expected");

    const int hundredTwips = Twips::toPixels(100);
    QTest::newRow("title bar and borders")
        << QRect(200, 150, 800, 630) << 600 << QPoint(200 + hundredTwips, 180);
    QTest::newRow("no frame") << QRect(0, 0, 640, 480) << 480 << QPoint(hundredTwips, 0);
    QTest::newRow("window on a screen left of the primary")
        << QRect(-1000, 40, 500, 400) << 370 << QPoint(-1000 + hundredTwips, 70);
}

void TestPageSource::addressBoxPosition()
{
    QFETCH(QRect, frame);
    QFETCH(int, innerHeight);
    QFETCH(QPoint, expected);
    QCOMPARE(AddressBoxPosition(frame, innerHeight), expected);
}

void TestPageSource::addressBoxOverMainWindow()
{
    Fixture f;
    QWidget window;
    window.setGeometry(300, 200, 640, 480);
    PageSource source(f.status, f.prompts, f.launcher, &window);
    source.setDownloader([](const QString &, const QString &, QString *) { return false; });

    source.stolen_Click();

    QCOMPARE(f.prompts.inputRequests.size(), 1);
    QCOMPARE(f.prompts.inputRequests.first().position,
             AddressBoxPosition(window.frameGeometry(), window.height()));
}

QTEST_MAIN(TestPageSource)
#include "tst_pagesource.moc"
