#include "document/documentsession.h"
#include "editor/richtextbox.h"
#include "platform/twips.h"
#include "shell/commandline.h"
#include "shell/framain.h"
#include "shell/statusline.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QFile>
#include <QTest>

namespace {
const QString kProduct = QStringLiteral("ZelmoHTML编辑器");
}

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
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), kProduct);
    QVERIFY(window.richText()->Text().startsWith(QStringLiteral("<html>\r\n<head>\r\n")));
    QVERIFY(window.richText()->Text().endsWith(QStringLiteral("</body>\r\n</html>")));
    QCOMPARE(window.status().Text2(), QStringLiteral("欢迎使用ZelmoHTML编辑器"));
    QVERIFY(prompts.messages.isEmpty());
}

void TestFRAmain::startWithQuotedPathWithBlanks()
{
    TestProgramFolder folder;
    const QString path = folder.filePath(QStringLiteral("my page.htm"));
    folder.writeFile(QStringLiteral("my page.htm"), QByteArray::fromHex("d6d0") + "\r\n");
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({QLatin1Char('"') + path.section(u' ', 0, 0), path.section(u' ', 1) + '"'});
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
    TestProgramFolder folder;
    const QString path = folderArgument ? folder.path() : folder.filePath("missing.htm");
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({path});
    QVERIFY(window.isVisible());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, QStringLiteral("文件夹不能加载"));
    QCOMPARE(prompts.messages[0].style, 0);
    QCOMPARE(window.windowTitle(), kProduct);
    QVERIFY(window.richText()->Text().isEmpty());
    QVERIFY(window.session().CurrentFile.isEmpty());
}

void TestFRAmain::noSettingsFileGivesDesignRectangle()
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
    QCOMPARE(window.pos(), QPoint(Twips::toPixels(3540), Twips::toPixels(1845)));
    QCOMPARE(window.size(), QSize(Twips::toPixels(10500), Twips::toPixels(6690)));
    // Only the scheme chosen at start-up has been written.
    QCOMPARE(folder.readFile("zelmohtml.ini"), QByteArray("[Scheme]\r\nfaceing=0\r\n"));
}

void TestFRAmain::restartRestoresRectangle()
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    {
        FRAmain window(prompts);
        window.Form_Load({});
        window.move(50, 60);
        window.resize(400, 300);
        window.close();
    }
    const QByteArray ini = folder.readFile("zelmohtml.ini");
    QVERIFY(ini.contains("[Arer]\r\nLeft=750\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n"));
    FRAmain again(prompts);
    again.Form_Load({});
    QCOMPARE(again.pos(), QPoint(50, 60));
    QCOMPARE(again.size(), QSize(400, 300));
}

void TestFRAmain::restartRestoresMaximisedState()
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    {
        FRAmain window(prompts);
        window.Form_Load({});
        window.move(30, 40);
        window.resize(500, 350);
        window.close(); // stores the normal rectangle
    }
    {
        FRAmain window(prompts);
        window.Form_Load({});
        window.showMaximized();
        window.close();
    }
    FRAmain again(prompts);
    again.Form_Load({});
    QVERIFY(again.isMaximized());
    again.showNormal();
    QCOMPARE(again.normalGeometry().size(), QSize(500, 350));
}

void TestFRAmain::minimisedExitOpensNormal()
{
    TestProgramFolder folder;
    folder.writeFile("zelmohtml.ini", "[Arer]\r\nWindowState=1\r\n");
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
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
    TestProgramFolder folder;
    const QString path = folder.filePath("named.htm");
    folder.writeFile("named.htm", "old\r\n");
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({path});
    window.richText()->setFocus();
    window.richText()->setSelStart(3);
    QTest::keyClick(window.richText(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(folder.readFile("named.htm"), QByteArray("old\r\n"));
    QTest::keyClick(window.richText(), Qt::Key_X);
    QTest::keyClick(window.richText(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(folder.readFile("named.htm"), QByteArray("oldx\r\n"));
    QVERIFY(prompts.fileRequests.isEmpty());
    QCOMPARE(window.richText()->Text(), QStringLiteral("oldx")); // the key itself is consumed
}

void TestFRAmain::saveAsKeyAlwaysAsks()
{
    TestProgramFolder folder;
    const QString path = folder.filePath("named.htm");
    folder.writeFile("named.htm", "old\r\n");
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({path});
    window.richText()->setFocus();
    const QString copy = folder.filePath("copy.htm");
    prompts.fileAnswers << copy;
    QTest::keyClick(window.richText(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(prompts.fileRequests.size(), 1);
    QCOMPARE(prompts.fileRequests[0].fileName, QStringLiteral("*.htm"));
    QCOMPARE(folder.readFile("copy.htm"), QByteArray("old\r\n"));
    QCOMPARE(window.windowTitle(), kProduct + "--" + copy);
}

QTEST_MAIN(TestFRAmain)
#include "tst_framain.moc"
