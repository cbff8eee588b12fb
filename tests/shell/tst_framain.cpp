#include "document/documentsession.h"
#include "editor/richtextbox.h"
#include "platform/twips.h"
#include "shell/commandline.h"
#include "shell/framain.h"
#include "shell/statusline.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QTest>
#include <memory>

namespace {

const QString kProduct = QStringLiteral("ZelmoHTML编辑器");

// A program folder of its own and the main window started in it.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;

    // A fresh window (the one before it closed and gone) after Form_Load.
    FRAmain &start(const QStringList &arguments = {})
    {
        window.reset();
        window = std::make_unique<FRAmain>(prompts);
        window->Form_Load(arguments);
        return *window;
    }

    // Starts a window, gives it this rectangle and closes it.
    void runAt(const QPoint &pos, const QSize &size)
    {
        FRAmain &w = start();
        w.move(pos);
        w.resize(size);
        w.close();
    }

    // A window started on "named.htm", which holds "old".
    FRAmain &startOnNamedPage()
    {
        folder.writeFile("named.htm", "old\r\n");
        FRAmain &w = start({folder.filePath("named.htm")});
        w.richText()->setFocus();
        return w;
    }
};

} // namespace

class TestFRAmain : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void startWithoutFile();
    void startWithQuotedPathWithBlanks();
    void startWithUnloadableFile_data();
    void startWithUnloadableFile();
    void noSettingsFileGivesDesignRectangle();
    void restartRestoresRectangle();
    void restartRestoresMaximisedState();
    void minimisedExitOpensNormal();
    void saveKeys_data();
    void saveKeys();
    void saveAsKeyAlwaysAsks();
};

void TestFRAmain::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("one") << QStringList{"/a/b.htm"} << "/a/b.htm";
    QTest::newRow("split at blanks") << QStringList{"/a/my", "page.htm"} << "/a/my page.htm";
    QTest::newRow("quoted") << QStringList{"\"/a/my page.htm\""} << "/a/my page.htm";
    QTest::newRow("quote inside") << QStringList{"/a/x\"y.htm"} << "/a/xy.htm";
}

void TestFRAmain::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, path);
    QCOMPARE(CommandLinePath(arguments), path);
}

void TestFRAmain::startWithoutFile()
{
    Fixture f;
    FRAmain &window = f.start();
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), kProduct);
    QVERIFY(window.richText()->Text().startsWith(QStringLiteral("<html>\r\n<head>\r\n")));
    QVERIFY(window.richText()->Text().endsWith(QStringLiteral("</body>\r\n</html>")));
    QCOMPARE(window.status().Text2(), QStringLiteral("欢迎使用ZelmoHTML编辑器"));
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestFRAmain::startWithQuotedPathWithBlanks()
{
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("my page.htm"));
    f.folder.writeFile(QStringLiteral("my page.htm"), QByteArray::fromHex("d6d0") + "\r\n");
    FRAmain &window =
        f.start({QLatin1Char('"') + path.section(u' ', 0, 0), path.section(u' ', 1) + '"'});
    QCOMPARE(window.richText()->Text(), QStringLiteral("中"));
    QCOMPARE(window.windowTitle(), kProduct + "--" + path);
    QCOMPARE(window.status().Text2(), QStringLiteral("打开成功 --") + path);
    QCOMPARE(window.session().CurrentFile, path);
    QVERIFY(window.session().CurrentFileTitle.isEmpty());
}

void TestFRAmain::startWithUnloadableFile_data()
{
    QTest::addColumn<bool>("folderArgument");
    QTest::newRow("folder") << true;
    QTest::newRow("missing file") << false;
}

void TestFRAmain::startWithUnloadableFile()
{
    QFETCH(bool, folderArgument);
    Fixture f;
    FRAmain &window =
        f.start({folderArgument ? f.folder.path() : f.folder.filePath("missing.htm")});
    QVERIFY(window.isVisible());
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("文件夹不能加载"));
    QCOMPARE(f.prompts.messages[0].style, 0);
    QCOMPARE(window.windowTitle(), kProduct);
    QVERIFY(window.richText()->Text().isEmpty());
    QVERIFY(window.session().CurrentFile.isEmpty());
}

void TestFRAmain::noSettingsFileGivesDesignRectangle()
{
    Fixture f;
    FRAmain &window = f.start();
    QCOMPARE(window.pos(), QPoint(Twips::toPixels(3540), Twips::toPixels(1845)));
    QCOMPARE(window.size(), QSize(Twips::toPixels(10500), Twips::toPixels(6690)));
    // Only the scheme chosen at start-up has been written.
    QCOMPARE(f.folder.readFile("zelmohtml.ini"), QByteArray("[Scheme]\r\nfaceing=0\r\n"));
}

void TestFRAmain::restartRestoresRectangle()
{
    Fixture f;
    f.runAt(QPoint(50, 60), QSize(400, 300));
    const QByteArray ini = f.folder.readFile("zelmohtml.ini");
    QVERIFY(ini.contains("[Arer]\r\nLeft=750\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n"));
    FRAmain &again = f.start();
    QCOMPARE(again.pos(), QPoint(50, 60));
    QCOMPARE(again.size(), QSize(400, 300));
}

void TestFRAmain::restartRestoresMaximisedState()
{
    Fixture f;
    f.runAt(QPoint(30, 40), QSize(500, 350)); // stores the normal rectangle
    f.start().showMaximized();
    f.window->close();
    FRAmain &again = f.start();
    QVERIFY(again.isMaximized());
    again.showNormal();
    QCOMPARE(again.normalGeometry().size(), QSize(500, 350));
}

void TestFRAmain::minimisedExitOpensNormal()
{
    Fixture f;
    f.folder.writeFile("zelmohtml.ini", "[Arer]\r\nWindowState=1\r\n");
    FRAmain &window = f.start();
    QVERIFY(!window.isMinimized());
    QVERIFY(!window.isMaximized());
}

void TestFRAmain::saveKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S);
    QTest::newRow("Ctrl+O saves too") << int(Qt::Key_O);
}

void TestFRAmain::saveKeys()
{
    QFETCH(int, key);
    Fixture f;
    FRAmain &window = f.startOnNamedPage();
    window.richText()->setSelStart(3);
    QTest::keyClick(window.richText(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(f.folder.readFile("named.htm"), QByteArray("old\r\n"));
    QTest::keyClick(window.richText(), Qt::Key_X);
    QTest::keyClick(window.richText(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(f.folder.readFile("named.htm"), QByteArray("oldx\r\n"));
    QVERIFY(f.prompts.fileRequests.isEmpty());
    QCOMPARE(window.richText()->Text(), QStringLiteral("oldx")); // the key itself is consumed
}

void TestFRAmain::saveAsKeyAlwaysAsks()
{
    Fixture f;
    FRAmain &window = f.startOnNamedPage();
    const QString copy = f.folder.filePath("copy.htm");
    f.prompts.fileAnswers << copy;
    QTest::keyClick(window.richText(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.prompts.fileRequests.size(), 1);
    QCOMPARE(f.prompts.fileRequests[0].fileName, QStringLiteral("*.htm"));
    QCOMPARE(f.folder.readFile("copy.htm"), QByteArray("old\r\n"));
    QCOMPARE(window.windowTitle(), kProduct + "--" + copy);
}

QTEST_MAIN(TestFRAmain)
#include "tst_framain.moc"
