#include "document/documentsession.h"
#include "document/filecommands.h"
#include "document/standarddocument.h"
#include "editor/richtextbox.h"
#include "platform/ansicodec.h"
#include "platform/safefile.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/resource.h>

namespace {

const QString kProduct = QStringLiteral("ZelmoHTML编辑器");

// One editing area with its session, status line and scripted prompts.
struct Fixture {
    TestProgramFolder folder;
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    ScriptedPrompts prompts;
    FileCommands commands{richText, session, status, prompts};
    bool saveMessage = false;

    Fixture()
    {
        session.setCaption(kProduct);
        commands.setSaveMessageCheck([this] { return saveMessage; });
    }
};

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void newDocument_data();
    void newDocument();
    void standardDocumentBytes();
    void saveSuggestsName_data();
    void saveSuggestsName();
    void saveAsAfterOpenSuggestsItsTitle();
    void saveCancelled();
    void savedFileHoldsTextAndOneCrLf();
    void saveMessageWhenWanted();
    void openAndSaveKeepsPageByteForByte_data();
    void openAndSaveKeepsPageByteForByte();
    void openCancelled();
    void openUnreadableFileChangesNothing();
    void failedSaveKeepsOldFileAndSaysSo();
    void hints();
};

void TestFileCommands::newDocument_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("fileCleared");
    QTest::addColumn<QString>("expectedMessage");

    const QString emptyMessage = QStringLiteral("已经是空白状态了,不需要再次建立,请你编辑吧!");
    const QString askMessage = QStringLiteral("建议新建之前保存文挡,你真的要新建文挡吗?");
    QTest::newRow("empty: message, no change") << "" << 0 << 0 << 0 << "" << false << emptyMessage;
    QTest::newRow("five characters: emptied without asking")
        << "abcde" << 0 << 0 << 0 << "" << true << "";
    QTest::newRow("line break counts two")
        << "ab\r\ncd" << 0 << 0 << int(Prompts::AnswerYes) << "" << true << askMessage;
    QTest::newRow("six characters, Yes")
        << "abcdef" << 0 << 0 << int(Prompts::AnswerYes) << "" << true << askMessage;
    QTest::newRow("six characters, No")
        << "abcdef" << 0 << 0 << int(Prompts::AnswerNo) << "abcdef" << false << askMessage;
    QTest::newRow("No removes the selection only")
        << "abcdefgh" << 2 << 3 << int(Prompts::AnswerNo) << "abfgh" << false << askMessage;
}

void TestFileCommands::newDocument()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(int, answer);
    QFETCH(QString, expectedText);
    QFETCH(bool, fileCleared);
    QFETCH(QString, expectedMessage);

    Fixture f;
    f.richText.setText(text);
    f.richText.setSelStart(selStart);
    f.richText.setSelLength(selLength);
    f.session.CurrentFile = QStringLiteral("/tmp/page.htm");
    f.session.CurrentFileTitle = QStringLiteral("page.htm");
    f.session.setCaption(kProduct + QStringLiteral("--/tmp/page.htm"));
    if (answer)
        f.prompts.messageAnswers << answer;

    f.commands.func_Click(0);

    QCOMPARE(f.richText.Text(), expectedText);
    QCOMPARE(f.session.CurrentFile.isEmpty(), fileCleared);
    QCOMPARE(f.session.caption(), fileCleared ? kProduct : kProduct + "--/tmp/page.htm");
    QCOMPARE(f.session.CurrentFileTitle, QStringLiteral("page.htm"));
    if (expectedMessage.isEmpty()) {
        QVERIFY(f.prompts.messages.isEmpty());
    } else {
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, expectedMessage);
        QCOMPARE(f.prompts.messages[0].title, QStringLiteral("确认"));
        QCOMPARE(f.prompts.messages[0].style, expectedMessage.startsWith(u'建') ? 52 : 48);
    }
}

