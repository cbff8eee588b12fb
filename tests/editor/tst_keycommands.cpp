#include "editor/autolist.h"
#include "editor/keycommands.h"
#include "editor/keycommandswiring.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "support/testfiles.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The main window's editing area with the key commands wired to hooks that
// log every call. With inserting set, the tag buttons put in a fragment as
// the tag toolbar does ("<Br>" for 0, "<P>" for 1, "[n]" otherwise).
struct Editor {
    explicit Editor(bool inserting = false)
    {
        window.resize(640, 400);
        box = new RichTextBox(&window);
        box->setGeometry(0, 0, 640, 360);
        keys = new EditorKeyHandling(window, *box);
        KeyCommandHooks hooks;
        hooks.selbutton = [this, inserting](int index) {
            log << QStringLiteral("sel %1").arg(index);
            if (inserting)
                box->setSelText(QStringLiteral("[s%1]").arg(index));
        };
        hooks.noselbutton = [this, inserting](int index) {
            log << QStringLiteral("nosel %1").arg(index);
            if (inserting) {
                box->setSelText(index == 0   ? QStringLiteral("<Br>")
                                : index == 1 ? QStringLiteral("<P>")
                                             : QStringLiteral("[n%1]").arg(index));
            }
        };
        hooks.refreshTotals = [this] {
            log << QStringLiteral("totals");
            linesAtTotals = box->document()->blockCount();
            textAtTotals = box->Text();
        };
        hooks.popupEditMenu = [this] { log << QStringLiteral("menu"); };
        hooks.clipboardText = [this] {
            log << QStringLiteral("clipboard");
            return clipboard;
        };
        keys->setHooks(hooks);

        writeBytes(dir.filePath("tags.dat"), "<a></a>\r\n<table></table>\r\n<td>\r\n");
        if (!keys->completion().LoadTagList(dir.filePath("tags.dat")))
            qFatal("no word list");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("window not shown");
    }

    bool shown() const { return keys->autoList()->Visible(); }

    // Text "abc" with the given selection, and the list opened by "<t" typed
    // at the selection when wanted.
    void start(int selStart, int selLength, bool withList)
    {
        box->setText(QStringLiteral("abc"));
        box->setSelStart(selStart);
        if (withList)
            QTest::keyClicks(box, QStringLiteral("<t"));
        box->setSelLength(selLength);
        log.clear();
    }

    QTemporaryDir dir;
    QWidget window;
    RichTextBox *box;
    EditorKeyHandling *keys;
    QStringList log;
    QString clipboard;
    int linesAtTotals = -1;
    QString textAtTotals;
};

} // namespace

class TestKeyCommands : public QObject {
    Q_OBJECT
private slots:
    void table_data();
    void table();
    void enterFragmentsWithoutLineBreak_data();
    void enterFragmentsWithoutLineBreak();
    void enterRefreshesTotalsBeforeTheLineBreak();
    void enterWithListRefreshesAfterAccepting();
    void tabReplacesSelection();
    void pasteTakesPlainTextOnly_data();
    void pasteTakesPlainTextOnly();
    void systemClipboardPastesPlainText_data();
    void systemClipboardPastesPlainText();
    void altMInsertsImageTagWithoutAsking();
    void altCommandsTypeNoLetter_data();
    void altCommandsTypeNoLetter();
    void unmatchedCombinationsDoNothingSpecial_data();
    void unmatchedCombinationsDoNothingSpecial();
    void tableKeysWinOverShortcuts_data();
    void tableKeysWinOverShortcuts();
};

