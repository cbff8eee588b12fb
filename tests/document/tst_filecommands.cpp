#include "document/documentsession.h"
#include "document/filecommands.h"
#include "document/standarddocument.h"
#include "editor/richtextbox.h"
#include "platform/ansicodec.h"
#include "platform/filefilter.h"
#include "platform/safefile.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/resource.h>
#include <sys/stat.h>

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
    void dialogFilters_data();
    void dialogFilters();
    void saveCancelled();
    void savedFileHoldsTextAndOneCrLf();
    void saveMessageWhenWanted();
    void openAndSaveKeepsPageByteForByte_data();
    void openAndSaveKeepsPageByteForByte();
    void unencodableCharacters_data();
    void unencodableCharacters();
    void openCancelled();
    void openUnreadableFileChangesNothing_data();
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
    QCOMPARE(request.filter,
             QStringLiteral("html Files(*.htm)|*.htm|html Files(*.html)|*.html|所有文件 (*)|*"));
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

    // The dialogs start in the page's folder, else the one last used; never
    // in the folder the program was started from.
    QCOMPARE(f.prompts.fileRequests[0].initDir, QDir::homePath());
    QCOMPARE(f.prompts.fileRequests[1].initDir, f.folder.path());
}

void TestFileCommands::dialogFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("open")
        << QStringLiteral(
               "网页文件(*.htm;*.html)|*.htm;*.html|文本文件(*.TXT)|*.TXT|所有文件(*.*)|*.*|")
        << QStringList{"网页文件(*.htm *.html)", "文本文件(*.TXT)", "所有文件(*.*)"};
    QTest::newRow("save") << "html Files(*.htm)|*.htm|html Files(*.html)|*.html|所有文件 (*)|*"
                          << QStringList{"html Files(*.htm)", "html Files(*.html)", "所有文件(*)"};
    QTest::newRow("no patterns in the description")
        << "Pages|*.htm;*.html" << QStringList{"Pages (*.htm *.html)"};
}

void TestFileCommands::dialogFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    QCOMPARE(qtNameFilters(filter), shown);
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
    QTest::addColumn<QString>("encoding");
    // Where an "X" typed at the start goes, and its bytes.
    QTest::addColumn<int>("textStart");
    QTest::addColumn<QByteArray>("x");
    const auto row = [](const char *name, const QByteArray &file, const QByteArray &saved,
                        const char *encoding = "GBK", int textStart = 0,
                        const QByteArray &x = "X") {
        QTest::newRow(name) << file << saved << QString::fromLatin1(encoding) << textStart << x;
    };
    const auto same = [&row](const char *name, const QByteArray &file, const char *encoding = "GBK",
                             int textStart = 0, const QByteArray &x = "X") {
        row(name, file, file, encoding, textStart, x);
    };
    const QByteArray gbk = QByteArray::fromHex("d6d0cec4") + "<p>\r\n";
    same("gbk crlf", gbk + "x\r\n");
    same("ends in empty line", gbk + "\r\n");
    same("no final break", "abc");
    same("lf", "a\nb\n");
    same("lf without final break", "a\nb");
    same("cr", "a\rb\r");
    same("cr lf without final break", "a\r\nb");
    row("lone cr and lf mixed become crlf", "a\rb\nc\n", "a\r\nb\r\nc\r\n");
    row("invalid bytes kept", QByteArray::fromHex("81ff800a0d0a41fe30fe0d0a"),
        QByteArray::fromHex("81ff800d0a0d0a41fe30fe0d0a"));
    same("four-byte sequence", QByteArray::fromHex("9439fc360d0a"));
    same("lead byte at the end", QByteArray::fromHex("41d6"));

    same("utf-8", "\xe4\xb8\xad\xe6\x96\x87\r\n", "UTF-8");
    same("utf-8 declared, lf, invalid bytes", "<meta charset=utf-8>\xe4\xb8\xad\xff\xc3(\n",
         "UTF-8");
    same("utf-8 paragraph separator", "\xe4\xb8\xad\xe2\x80\xa9\xef\xb7\x90\n", "UTF-8");
    same("utf-8 with bom", "\xef\xbb\xbf<p>\xe4\xb8\xad", "UTF-8", 3);
    same("utf-8 with bom, invalid bytes", "\xef\xbb\xbf\xe4\xb8\n\xed\xa0\x80\n", "UTF-8", 3);
    same("utf-16le",
         QByteArray("\xff\xfe"
                    "a\0\n\0\x2d\x4e",
                    8),
         "UTF-16LE", 2, QByteArray("X\0", 2));
    same("utf-16be, odd final byte", QByteArray("\xfe\xff\0a\0\r\0\n\x4e\x2d!", 11), "UTF-16BE", 2,
         QByteArray("\0X", 2));
    const QByteArray declared = "<meta charset=";
    same("big5", declared + "big5>\xa4\xa4\xff\r\n", "Big5");
    same("shift_jis", declared + "shift_jis>\x93\xfa\x81\x20\n", "Shift_JIS");
    same("euc-kr", declared + "euc-kr>\xc7\xd1\xff", "EUC-KR");
    same("windows-1252", declared + "latin1>caf\xe9 \x80\x81\r", "windows-1252");
    // Held as pieces in the editing area, written back as one line.
    const QByteArray longLine = QByteArray::fromHex("d6d081ff9439fc3641").repeated(700);
    same("long lines", longLine + "\r\n" + longLine);
}

