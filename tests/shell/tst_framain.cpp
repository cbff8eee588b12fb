#include "controls/stabar.h"
#include "document/documentsession.h"
#include "document/encodingmenus.h"
#include "editor/autolist.h"
#include "editor/frasearch.h"
#include "editor/keycommandswiring.h"
#include "editor/richtextbox.h"
#include "platform/openfiledialog.h"
#include "platform/pathbytes.h"
#include "platform/statusline.h"
#include "platform/twips.h"
#include "platform/wincolor.h"
#include "recovery/journalfile.h"
#include "recovery/windowrecovery.h"
#include "schemes/barmenu.h"
#include "settings/colorswatch.h"
#include "settings/setfav.h"
#include "shell/commandline.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const QString kProduct = QStringLiteral("ZelmoHTML编辑器");

// A program folder of its own, with a word list, and the main window
// started in it.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;

    Fixture() { folder.writeFile("tags.dat", "<b></b>\r\n<table></table>\r\n"); }

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
    void startPutsTheCaretAtTheGivenPlace_data();
    void startPutsTheCaretAtTheGivenPlace();
    void startGoesOnAfterAFailure_data();
    void startGoesOnAfterAFailure();
    void startWithSeveralNamesOpensTheFirst();
    void pageNamedInGbkKeepsItsName_data();
    void pageNamedInGbkKeepsItsName();
    void noSettingsFileGivesDesignRectangle();
    void restartRestoresRectangle();
    void restartRestoresMaximisedState();
    void minimisedExitOpensNormal();
    void storedRectangleStaysOnScreen_data();
    void storedRectangleStaysOnScreen();
    void saveKeys_data();
    void saveKeys();
    void saveAsKeyAlwaysAsks();
    void windowKeysFromAnywhereInTheWindow_data();
    void windowKeysFromAnywhereInTheWindow();
    void closeAsksAboutUnsavedChanges_data();
    void closeAsksAboutUnsavedChanges();
    void sessionEndJournalsAndAsksNothing_data();
    void sessionEndJournalsAndAsksNothing();
    void replacingAChangedPageAsks_data();
    void replacingAChangedPageAsks();
    void statusLineShowsUnsavedChangesAndWholeMessages();
    void controlsKeepTheirFont();
    void totalsCountWhatASaveWrites_data();
    void totalsCountWhatASaveWrites();
    void completionListStaysInsideTheWindow_data();
    void completionListStaysInsideTheWindow();
    void settingsSwatchesShowTheTextColour();
    void replaceRowFollowsTheTick();
    void windowsReadAsWindows();
    void popupMenusReadByAssistiveTechnology_data();
    void popupMenusReadByAssistiveTechnology();
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

void TestFRAmain::startPutsTheCaretAtTheGivenPlace_data()
{
    QTest::addColumn<QString>("place"); // the value after --goto
    QTest::addColumn<int>("line");      // as the status line counts; 0: no page opened
    QTest::addColumn<int>("column");
    QTest::newRow("line and column") << "150:4" << 150 << 4;
    QTest::newRow("line alone") << "150" << 150 << 1;
    QTest::newRow("a long line's later piece") << "2:700" << 2 << 700;
    QTest::newRow("a long line counts as one") << "3:2" << 3 << 2;
    QTest::newRow("past a line's end") << "150:99" << 150 << 12;
    QTest::newRow("past the last line") << "999:3" << 200 << 3;
    QTest::newRow("largest column") << "5:9223372036854775807" << 5 << 10;
    QTest::newRow("no place: part of the page's name") << "0:1" << 0 << 0;
}

void TestFRAmain::startPutsTheCaretAtTheGivenPlace()
{
    QFETCH(QString, place);
    QFETCH(int, line);
    QFETCH(int, column);
    Fixture f;
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << (i == 2 ? QString(1000, u'x') : QStringLiteral("line %1 中文").arg(i));
    f.folder.writeFile("long.htm", lines.join(QStringLiteral("\r\n")).toUtf8());
    FRAmain &window = f.start({"--goto", place, f.folder.filePath("long.htm")});
    RichTextBox *text = window.richText();
    if (line == 0) {
        QCOMPARE(f.prompts.messages.size(), 1);
        return;
    }
    QCOMPARE(text->GetLineCount(), 200);
    QCOMPARE(text->GetCurrentLine(), line);
    QCOMPARE(text->SelStart() - text->GetLineStart(line - 1) + 1, column);
    QCOMPARE(text->SelLength(), 0);
    QVERIFY(text->viewport()->rect().contains(text->cursorRect()));
    QVERIFY(!text->isModified());
}