void TestKeyCommands::table_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<bool>("withList");
    QTest::addColumn<int>("keyCodeAfter");
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("shownAfter");
    // Rows of the table, in its order.
    QTest::newRow("tab") << 9 << 0 << false << 0 << "" << false;
    QTest::newRow("tab, list shown") << 9 << 0 << true << 0 << "" << true;
    QTest::newRow("enter, list shown") << 13 << 0 << true << 0 << "totals" << false;
    QTest::newRow("enter, list hidden") << 13 << 0 << false << 13 << "totals" << false;
    QTest::newRow("esc, list shown") << 27 << 0 << true << 27 << "" << false;
    QTest::newRow("esc, list hidden") << 27 << 0 << false << 27 << "" << false;
    QTest::newRow("up, list shown") << 38 << 0 << true << 0 << "" << true;
    QTest::newRow("up, list hidden") << 38 << 0 << false << 38 << "" << false;
    QTest::newRow("down, list shown") << 40 << 0 << true << 0 << "" << true;
    QTest::newRow("down, list hidden") << 40 << 0 << false << 40 << "" << false;
    QTest::newRow("context menu key") << 93 << 0 << false << 93 << "menu" << false;
    QTest::newRow("context menu key, list shown") << 93 << 0 << true << 93 << "menu" << true;
    QTest::newRow("f5") << 116 << 0 << false << 116 << "nosel 8" << false;
    QTest::newRow("shift enter") << 13 << 1 << false << 0 << "nosel 0" << false;
    QTest::newRow("shift enter, list shown") << 13 << 1 << true << 0 << "nosel 0" << true;
    QTest::newRow("ctrl enter") << 13 << 2 << false << 0 << "nosel 1" << false;
    QTest::newRow("ctrl v") << 86 << 2 << false << 0 << "clipboard" << false;
    QTest::newRow("alt space") << 32 << 4 << false << 0 << "nosel 6" << false;
    QTest::newRow("ctrl shift space") << 32 << 3 << false << 0 << "nosel 6" << false;
    QTest::newRow("alt f") << 70 << 4 << false << 0 << "sel 1" << false;
    QTest::newRow("alt h") << 72 << 4 << false << 0 << "nosel 2" << false;
    QTest::newRow("alt k") << 75 << 4 << false << 0 << "sel 0" << false;
    QTest::newRow("alt m") << 77 << 4 << false << 0 << "" << false;
    QTest::newRow("alt t") << 84 << 4 << false << 0 << "nosel 4" << false;
    QTest::newRow("alt u") << 85 << 4 << false << 0 << "sel 9" << false;
    QTest::newRow("alt z") << 90 << 4 << false << 0 << "nosel 7" << false;
    // Exact shift states only.
    QTest::newRow("ctrl shift enter") << 13 << 3 << true << 13 << "" << true;
    QTest::newRow("alt enter") << 13 << 4 << false << 13 << "" << false;
    QTest::newRow("ctrl alt m") << 77 << 6 << false << 77 << "" << false;
    QTest::newRow("shift tab") << 9 << 1 << false << 9 << "" << false;
    QTest::newRow("shift esc, list shown") << 27 << 1 << true << 27 << "" << true;
    QTest::newRow("ctrl down, list shown") << 40 << 2 << true << 40 << "" << true;
    QTest::newRow("shift f5") << 116 << 1 << false << 116 << "" << false;
    QTest::newRow("shift v") << 86 << 1 << false << 86 << "" << false;
    QTest::newRow("f without alt") << 70 << 0 << false << 70 << "" << false;
    QTest::newRow("ctrl alt z") << 90 << 6 << false << 90 << "" << false;
    // Left and Right close the list with any modifiers.
    QTest::newRow("left, list shown") << 37 << 0 << true << 37 << "" << false;
    QTest::newRow("alt left, list shown") << 37 << 4 << true << 37 << "" << false;
    QTest::newRow("ctrl shift right, list shown") << 39 << 3 << true << 39 << "" << false;
    QTest::newRow("right, list hidden") << 39 << 0 << false << 39 << "" << false;
}

void TestKeyCommands::table()
{
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    QFETCH(bool, withList);
    QFETCH(int, keyCodeAfter);
    QFETCH(QString, log);
    QFETCH(bool, shownAfter);
    Editor editor;
    editor.start(1, 0, withList);
    QCOMPARE(editor.shown(), withList);
    int code = keyCode;
    editor.keys->commands().RichText_KeyDown(code, shift);
    QCOMPARE(code, keyCodeAfter);
    QCOMPARE(editor.log.join(", "), log);
    QCOMPARE(editor.shown(), shownAfter);
}

void TestKeyCommands::enterFragmentsWithoutLineBreak_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("after");
    QTest::newRow("shift enter") << int(Qt::ShiftModifier) << "a<Br>c";
    QTest::newRow("ctrl enter") << int(Qt::ControlModifier) << "a<P>c";
}

void TestKeyCommands::enterFragmentsWithoutLineBreak()
{
    QFETCH(int, modifiers);
    QFETCH(QString, after);
    Editor editor(true);
    editor.start(1, 1, false);
    QTest::keyClick(editor.box, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(editor.box->Text(), after);
    QCOMPARE(editor.box->SelStart(), after.size() - 1);
    QVERIFY(!editor.log.contains("totals"));
}

void TestKeyCommands::enterRefreshesTotalsBeforeTheLineBreak()
{
    Editor editor;
    editor.start(3, 0, false);
    QTest::keyClick(editor.box, Qt::Key_Return);
    QCOMPARE(editor.log, QStringList{"totals"});
    QCOMPARE(editor.linesAtTotals, 1);
    QCOMPARE(editor.box->Text(), "abc\r\n");
}

void TestKeyCommands::enterWithListRefreshesAfterAccepting()
{
    Editor editor;
    editor.start(3, 0, true);
    QTest::keyClick(editor.box, Qt::Key_Return);
    QCOMPARE(editor.log, QStringList{"totals"});
    QCOMPARE(editor.textAtTotals, "abc<table></table>");
    QCOMPARE(editor.box->Text(), "abc<table></table>");
    QVERIFY(!editor.shown());
}

void TestKeyCommands::tabReplacesSelection()
{
    Editor editor;
    editor.window.activateWindow();
    editor.box->setFocus();
    QTRY_VERIFY(editor.box->hasFocus());
    editor.start(1, 1, false);
    QTest::keyClick(editor.box, Qt::Key_Tab);
    QCOMPARE(editor.box->Text(), "a\tc");
    QCOMPARE(editor.box->SelStart(), 2);
    QVERIFY(editor.box->hasFocus());
}

void TestKeyCommands::pasteTakesPlainTextOnly_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("text") << QString("xy") << "axyc" << 3;
    QTest::newRow("lines") << QString("x\ny") << "ax\r\nyc" << 5;
    QTest::newRow("nothing") << QString("") << "ac" << 1;
}