void TestFileCommands::standardDocumentBytes()
{
    Fixture f;
    f.commands.func_Click(2);
    const QString path = f.folder.filePath(QStringLiteral("new.htm"));
    f.prompts.fileAnswers << path;
    f.commands.func_Click(1);

    const QByteArray expected =
        QByteArray("<html>\r\n<head>\r\n"
                   "<Meta http-equiv=Content-Type content=text/html charset=gb2312>\r\n") +
        AnsiCodec::encode(QStringLiteral(
            "<Meta name=\"keywords\" content=\"ZelmoHTML编辑器,Torvin,博客,软件,Torvin软件屋,"
            "Marrow,Quillwork,源代码,控件,Marrow文摘\">\r\n<title>标题</title>\r\n")) +
        "<style>\r\nbody{font-size:11pt;}\r\na{text-decoration:none;}\r\n</style>\r\n\r\n"
        "</head>\r\n<body topmargin=2 leftmargin=2 bgcolor=#ffffff>\r\n<base target=_blank>\r\n" +
        AnsiCodec::encode(QStringLiteral(
            "<!--work by ZelmoHTML编辑器 ! html以下至/body为正文编辑区,请你编辑HTML-->")) +
        "<!-- work by " + HomePageAddress().toLatin1() + " -->\r\n\r\n\r\n</body>\r\n</html>\r\n";
    QCOMPARE(readBytes(path), expected);
    // GBK, not UTF-8: "编辑器" is six bytes.
    QVERIFY(expected.contains(QByteArray::fromHex("b1e0bcadc6f7")));
}

void TestFileCommands::saveSuggestsName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("suggested");
    QTest::newRow("never saved") << ""
                                 << "*.htm";
    QTest::newRow("after a dialog") << "old.htm"
                                    << "old.htm";
}

void TestFileCommands::saveSuggestsName()
{
    QFETCH(QString, title);
    QFETCH(QString, suggested);
    Fixture f;
    f.session.CurrentFileTitle = title;
    const QString path = f.folder.filePath(QStringLiteral("chosen.htm"));
    f.prompts.fileAnswers << path;
    f.commands.func_Click(1);

    QCOMPARE(f.prompts.fileRequests.size(), 1);
    const Prompts::FileRequest &request = f.prompts.fileRequests[0];
    QCOMPARE(request.fileName, suggested);
    QCOMPARE(request.title, QStringLiteral("保存网页文件"));
    QCOMPARE(request.filter, QStringLiteral("html Files(*.htm)|*.htm"));
    QCOMPARE(request.flags, 2054);
    QCOMPARE(f.session.CurrentFile, path);
    QCOMPARE(f.session.CurrentFileTitle, QStringLiteral("chosen.htm"));
    QCOMPARE(f.session.caption(), kProduct + "--" + path);
    QCOMPARE(f.status.Text2(), QStringLiteral("保存成功--") + path);
}

void TestFileCommands::saveAsAfterOpenSuggestsItsTitle()
{
    Fixture f;
    const QString opened = f.folder.filePath(QStringLiteral("opened.htm"));
    writeBytes(opened, "<p>x</p>\r\n");
    f.prompts.fileAnswers << opened;
    f.commands.func_RightPress(0);
    QCOMPARE(f.prompts.fileRequests[0].title, QStringLiteral("打开网页文件"));
    QCOMPARE(f.prompts.fileRequests[0].flags, 6148);
    QCOMPARE(f.prompts.fileRequests[0].filter,
             QStringLiteral(
                 "网页文件(*.htm;*.html)|*.htm;*.html|文本文件(*.TXT)|*.TXT|所有文件(*.*)|*.*|"));
    QCOMPARE(f.richText.Text(), QStringLiteral("<p>x</p>"));
    QCOMPARE(f.status.Text2(), QStringLiteral("打开成功 --") + opened);
    QCOMPARE(f.session.caption(), kProduct + "--" + opened);

    f.commands.func_RightPress(1); // save as, cancelled
    QCOMPARE(f.prompts.fileRequests.size(), 2);
    QCOMPARE(f.prompts.fileRequests[1].fileName, QStringLiteral("opened.htm"));
    QCOMPARE(f.status.Text2(), QStringLiteral("保存取消"));
    QVERIFY(f.session.CurrentFile.isEmpty());
}

void TestFileCommands::saveCancelled()
{
    Fixture f;
    f.richText.setText(QStringLiteral("abc"));
    f.commands.Save();
    QCOMPARE(f.status.Text2(), QStringLiteral("保存取消"));
    QCOMPARE(f.session.caption(), kProduct);
    QVERIFY(f.session.CurrentFile.isEmpty());
}

void TestFileCommands::savedFileHoldsTextAndOneCrLf()
{
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("named.htm"));
    f.session.CurrentFile = path;
    f.richText.setText(QStringLiteral("中a\rb"));
    f.commands.Save();
    QVERIFY(f.prompts.fileRequests.isEmpty()); // a named document saves at once
    QCOMPARE(readBytes(path), QByteArray::fromHex("d6d061") + "\r\nb\r\n");
}