void TestFRAmain::startGoesOnAfterAFailure_data()
{
    QTest::addColumn<QString>("argument"); // "folder", "missing" or none
    QTest::addColumn<bool>("withTags");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text2");
    // The path and the reason follow on the status line.
    QTest::newRow("folder") << "folder" << true << "文件夹不能加载"
                            << "加载失败：这是一个文件夹，不是文件 --";
    QTest::newRow("missing file") << "missing" << true << "文件夹不能加载"
                                  << "加载失败：文件不存在 --";
    QTest::newRow("name not UTF-8") << "not utf-8" << true << "文件夹不能加载"
                                    << "加载失败：文件不存在（文件名里有不是 UTF-8 的字节） --";
    QTest::newRow("no word list") << "" << false << ""
                                  << "tags.dat 读取失败，标签列表为空";
}

void TestFRAmain::startGoesOnAfterAFailure()
{
    QFETCH(QString, argument);
    QFETCH(bool, withTags);
    QFETCH(QString, message);
    QFETCH(QString, text2);
    Fixture f;
    if (!withTags)
        QFile::remove(f.folder.filePath("tags.dat"));
    f.folder.writeFile("zelmohtml.ini", "[Scheme]\r\nfaceing=1\r\n");
    const QString path = argument == "folder" ? f.folder.path()
                         : argument == "not utf-8"
                             ? f.folder.filePath(QString::fromUtf8("\xb0\xa1.htm"))
                             : f.folder.filePath("missing.htm");
    const QStringList arguments = argument.isEmpty() ? QStringList() : QStringList{path};
    FRAmain &window = f.start(arguments);
    QVERIFY(window.isVisible());
    QCOMPARE(f.prompts.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(f.prompts.messages[0].text, message);
        QCOMPARE(f.prompts.messages[0].style, 0);
    }
    QCOMPARE(window.status().Text2(), argument.isEmpty() ? text2 : text2 + path);
    // As if no file had been named: the skeleton, the caption, no file.
    QCOMPARE(window.windowTitle(), kProduct);
    QVERIFY(window.richText()->Text().startsWith(QStringLiteral("<html>")));
    QVERIFY(window.session().CurrentFile.isEmpty());
    QVERIFY(!window.richText()->isModified());
    // The steps after it ran: the stored scheme and the word list.
    QVERIFY(window.barMenu().menfdiy->isChecked());
    QCOMPARE(window.keyHandling().autoList()->ListCount(), withTags ? 2 : 0);
    window.richText()->setText(QString());
    QTest::keyClicks(window.richText(), QStringLiteral("<"));
    QVERIFY(window.keyHandling().autoList()->Visible());
}