void TestKeyCommands::pasteTakesPlainTextOnly()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    Editor editor;
    editor.clipboard = clipboard;
    editor.start(1, 1, false);
    QTest::keyClick(editor.box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor.log, QStringList{"clipboard"});
    QCOMPARE(editor.box->Text(), after);
    QCOMPARE(editor.box->SelStart(), caretAfter);
}

void TestKeyCommands::systemClipboardPastesPlainText_data()
{
    QTest::addColumn<bool>("withText");
    QTest::addColumn<QString>("after");
    QTest::newRow("formatted text") << true << "abolda";
    QTest::newRow("picture only") << false << "aa";
}

void TestKeyCommands::systemClipboardPastesPlainText()
{
    QFETCH(bool, withText);
    QFETCH(QString, after);
    Editor editor;
    KeyCommandHooks hooks = editor.keys->commands().hooks();
    hooks.clipboardText = nullptr;
    editor.keys->setHooks(hooks);
    auto *mime = new QMimeData;
    if (withText) {
        mime->setHtml("<b>bold</b>");
        mime->setText("bold");
    } else {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        mime->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(mime);
    editor.box->setText("abca");
    editor.box->setSelStart(1);
    editor.box->setSelLength(2);
    QTest::keyClick(editor.box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor.box->Text(), after);
}

void TestKeyCommands::altMInsertsImageTagWithoutAsking()
{
    Editor editor;
    editor.start(0, 3, false);
    QTest::keyClick(editor.box, Qt::Key_M, Qt::AltModifier);
    const QString tag =
        QStringLiteral("<img src=\"http://\" style=\"\" alt=\"一个图象\" border=\"0\">");
    QCOMPARE(editor.box->Text(), tag);
    QCOMPARE(editor.box->SelStart(), tag.size());
    QVERIFY(editor.log.isEmpty());
    QVERIFY(!editor.shown());
}

void TestKeyCommands::altCommandsTypeNoLetter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("call");
    QTest::newRow("alt f") << int(Qt::Key_F) << "sel 1";
    QTest::newRow("alt h") << int(Qt::Key_H) << "nosel 2";
    QTest::newRow("alt k") << int(Qt::Key_K) << "sel 0";
    QTest::newRow("alt t") << int(Qt::Key_T) << "nosel 4";
    QTest::newRow("alt u") << int(Qt::Key_U) << "sel 9";
    QTest::newRow("alt z") << int(Qt::Key_Z) << "nosel 7";
    QTest::newRow("alt space") << int(Qt::Key_Space) << "nosel 6";
    QTest::newRow("f5") << int(Qt::Key_F5) << "nosel 8";
}

void TestKeyCommands::altCommandsTypeNoLetter()
{
    QFETCH(int, key);
    QFETCH(QString, call);
    Editor editor(true);
    editor.start(3, 0, false);
    const Qt::KeyboardModifiers modifiers =
        key == Qt::Key_F5 ? Qt::NoModifier : Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::keyClick(editor.box, Qt::Key(key), modifiers);
    QCOMPARE(editor.log, QStringList{call});
    const QString fragment = QStringLiteral("[%1%2]").arg(call.front()).arg(call.back());
    QCOMPARE(editor.box->Text(), "abc" + fragment);
}

void TestKeyCommands::unmatchedCombinationsDoNothingSpecial_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("ctrl shift enter")
        << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("ctrl alt m") << int(Qt::Key_M) << int(Qt::ControlModifier | Qt::AltModifier);
}

void TestKeyCommands::unmatchedCombinationsDoNothingSpecial()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Editor editor(true);
    editor.start(3, 0, false);
    RichTextBox plain;
    plain.setText("abc");
    plain.setSelStart(3);
    QTest::keyClick(editor.box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(&plain, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(editor.log.isEmpty());
    // What an editing area without the commands does with the key.
    QCOMPARE(editor.box->Text(), plain.Text());
}

void TestKeyCommands::tableKeysWinOverShortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("call");
    QTest::newRow("alt f") << int(Qt::Key_F) << int(Qt::AltModifier) << "sel 1";
    QTest::newRow("ctrl v") << int(Qt::Key_V) << int(Qt::ControlModifier) << "clipboard";
    QTest::newRow("f5") << int(Qt::Key_F5) << int(Qt::NoModifier) << "nosel 8";
    QTest::newRow("alt b is no command") << int(Qt::Key_B) << int(Qt::AltModifier) << "shortcut";
}

void TestKeyCommands::tableKeysWinOverShortcuts()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, call);
    Editor editor;
    editor.start(3, 0, false);
    auto *shortcut = new QShortcut(QKeySequence(modifiers | key), &editor.window);
    connect(shortcut, &QShortcut::activated, this, [&] { editor.log << "shortcut"; });
    QTest::keyClick(editor.box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(editor.log, QStringList{call});
}

QTEST_MAIN(TestKeyCommands)
#include "tst_keycommands.moc"