// Typing then changes only what was typed.
void TestFileCommands::openAndSaveKeepsPageByteForByte()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    QFETCH(QString, encoding);
    QFETCH(int, textStart);
    QFETCH(QByteArray, x);
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("page.htm"));
    writeBytes(path, file);
    QVERIFY(f.commands.LoadNamedFile(path));
    QCOMPARE(f.session.format().encoding, encoding);
    QVERIFY(f.commands.Save());
    QCOMPARE(readBytes(path).toHex(), saved.toHex());

    f.richText.setSelStart(0);
    f.richText.setSelText(QStringLiteral("X"));
    QVERIFY(f.commands.Save());
    QCOMPARE(readBytes(path).toHex(), QByteArray(saved).insert(textStart, x).toHex());
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestFileCommands::unencodableCharacters_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("status");

    const QByteArray old = "<meta charset=latin1>caf\xe9\r\n";
    const QString done = QStringLiteral("保存成功--");
    QTest::newRow("save as utf-8") << int(Prompts::AnswerYes)
                                   << QByteArray("<meta charset=latin1>caf\xc3\xa9\xe4\xb8\xad"
                                                 "\xf0\x9f\x98\x80\r\n")
                                   << "UTF-8" << done;
    QTest::newRow("character references")
        << int(Prompts::AnswerNo) << QByteArray("<meta charset=latin1>caf\xe9&#20013;&#128512;\r\n")
        << "windows-1252" << done;
    QTest::newRow("cancel writes nothing")
        << int(Prompts::AnswerCancel) << old << "windows-1252" << QStringLiteral("保存取消");
}

// Characters the page's encoding cannot hold are never lost: the user
// chooses UTF-8, character references or not to save.
void TestFileCommands::unencodableCharacters()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, saved);
    QFETCH(QString, encoding);
    QFETCH(QString, status);
    Fixture f;
    const QString path = f.folder.filePath(QStringLiteral("page.htm"));
    writeBytes(path, "<meta charset=latin1>caf\xe9\r\n");
    QVERIFY(f.commands.LoadNamedFile(path));
    f.richText.setSelStart(f.richText.textLength());
    f.richText.setSelText(QStringLiteral("中\U0001F600"));
    // Declined, the offer to change the declaration after a switch to UTF-8.
    f.prompts.messageAnswers = {answer, int(Prompts::AnswerNo)};
    QCOMPARE(f.commands.Save(), answer != Prompts::AnswerCancel);
    QCOMPARE(readBytes(path).toHex(), saved.toHex());
    QCOMPARE(f.session.format().encoding, encoding);
    QVERIFY(f.status.Text2().startsWith(status));
    QCOMPARE(f.prompts.messages[0].text,
             QStringLiteral("网页的编码 windows-1252 不能保存字符“中”(第 1 行第 26 列)，"
                            "这样的字符共有 2 个。\r\n\r\n"
                            "是：改用 UTF-8 编码保存网页\r\n"
                            "否：把这些字符写成 HTML 字符引用(如 &#20013;)，浏览器照样显示\r\n"
                            "取消：不保存"));
}

void TestFileCommands::openCancelled()
{
    Fixture f;
    f.richText.setText(QStringLiteral("keep"));
    f.commands.Open();
    QCOMPARE(f.status.Text2(), QStringLiteral("打开取消"));
    QCOMPARE(f.richText.Text(), QStringLiteral("keep"));
}

void TestFileCommands::openUnreadableFileChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("a folder") << "";
    QTest::newRow("a pipe, which would never end") << "pipe";
}

void TestFileCommands::openUnreadableFileChangesNothing()
{
    QFETCH(QString, name);
    Fixture f;
    const QString path = f.folder.filePath(name);
    if (!name.isEmpty())
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    f.richText.setText(QStringLiteral("keep"));
    f.session.CurrentFile = QStringLiteral("/old/path.htm");
    f.prompts.fileAnswers << path;
    f.commands.Open();
    QCOMPARE(f.richText.Text(), QStringLiteral("keep"));
    QCOMPARE(f.session.CurrentFile, QStringLiteral("/old/path.htm"));
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.contains(path));
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