void TestFRAmain::startWithSeveralNamesOpensTheFirst()
{
    Fixture f;
    f.folder.writeFile("a.htm", "first\r\n");
    f.folder.writeFile("b.htm", "second\r\n");
    const QString first = f.folder.filePath("a.htm");
    FRAmain &window = f.start({first, f.folder.filePath("b.htm")});
    QCOMPARE(window.richText()->Text(), QStringLiteral("first"));
    QCOMPARE(window.session().CurrentFile, first);
    QCOMPARE(window.status().Text2(),
             QStringLiteral("打开成功 --") + first +
                 QStringLiteral("（一个窗口只打开一个网页，其余的没有打开）"));
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestFRAmain::pageNamedInGbkKeepsItsName_data()
{
    // "command line", "open", "open listed", "drop", or "open listed" then
    // Save As through the real save dialog, its suggested name accepted.
    QTest::addColumn<QString>("way");
    QTest::newRow("command line") << "command line";
    QTest::newRow("open dialog, a name as Qt shows it") << "open";
    QTest::newRow("open dialog, a name as listed by ours") << "open listed";
    QTest::newRow("drop") << "drop";
    QTest::newRow("save as, the name suggested") << "open listed, save as";
}

void TestFRAmain::pageNamedInGbkKeepsItsName()
{
    QFETCH(QString, way);
    Fixture f;
    const QByteArray folder = QFile::encodeName(f.folder.path());
    const QByteArray name = "\xd6\xd0\xce\xc4.htm"; // "中文.htm" in GBK
    const QByteArray bytesPath = folder + '/' + name;
    const auto names = [&] {
        QList<QByteArray> found;
        DIR *listing = ::opendir(folder.constData());
        while (const dirent *entry = ::readdir(listing))
            found << entry->d_name;
        ::closedir(listing);
        std::sort(found.begin(), found.end());
        return found;
    };
    {
        const int fd = ::open(bytesPath.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "old\r\n", 5), 5);
        ::close(fd);
    }
    // What Qt makes of the name: the bytes that are no UTF-8 lost.
    const QString lossy = f.folder.filePath(QFile::decodeName(name));
    QVERIFY(lossy.contains(QChar::ReplacementCharacter));

    FRAmain *window = nullptr;
    if (way == "command line") {
        window = &f.start({PathBytes::fromBytes(bytesPath)});
    } else {
        window = &f.start();
        if (way.startsWith("open")) {
            f.prompts.fileAnswers << (way == "open" ? lossy : PathBytes::fromBytes(bytesPath));
            QTest::mousePress(window->buttons().func[0], Qt::RightButton);
            QTest::mouseRelease(window->buttons().func[0], Qt::RightButton);
        } else {
            QMimeData data;
            data.setUrls({QUrl::fromEncoded("file://" + bytesPath.toPercentEncoding("/"))});
            QCOMPARE(data.urls().constFirst().toLocalFile(), lossy);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(window->richText()->viewport(), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(window->richText()->viewport(), &drop);
        }
    }
    RichTextBox *box = window->richText();
    QCOMPARE(box->Text(), QStringLiteral("old"));
    const QString shown = f.folder.filePath(QStringLiteral("中文.htm"));
    QCOMPARE(window->windowTitle(), kProduct + "--" + shown);
    QCOMPARE(window->status().Text2(), QStringLiteral("打开成功 --") + shown);

    const QList<QByteArray> before = names();
    box->setSelStart(3);
    QTest::keyClicks(box, QStringLiteral("xy"));
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!box->isModified());
    QCOMPARE(window->status().Text2(), QStringLiteral("保存成功--") + shown);
    QByteArray written = "oldxy\r\n";
    if (way.endsWith("save as")) {
        QtPrompts real;
        f.prompts.saveDialog = &real;
        QString suggested, asked;
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            const auto close = qScopeGuard([dialog] {
                if (dialog && dialog->isVisible())
                    dialog->close();
            });
            QVERIFY(qobject_cast<OpenFileDialog *>(dialog));
            for (QLineEdit *edit : dialog->findChildren<QLineEdit *>()) {
                if (edit->accessibleName() == QStringLiteral("文件名称"))
                    suggested = edit->text();
            }
            QTimer::singleShot(0, [&asked] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                asked = box->text();
                box->button(QMessageBox::Yes)->click();
            });
            for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                if (button->text() == QStringLiteral("保存(&S)"))
                    button->click();
            }
        });
        QTest::keyClick(box, Qt::Key_Z);
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(suggested, QStringLiteral("中文.htm"));
        QCOMPARE(asked, QStringLiteral("中文.htm 已经存在。\n要替换它吗？"));
        QCOMPARE(window->status().Text2(), QStringLiteral("保存成功--") + shown);
        QCOMPARE(PathBytes::toBytes(window->session().CurrentFile), bytesPath);
        QCOMPARE(PathBytes::toBytes(window->session().CurrentFileTitle), name);
        written = "oldxyz\r\n";
    }
    QCOMPARE(names(), before); // the same name, no second file
    const int fd = ::open(bytesPath.constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    char content[16] = {};
    QCOMPARE(::read(fd, content, sizeof content), written.size());
    ::close(fd);
    ::unlink(bytesPath.constData()); // which Qt could not remove
    QCOMPARE(QByteArray(content), written);
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

void TestFRAmain::storedRectangleStaysOnScreen_data()
{
    QTest::addColumn<QByteArray>("arer");
    QTest::newRow("width 1e300") << QByteArray("Width=1e300");
    QTest::newRow("width inf") << QByteArray("Width=inf");
    QTest::newRow("height nan") << QByteArray("Height=nan");
    QTest::newRow("width 600000") << QByteArray("Width=600000\r\nHeight=600000");
    QTest::newRow("far left and up") << QByteArray("Left=-9000000\r\nTop=-9000000");
    QTest::newRow("far right and down") << QByteArray("Left=9000000\r\nTop=9000000");
    QTest::newRow("left -inf") << QByteArray("Left=-inf");
}

void TestFRAmain::storedRectangleStaysOnScreen()
{
    QFETCH(QByteArray, arer);
    Fixture f;
    f.folder.writeFile("zelmohtml.ini", "[Arer]\r\n" + arer + "\r\n");
    FRAmain &window = f.start();
    QVERIFY(window.isVisible());
    const QRect screen = window.screen()->availableGeometry();
    QVERIFY2(window.width() > 0 && window.width() <= screen.width(), qPrintable(arer));
    QVERIFY(window.height() > 0 && window.height() <= screen.height());
    const QRect seen = window.frameGeometry() & screen;
    QVERIFY2(seen.width() >= 100 && seen.height() >= 50,
             qPrintable(QStringLiteral("%1: %2,%3 %4x%5 on %6x%7")
                            .arg(QString::fromLatin1(arer).simplified())
                            .arg(window.x())
                            .arg(window.y())
                            .arg(window.width())
                            .arg(window.height())
                            .arg(screen.width())
                            .arg(screen.height())));
    QVERIFY(window.y() >= screen.top());
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

void TestFRAmain::windowKeysFromAnywhereInTheWindow_data()
{
    QTest::addColumn<QString>("target"); // a control of the window, or the find window's field
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("effect"); // "saved", "find" or "none"
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("Text1, Ctrl+S") << "Text1" << int(Qt::Key_S) << ctrl << "saved";
    QTest::newRow("Combo1, Ctrl+S") << "Combo1" << int(Qt::Key_S) << ctrl << "saved";
    QTest::newRow("a strip button, Ctrl+O") << "insert1" << int(Qt::Key_O) << ctrl << "saved";
    QTest::newRow("status bar, Ctrl+S") << "StaBar1" << int(Qt::Key_S) << ctrl << "saved";
    QTest::newRow("Text1, Ctrl+F") << "Text1" << int(Qt::Key_F) << ctrl << "find";
    QTest::newRow("find window, Ctrl+S") << "Txtfindstr" << int(Qt::Key_S) << ctrl << "none";
}

void TestFRAmain::windowKeysFromAnywhereInTheWindow()
{
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, effect);
    Fixture f;
    FRAmain &window = f.startOnNamedPage();
    window.richText()->setSelStart(3);
    QTest::keyClick(window.richText(), Qt::Key_X);
    QWidget *control =
        target == "Txtfindstr"
            ? FRAsearch::showFor(&window, window.richText())->findChild<QWidget *>(target)
            : window.findChild<QWidget *>(target);
    QVERIFY(control);
    control->setFocus();
    QTest::keyClick(control, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.folder.readFile("named.htm"),
             effect == "saved" ? QByteArray("oldx\r\n") : QByteArray("old\r\n"));
    QCOMPARE(FRAsearch::loaded() != nullptr, effect != "saved");
    FRAsearch::unload();
}

void TestFRAmain::closeAsksAboutUnsavedChanges_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("action"); // what was done to the page before closing
    QTest::addColumn<int>("answer");     // 0: no question
    QTest::addColumn<QString>("saveAs"); // the save dialog's answer, "" to cancel it
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("savedTo"); // the file holding the change, "" for none
    const int yes = Prompts::AnswerYes;
    QTest::newRow("unchanged") << true << "" << 0 << "" << true << "";
    QTest::newRow("new window unchanged") << false << "" << 0 << "" << true << "";
    QTest::newRow("saved since") << true << "edit save" << 0 << "" << true << "named.htm";
    QTest::newRow("undone") << true << "edit undo" << 0 << "" << true << "";
    QTest::newRow("No closes") << true << "edit" << int(Prompts::AnswerNo) << "" << true << "";
    QTest::newRow("Cancel stays") << true << "edit" << int(Prompts::AnswerCancel) << "" << false
                                  << "";
    QTest::newRow("Yes saves") << true << "edit" << yes << "" << true << "named.htm";
    QTest::newRow("Yes, name refused") << false << "edit" << yes << "" << false << "";
    QTest::newRow("Yes, named") << false << "edit" << yes << "new.htm" << true << "new.htm";
}