void TestFileCommands::saveMessageWhenWanted()
{
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("m.htm"));
    f.session.CurrentFile = path;
    f.saveMessage = true;
    f.commands.Save();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("文件已经保存\r\n") + path);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("恭喜"));
    QCOMPARE(f.prompts.messages[0].style, 0);
}

void TestFileCommands::openAndSaveKeepsPageByteForByte_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray gbk = QByteArray::fromHex("d6d0cec4") + "<p>\r\n";
    QTest::newRow("gbk crlf") << gbk + "x\r\n" << gbk + "x\r\n";
    QTest::newRow("ends in empty line") << gbk + "\r\n" << gbk + "\r\n";
    QTest::newRow("no final break gains one") << QByteArray("abc") << QByteArray("abc\r\n");
    QTest::newRow("lf becomes crlf") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("cr becomes crlf") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n");
    QTest::newRow("invalid bytes kept") << QByteArray::fromHex("81ff800a0d0a41fe30fe0d0a")
                                        << QByteArray::fromHex("81ff800d0a0d0a41fe30fe0d0a");
    QTest::newRow("utf-8 file kept")
        << QByteArray("\xe4\xb8\xad\xe6\x96\x87\r\n") << QByteArray("\xe4\xb8\xad\xe6\x96\x87\r\n");
    QTest::newRow("four-byte sequence")
        << QByteArray::fromHex("9439fc360d0a") << QByteArray::fromHex("9439fc360d0a");
    QTest::newRow("lead byte at the end")
        << QByteArray::fromHex("41d6") << QByteArray::fromHex("41d60d0a");
    // Held as pieces in the editing area, written back as one line.
    const QByteArray longLine = QByteArray::fromHex("d6d081ff9439fc3641").repeated(700);
    QTest::newRow("long lines") << longLine + "\r\n" + longLine
                                << longLine + "\r\n" + longLine + "\r\n";
}

void TestFileCommands::openAndSaveKeepsPageByteForByte()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("page.htm"));
    writeBytes(path, file);
    QVERIFY(f.commands.LoadNamedFile(path));
    f.commands.Save();
    QCOMPARE(readBytes(path).toHex(), saved.toHex());
}

void TestFileCommands::openCancelled()
{
    Fixture f;
    f.richText.setText(QStringLiteral("keep"));
    f.commands.Open();
    QCOMPARE(f.status.Text2(), QStringLiteral("打开取消"));
    QCOMPARE(f.richText.Text(), QStringLiteral("keep"));
}

void TestFileCommands::openUnreadableFileChangesNothing()
{
    Fixture f;
    f.richText.setText(QStringLiteral("keep"));
    f.session.CurrentFile = QStringLiteral("/old/path.htm");
    f.prompts.fileAnswers << f.folder.path(); // a folder cannot be read as a page
    f.commands.Open();
    QCOMPARE(f.richText.Text(), QStringLiteral("keep"));
    QCOMPARE(f.session.CurrentFile, QStringLiteral("/old/path.htm"));
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.contains(f.folder.path()));
    QCOMPARE(f.prompts.messages[0].style, 48);
}

void TestFileCommands::failedSaveKeepsOldFileAndSaysSo()
{
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("big.htm"));
    const QByteArray old = "old page\r\n";
    writeBytes(path, old);
    f.session.CurrentFile = path;
    f.status.setText2(QStringLiteral("before"));
    f.richText.setText(QString(20000, u'x'));

    // The file-size limit only lowers the soft limit, which is raised again.
    SafeFile::ignoreFileSizeSignal();
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit lowered = saved;
    lowered.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    f.commands.Save();
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);

    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("big.htm")});
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.contains(path));
    QCOMPARE(f.status.Text2(), QStringLiteral("before"));
    QCOMPARE(f.richText.textLength(), 20000);
}

void TestFileCommands::hints()
{
    Fixture f;
    f.commands.func_MouseMove(0);
    QCOMPARE(f.status.Text(),
             QStringLiteral("新建空白问挡,拖放你要编辑的网页进工作区    右键打开文件"));
    f.commands.func_MouseMove(1);
    QCOMPARE(f.status.Text(), QStringLiteral("保存文档 Ctrl + S    右键另存为 Ctrl +Shift + S"));
    f.commands.func_MouseMove(2);
    QCOMPARE(f.status.Text(), QStringLiteral("插入标准HTML文档"));
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