void TestFRAmain::closeAsksAboutUnsavedChanges()
{
    QFETCH(bool, named);
    QFETCH(QString, action);
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, closed);
    QFETCH(QString, savedTo);
    Fixture f;
    FRAmain &window = named ? f.startOnNamedPage() : f.start();
    RichTextBox *box = window.richText();
    if (action.startsWith("edit")) {
        box->setSelStart(box->textLength());
        QTest::keyClick(box, Qt::Key_X);
    }
    if (action.endsWith("save"))
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    if (action.endsWith("undo"))
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    if (answer)
        f.prompts.messageAnswers << answer;
    if (!saveAs.isEmpty())
        f.prompts.fileAnswers << f.folder.filePath(saveAs);

    QCOMPARE(window.close(), closed);
    QCOMPARE(window.isVisible(), !closed);
    QCOMPARE(f.prompts.messages.size(), answer ? 1 : 0);
    if (answer) {
        QCOMPARE(f.prompts.messages[0].text, QStringLiteral("文档已经修改,关闭之前要保存吗?"));
        QCOMPARE(f.prompts.messages[0].style, 51);
    }
    if (!savedTo.isEmpty())
        QVERIFY(f.folder.readFile(savedTo).endsWith("x\r\n"));
    else if (named)
        QCOMPARE(f.folder.readFile("named.htm"), QByteArray("old\r\n"));
    // Shutdown's steps run only when the window closes.
    QCOMPARE(f.folder.readFile("zelmohtml.ini").contains("[Arer]"), closed);
}

void TestFRAmain::sessionEndJournalsAndAsksNothing_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("typedAfter"); // the logout was cancelled
    QTest::newRow("named page, edited") << true << true << false;
    QTest::newRow("unnamed page, edited") << false << true << false;
    QTest::newRow("named page, not edited") << true << false << false;
    QTest::newRow("typing after a cancelled logout asks again") << true << true << true;
}

// The session manager's commitDataRequest, then the window closed as the
// session ends it: the journal holds the unsaved text, nothing is asked,
// nothing is saved, and the journal stays for the next start.
void TestFRAmain::sessionEndJournalsAndAsksNothing()
{
    QFETCH(bool, named);
    QFETCH(bool, edited);
    QFETCH(bool, typedAfter);
    const QTemporaryDir state;
    const QByteArray stateBefore = qgetenv("XDG_STATE_HOME");
    const auto restoreState = qScopeGuard([&] {
        if (stateBefore.isEmpty())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", stateBefore);
    });
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    Fixture f;
    FRAmain &window = named ? f.startOnNamedPage() : f.start();
    RichTextBox *box = window.richText();
    if (edited) {
        box->setSelStart(box->textLength());
        QTest::keyClick(box, Qt::Key_X);
    }
    const QString journal = window.recovery().lock().journalPath();

    window.commitSessionData();
    QCOMPARE(QFile::exists(journal), edited);
    if (typedAfter) {
        QTest::keyClick(box, Qt::Key_Y);
        f.prompts.messageAnswers << Prompts::AnswerCancel;
        QVERIFY(!window.close());
        QCOMPARE(f.prompts.messages.size(), 1);
        return;
    }
    QVERIFY(window.close());
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.prompts.fileRequests.isEmpty());
    QVERIFY(f.prompts.choiceRequests.isEmpty());
    if (named)
        QCOMPARE(f.folder.readFile("named.htm"), QByteArray("old\r\n"));
    if (edited) {
        const std::optional<JournalFile::Entry> entry = JournalFile::read(journal);
        QVERIFY(entry);
        QCOMPARE(entry->text, box->Text());
        QVERIFY(entry->text.endsWith(u'x'));
        QCOMPARE(entry->pagePath, named ? f.folder.filePath("named.htm") : QString());
    }
    f.window.reset();
    QCOMPARE(QFile::exists(journal), edited);
}

void TestFRAmain::replacingAChangedPageAsks_data()
{
    QTest::addColumn<QString>("way");    // "open", "drop", "new" or "reopen"
    QTest::addColumn<bool>("edited");    // typed into the page first
    QTest::addColumn<int>("answer");     // 0: no question
    QTest::addColumn<bool>("saveFails"); // named.htm cannot be written
    QTest::addColumn<bool>("replaced");  // the page gave way
    QTest::addColumn<bool>("saved");     // named.htm holds the typing
    const int yes = Prompts::AnswerYes, no = Prompts::AnswerNo, cancel = Prompts::AnswerCancel;
    for (const char *way : {"open", "drop", "new", "reopen"}) {
        const QByteArray w(way);
        const QString name = QString::fromLatin1(way);
        QTest::newRow(w + ", unchanged") << name << false << 0 << false << true << false;
        QTest::newRow(w + ", Yes saves") << name << true << yes << false << true << true;
        QTest::newRow(w + ", No lets go") << name << true << no << false << true << false;
        QTest::newRow(w + ", Cancel keeps") << name << true << cancel << false << false << false;
        QTest::newRow(w + ", failed save keeps") << name << true << yes << true << false << false;
    }
}

void TestFRAmain::replacingAChangedPageAsks()
{
    QFETCH(QString, way);
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(bool, saveFails);
    QFETCH(bool, replaced);
    QFETCH(bool, saved);
    Fixture f;
    f.folder.writeFile("other.htm", "other\r\n");
    FRAmain &window = f.startOnNamedPage();
    RichTextBox *box = window.richText();
    box->setSelStart(3);
    if (edited)
        QTest::keyClicks(box, QStringLiteral("xy"));
    const QString before = box->Text();
    // A folder where the page was cannot be replaced by a save, whoever runs the test.
    if (saveFails) {
        QVERIFY(QFile::remove(f.folder.filePath("named.htm")));
        QVERIFY(QDir(f.folder.path()).mkdir("named.htm"));
    }
    if (answer)
        f.prompts.messageAnswers << answer;
    f.prompts.fileAnswers << f.folder.filePath("other.htm");

    if (way == "open") {
        QTest::mousePress(window.buttons().func[0], Qt::RightButton);
        QTest::mouseRelease(window.buttons().func[0], Qt::RightButton);
    } else if (way == "drop") {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(f.folder.filePath("other.htm"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box->viewport(), &drop);
    } else if (way == "new") {
        QTest::mouseClick(window.buttons().func[0], Qt::LeftButton);
    } else {
        window.encodingMenus().reopenMenu()->findChild<QAction *>("Big5")->trigger();
    }

    const QString question = QStringLiteral("文档已经修改,换成别的网页之前要保存吗?");
    const bool asked = !f.prompts.messages.isEmpty() && f.prompts.messages[0].text == question;
    QCOMPARE(asked, answer != 0);
    if (asked)
        QCOMPARE(f.prompts.messages[0].style, 51);
    if (saveFails)
        QVERIFY(QFileInfo(f.folder.filePath("named.htm")).isDir());
    else
        QCOMPARE(f.folder.readFile("named.htm"), saved ? QByteArray("oldxy\r\n") : "old\r\n");
    if (!replaced) {
        QCOMPARE(box->Text(), before);
        QCOMPARE(box->SelStart(), 5);
        QVERIFY(box->isModified());
        QVERIFY(box->document()->isUndoAvailable());
        return;
    }
    const QString reopened = saved ? QStringLiteral("oldxy") : QStringLiteral("old");
    const QString expected = way == "new"      ? QString()
                             : way == "reopen" ? reopened
                                               : QStringLiteral("other");
    QCOMPARE(box->Text(), expected);
}

void TestFRAmain::statusLineShowsUnsavedChangesAndWholeMessages()
{
    Fixture f;
    FRAmain &window = f.startOnNamedPage();
    window.resize(1000, 400);
    RichTextBox *box = window.richText();
    QLabel *modified = window.StaBar1()->modifiedLabel();
    const auto shown = [&] { return modified->isVisible(); };
    QVERIFY(!shown());
    QTest::keyClick(box, Qt::Key_X);
    QVERIFY(shown());
    QCOMPARE(modified->text(), QStringLiteral("已修改"));
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); // back to the saved text
    QVERIFY(!shown());
    QTest::keyClick(box, Qt::Key_X);
    QVERIFY(shown());
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!shown());

    // The message takes the room the window has: the whole path shows.
    QLabel *message = window.StaBar1()->rightLabel();
    QVERIFY(message->text().endsWith(QStringLiteral("named.htm")));
    QVERIFY(message->sizeHint().width() > Twips::toPixels(2400));
    QVERIFY(message->isVisible());
    QVERIFY(message->width() >= message->sizeHint().width());
    QVERIFY(message->geometry().right() < window.width());
    QVERIFY(window.StaBar1()->thirdLabel()->isVisible());
    QVERIFY(window.StaBar1()->thirdLabel()->geometry().right() < message->x());

    // The encoding label looks clickable and names encodings in one style.
    QCOMPARE(window.StaBar1()->thirdLabel()->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!window.StaBar1()->thirdLabel()->toolTip().isEmpty());
    window.encodingMenus().reopenMenu()->findChild<QAction *>("gb18030")->trigger();
    QCOMPARE(window.StaBar1()->Text3(), QStringLiteral("GB18030 CRLF"));
}

void TestFRAmain::controlsKeepTheirFont()
{
    Fixture f;
    f.folder.writeFile("zelmohtml.ini", "[WorkTable]\r\nfontsize=24\r\n");
    FRAmain &window = f.start();
    QCOMPARE(window.richText()->font().pointSizeF(), 24.0);
    const qreal standard = QApplication::font().pointSizeF();
    for (const char *name : {"Text1", "insert1", "func(0)", "Combo2", "StaBar1"}) {
        auto *control = window.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(control, name);
        QVERIFY2(control->font().pointSizeF() == standard, name);
    }
    // The list still opens one line of the page's 24 point text below the caret.
    window.richText()->setText(QString());
    QTest::keyClicks(window.richText(), QStringLiteral("<"));
    const RichTextBox *box = window.richText();
    const QPoint caret =
        box->mapTo(&window, box->viewport()->mapTo(box, box->cursorRect().topLeft()));
    QCOMPARE(window.keyHandling().autoList()->Top(),
             Twips::fromPixelsRounded(caret.y()) +
                 Twips::fromPixelsRounded(QFontMetrics(box->font()).height()) + 76);
}

void TestFRAmain::totalsCountWhatASaveWrites_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("format");
    QTest::newRow("crlf, final break") << QByteArray("old\r\n") << 1 << 5 << "GBK CRLF";
    QTest::newRow("lf") << QByteArray("a\nb\n") << 2 << 4 << "GBK LF";
    QTest::newRow("no final break") << QByteArray("a\r\nb") << 2 << 4 << "GBK CRLF";
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\n") << 4 << 10 << "GBK 混合换行";
    QTest::newRow("mixed in the final break only")
        << QByteArray("a\r\nb\r\nc\n") << 3 << 8 << "GBK 混合换行";
    QTest::newRow("utf-8, byte-order mark")
        << QByteArray("\xef\xbb\xbf\xe4\xb8\xad\n") << 1 << 7 << "UTF-8 BOM LF";
}

// The byte total is what a save writes, each line break of its own kind;
// the encoding label tells a page of mixed line breaks.
void TestFRAmain::totalsCountWhatASaveWrites()
{
    QFETCH(QByteArray, file);
    QFETCH(int, lines);
    QFETCH(int, bytes);
    QFETCH(QString, format);
    Fixture f;
    f.folder.writeFile("page.htm", file);
    FRAmain &window = f.start({f.folder.filePath("page.htm")});
    RichTextBox *box = window.richText();
    QCOMPARE(window.StaBar1()->Text3(), format);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY2(window.StaBar1()->Text().startsWith(
                 QStringLiteral("总共:    %1行数    %2字节").arg(lines).arg(bytes)),
             qPrintable(window.StaBar1()->Text()));

    // An entry taken from the completion list counts at once.
    box->setSelStart(box->textLength());
    QTest::keyClicks(box, QStringLiteral("<b"));
    QVERIFY(window.keyHandling().autoList()->isVisible());
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!window.keyHandling().autoList()->isVisible());
    QVERIFY2(window.StaBar1()->Text().startsWith(
                 QStringLiteral("总共:    %1行数    %2字节").arg(lines).arg(bytes + 7)),
             qPrintable(window.StaBar1()->Text()));
}

void TestFRAmain::completionListStaysInsideTheWindow_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("movedLeft");
    QTest::addColumn<bool>("above");
    QTest::newRow("room below and right") << 3 << 10 << false << false;
    QTest::newRow("near the bottom") << 60 << 10 << false << true;
    QTest::newRow("near the right edge") << 3 << 300 << true << false;
    QTest::newRow("near the bottom right") << 60 << 300 << true << true;
}

void TestFRAmain::completionListStaysInsideTheWindow()
{
    QFETCH(int, lines);
    QFETCH(int, columns);
    QFETCH(bool, movedLeft);
    QFETCH(bool, above);
    Fixture f;
    FRAmain &window = f.start();
    RichTextBox *box = window.richText();
    box->setText(QStringList(lines, QString(columns, u'x')).join("\r\n"));
    box->setSelStart(box->textLength());
    QTest::keyClicks(box, QStringLiteral("<"));
    AutoList *list = window.keyHandling().autoList();
    QVERIFY(list->isVisible());
    QVERIFY(window.rect().contains(list->geometry()));

    const QRect caret(box->mapTo(&window, box->viewport()->mapTo(box, box->cursorRect().topLeft())),
                      box->cursorRect().size());
    QCOMPARE(list->geometry().right() == window.rect().right(), movedLeft);
    if (!movedLeft)
        QCOMPARE(list->Left(), Twips::fromPixelsRounded(caret.left()));
    // Below the caret's line, or above it: never over it.
    if (above)
        QVERIFY(list->geometry().bottom() < caret.top());
    else
        QVERIFY(list->geometry().top() > caret.bottom());
}

void TestFRAmain::settingsSwatchesShowTheTextColour()
{
    Fixture f;
    FRAmain &window = f.start();
    QPalette palette = window.richText()->palette();
    palette.setColor(QPalette::Text, QColor(200, 30, 40));
    window.richText()->setPalette(palette);
    quint32 syntax = 1;
    quint32 standard = 1;
    // Read once the dialog runs, then closed.
    QTimer poll;
    connect(&poll, &QTimer::timeout, &window, [&] {
        if (auto *dialog = qobject_cast<SetFav *>(QApplication::activeModalWidget())) {
            poll.stop();
            syntax = dialog->Labyufa()->color();
            standard = dialog->Labqitacolor()->color();
            dialog->EXIT_Click();
        }
    });
    poll.start(10);
    window.showSettings();
    QCOMPARE(syntax, WinColor::fromColor(QColor(200, 30, 40)));
    QCOMPARE(standard, syntax);
}

void TestFRAmain::replaceRowFollowsTheTick()
{
    Fixture f;
    FRAmain &window = f.start();
    QTest::keyClick(window.richText(), Qt::Key_F, Qt::ControlModifier);
    FRAsearch *search = FRAsearch::loaded();
    QVERIFY(search);
    auto *check1 = search->findChild<QCheckBox *>("Check1");
    // Ticked and unticked by assistive technology, not by a click.
    for (bool ticked : {true, false}) {
        QAccessible::queryAccessibleInterface(check1)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
        QCOMPARE(check1->isChecked(), ticked);
        QCOMPARE(search->findChild<QGroupBox *>("Frame1")->isVisible(), ticked);
        QCOMPARE(search->isCompact(), !ticked);
    }
}

void TestFRAmain::windowsReadAsWindows()
{
    Fixture f;
    FRAmain &window = f.start();
    window.showFindWindow();
    window.showKeyCodeTester();
    const std::pair<QWidget *, QAccessible::Role> windows[] = {
        {&window, QAccessible::Window},
        {FRAsearch::loaded(), QAccessible::Dialog},
        {window.findChild<QWidget *>("Form3"), QAccessible::Dialog},
    };
    for (const auto &[widget, role] : windows) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(face->role(), role);
        QCOMPARE(face->text(QAccessible::Name), widget->windowTitle());
    }
}

void TestFRAmain::popupMenusReadByAssistiveTechnology_data()
{
    QTest::addColumn<QString>("menu");
    // Items as they must read: the name, "-" before it when disabled.
    QTest::addColumn<QStringList>("reads");
    QTest::newRow("edit menu") << "txtpop"
                               << QStringList{"-剪  贴        <T>", "-粘  贴        <P>",
                                              "全  选        <A>"};
    QTest::newRow("bar menu") << "poop" << QStringList{"  功 能 栏", "-锁定<快捷编辑拦>"};
    QTest::newRow("encoding menu") << "encoding" << QStringList{};
    QTest::newRow("text field") << "Txtfindstr" << QStringList{};
}

void TestFRAmain::popupMenusReadByAssistiveTechnology()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, reads);
    Fixture f;
    FRAmain &window = f.start();
    QApplication::clipboard()->clear();
    // Each menu opens as the user opens it.
    if (menu == "txtpop") {
        QTest::mouseClick(window.richText()->viewport(), Qt::RightButton);
    } else if (menu == "poop") {
        QTest::mouseClick(window.StaBar1()->thirdLabel(), Qt::RightButton);
    } else if (menu == "encoding") {
        QTest::mouseClick(window.StaBar1()->thirdLabel(), Qt::LeftButton);
    } else {
        window.showFindWindow();
        auto *field = FRAsearch::loaded()->findChild<QLineEdit *>(menu);
        field->setText(QStringLiteral("<table>"));
        field->selectAll();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                field->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(field, &event);
    }
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (menu == "txtpop" || menu == "poop")
        QCOMPARE(popup->objectName(), menu);

    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(popup);
    QCOMPARE(face->role(), QAccessible::PopupMenu);
    const QList<QAction *> actions = popup->actions();
    QCOMPARE(face->childCount(), actions.size());
    QVERIFY(!actions.isEmpty());
    QStringList read;
    for (int i = 0; i < actions.size(); ++i) {
        QAccessibleInterface *child = face->child(i);
        const QAction *action = actions[i];
        if (action->isSeparator()) {
            QCOMPARE(child->role(), QAccessible::Separator);
            read << QString();
            continue;
        }
        QCOMPARE(child->role(), QAccessible::MenuItem);
        const QString name = child->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(action->text()));
        QCOMPARE(name, QString(action->text()).remove(u'&'));
        QCOMPARE(child->state().disabled, !action->isEnabled());
        QCOMPARE(child->state().checked, action->isChecked());
        read << (action->isEnabled() ? QString() : QStringLiteral("-")) + name;
    }
    for (const QString &expected : reads)
        QVERIFY2(read.contains(expected), qPrintable(read.join(u'|')));
    popup->close();
}

QTEST_MAIN(TestFRAmain)
#include "tst_framain.moc"
