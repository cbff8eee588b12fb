#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <memory>

namespace {

// The main window on a page of its own.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;

    RichTextBox *start(const QString &page)
    {
        folder.writeFile("tags.dat", "<b></b>\r\n");
        window = std::make_unique<FRAmain>(prompts);
        window->Form_Load({});
        RichTextBox *box = window->richText();
        box->setText(page);
        box->setFocus();
        return box;
    }
};

// A long line whose cuts fall inside words: two runs of letters too long for
// a tag or a blank to be near a cut.
const QString kLine = "one two " + QString(400, u'w') + " three " + QString(700, u'v') + " end.";
const QString kPage = "<html>\r\n" + kLine + "\r\n</html>";
constexpr int kLineStart = 8;

// Keys by name; "Text:abc" types, "Select:n" selects n characters on.
void play(RichTextBox *box, const QStringList &script)
{
    const QMap<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> keys = {
        {"Backspace", {Qt::Key_Backspace, Qt::NoModifier}},
        {"Delete", {Qt::Key_Delete, Qt::NoModifier}},
        {"Enter", {Qt::Key_Return, Qt::NoModifier}},
        {"Home", {Qt::Key_Home, Qt::NoModifier}},
        {"End", {Qt::Key_End, Qt::NoModifier}},
        {"Shift+End", {Qt::Key_End, Qt::ShiftModifier}},
        {"Cut", {Qt::Key_X, Qt::ControlModifier}},
        {"Undo", {Qt::Key_Z, Qt::ControlModifier}},
        {"Redo", {Qt::Key_Y, Qt::ControlModifier}},
        {"Ctrl+Left", {Qt::Key_Left, Qt::ControlModifier}},
        {"Ctrl+Right", {Qt::Key_Right, Qt::ControlModifier}},
        {"Ctrl+Shift+Right", {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier}},
        {"Ctrl+Backspace", {Qt::Key_Backspace, Qt::ControlModifier}},
        {"Ctrl+Delete", {Qt::Key_Delete, Qt::ControlModifier}}};
    for (const QString &step : script) {
        if (step.startsWith("Text:"))
            QTest::keyClicks(box, step.mid(5));
        else if (step.startsWith("Select:"))
            box->setSelLength(step.mid(7).toInt());
        else if (step.startsWith("Caret:"))
            box->setSelStart(step.mid(6).toInt());
        else
            QTest::keyClick(box, keys.value(step).first, keys.value(step).second);
    }
}

// The model position where the first continuation of the page starts.
int firstBoundary(const RichTextBox *box)
{
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (LinePieces::isContinuation(block))
            return int(box->toModelPosition(block.position()));
    }
    return -1;
}

QPoint pointOf(const RichTextBox *box, int model)
{
    QTextCursor cursor(box->document());
    cursor.setPosition(box->toWidgetPosition(model));
    return box->cursorRect(cursor).center() + QPoint(1, 0);
}

void verifyNoEmptyPiece(const RichTextBox *box)
{
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        const bool piece = LinePieces::isContinuation(block) || !LinePieces::endsLine(block);
        QVERIFY2(!piece || block.length() > 1, qPrintable(QString::number(block.blockNumber())));
    }
}

} // namespace

class TestFRAmainLongLines : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoLeaveTheCaretAtTheEdit_data();
    void undoAndRedoLeaveTheCaretAtTheEdit();
    void wordCommandsTakeTheWholeLine_data();
    void wordCommandsTakeTheWholeLine();
    void noPieceIsLeftEmpty_data();
    void noPieceIsLeftEmpty();
    void rowsOfALongLineReadAsOneLine();
};

void TestFRAmainLongLines::undoAndRedoLeaveTheCaretAtTheEdit_data()
{
    // A script from a caret; "b" stands for the first boundary between
    // pieces. One Ctrl+Z takes the page back, one Ctrl+Y makes the edit again.
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("caret");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("undoneCaret");
    QTest::addColumn<int>("redoneCaret");
    const QString lines = "<html>\r\nab\r\ncd\r\n</html>";
    QTest::newRow("backspace at a line start")
        << lines << "12" << QStringList{"Backspace"} << 12 << 10;
    QTest::newRow("delete at a line end") << lines << "10" << QStringList{"Delete"} << 10 << 10;
    QTest::newRow("deletion across a line break")
        << lines << "9" << QStringList{"Select:4", "Delete"} << 13 << 9;
    QTest::newRow("typing on a short line") << lines << "9" << QStringList{"Text:xyz"} << 9 << 12;
    QTest::newRow("deletion across two rows")
        << kPage << "b-5" << QStringList{"Select:10", "Delete"} << 5 << -5;
    QTest::newRow("typing over a selection across rows")
        << kPage << "b-5" << QStringList{"Select:10", "Text:Z"} << 5 << -4;
    QTest::newRow("cutting a selection across rows")
        << kPage << "b-5" << QStringList{"Select:10", "Cut"} << 5 << -5;
    QTest::newRow("backspace at a row start")
        << kPage << "b" << QStringList{"Backspace"} << 0 << -1;
    QTest::newRow("a run of typing past a cut")
        << kPage << "b+100" << QStringList{"Text:" + QString(300, u'x')} << 100 << 400;
    QTest::newRow("line break in a row") << kPage << "b+3" << QStringList{"Enter"} << 3 << 5;
}

void TestFRAmainLongLines::undoAndRedoLeaveTheCaretAtTheEdit()
{
    QFETCH(QString, page);
    QFETCH(QString, caret);
    QFETCH(QStringList, script);
    QFETCH(int, undoneCaret);
    QFETCH(int, redoneCaret);
    Fixture f;
    RichTextBox *box = f.start(page);
    // Positions on a long line count from its first boundary.
    const int origin = caret.startsWith('b') ? firstBoundary(box) : 0;
    const int start = origin + (caret.startsWith('b') ? caret.mid(1).toInt() : caret.toInt());
    box->setSelStart(start);
    play(box, script);
    const QString edited = box->Text();
    QVERIFY(edited != page);

    play(box, {"Undo"});
    QCOMPARE(box->Text(), page);
    QCOMPARE(box->SelStart(), origin + undoneCaret);
    QVERIFY(box->viewport()->rect().contains(box->cursorRect().center()));
    play(box, {"Redo"});
    QCOMPARE(box->Text(), edited);
    QCOMPARE(box->SelStart(), origin + redoneCaret);
    // Typing goes on where the caret shows.
    play(box, {"Undo", "Text:Q"});
    QCOMPARE(box->Text(), QString(page).insert(origin + undoneCaret, u'Q'));
}

void TestFRAmainLongLines::wordCommandsTakeTheWholeLine_data()
{
    // A command at a place in kLine, done the same on a line of one block.
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("command");
    QTest::newRow("ctrl+right in a word cut in two") << 100 << "Ctrl+Right";
    QTest::newRow("ctrl+right over two cuts") << 450 << "Ctrl+Right";
    QTest::newRow("ctrl+left after a cut") << 300 << "Ctrl+Left";
    QTest::newRow("ctrl+left over two cuts") << 1100 << "Ctrl+Left";
    QTest::newRow("ctrl+shift+right") << 200 << "Ctrl+Shift+Right";
    QTest::newRow("ctrl+backspace") << 300 << "Ctrl+Backspace";
    QTest::newRow("ctrl+delete") << 100 << "Ctrl+Delete";
    QTest::newRow("double-click before a cut") << 250 << "double-click";
    QTest::newRow("double-click after a cut") << 600 << "double-click";
    QTest::newRow("triple-click") << 600 << "triple-click";
}

void TestFRAmainLongLines::wordCommandsTakeTheWholeLine()
{
    QFETCH(int, at);
    QFETCH(QString, command);
    QPlainTextEdit plain;
    plain.setLineWrapMode(QPlainTextEdit::NoWrap);
    plain.setPlainText(kLine + "\n</html>");
    QTextCursor expected = plain.textCursor();
    expected.setPosition(at);
    plain.setTextCursor(expected);

    Fixture f;
    RichTextBox *box = f.start(kPage);
    QVERIFY(box->document()->blockCount() > 4);
    box->setSelStart(kLineStart + at);
    if (command == "double-click" || command == "triple-click") {
        const QPoint point = pointOf(box, kLineStart + at);
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, point);
        if (command == "triple-click") {
            QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, point);
            expected.movePosition(QTextCursor::StartOfBlock);
            expected.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            expected.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        } else {
            expected.select(QTextCursor::WordUnderCursor);
        }
    } else {
        play(box, {command});
        QTest::keyClick(&plain,
                        command.endsWith("Right")    ? Qt::Key_Right
                        : command.endsWith("Left")   ? Qt::Key_Left
                        : command.endsWith("Delete") ? Qt::Key_Delete
                                                     : Qt::Key_Backspace,
                        command.contains("Shift") ? Qt::ControlModifier | Qt::ShiftModifier
                                                  : Qt::ControlModifier);
        expected = plain.textCursor();
    }
    QCOMPARE(box->Text(), "<html>\r\n" + plain.toPlainText().replace("\n", "\r\n"));
    QCOMPARE(box->SelStart() - kLineStart, expected.selectionStart());
    // The line break selected counts two in the page.
    const int end = expected.selectionEnd();
    QCOMPARE(box->SelStart() + box->SelLength() - kLineStart, end + (end > kLine.size() ? 1 : 0));
}

void TestFRAmainLongLines::noPieceIsLeftEmpty_data()
{
    // Edits that take all the text of a piece (the first boundary is "b", the
    // next "c"), and what they leave of kLine.
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("expected");
    const QStringList row = {"Caret:b", "Shift+End"};
    QTest::newRow("deleting a whole row") << row + QStringList{"Delete"} << "remove b c";
    QTest::newRow("cutting a whole row") << row + QStringList{"Cut"} << "remove b c";
    QTest::newRow("deleting the first row")
        << QStringList{"Caret:0", "Shift+End", "Delete"} << "remove 0 b";
    QTest::newRow("line break at a row start") << QStringList{"Caret:b", "Enter"} << "break b";
}

void TestFRAmainLongLines::noPieceIsLeftEmpty()
{
    QFETCH(QStringList, script);
    QFETCH(QString, expected);
    Fixture f;
    RichTextBox *box = f.start(kPage);
    // The model positions of the line's first boundaries.
    QList<int> cuts;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (LinePieces::isContinuation(block))
            cuts << int(box->toModelPosition(block.position()));
    }
    const auto place = [&](const QString &name) {
        return name == "0" ? kLineStart : name == "b" ? cuts.at(0) : cuts.at(1);
    };
    for (QString step : script) {
        if (step.startsWith("Caret:")) {
            box->setSelStart(place(step.mid(6)));
            continue;
        }
        if (step.startsWith("Select:")) {
            const QStringList ends = step.mid(7).split('-');
            step = "Select:" + QString::number(place(ends.at(1)) - place(ends.at(0)));
        }
        play(box, {step});
    }
    QString page = kPage;
    const QStringList what = expected.split(' ');
    if (what.at(0) == "remove")
        page.remove(place(what.at(1)), place(what.at(2)) - place(what.at(1)));
    else if (what.at(0) == "break")
        page.insert(place(what.at(1)), "\r\n");
    QCOMPARE(box->Text(), page);
    verifyNoEmptyPiece(box);
    // Delete and Backspace where the piece was take one character each.
    const qsizetype caret = box->SelStart();
    play(box, {"Delete", "Backspace"});
    QCOMPARE(box->Text().size(), page.size() - 2 - (caret > 0 && page.at(caret - 1) == u'\n'));
    verifyNoEmptyPiece(box);
}

void TestFRAmainLongLines::rowsOfALongLineReadAsOneLine()
{
    Fixture f;
    // Cells of a table on one line: every row starts at a tag.
    QString cells;
    for (int i = 0; cells.size() < 3000; ++i)
        cells += QStringLiteral("<td class=\"c\">cell %1</td>").arg(i);
    RichTextBox *box = f.start("<table>\r\n" + cells + "\r\n</table>");
    QVERIFY(box->document()->blockCount() > 6);
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (!LinePieces::endsLine(block))
            QVERIFY2(block.text().endsWith(u'>'), qPrintable(block.text()));
    }

    // Home and End: the row's ends first, then the line's.
    const QTextBlock second = box->document()->findBlockByNumber(2);
    QVERIFY(LinePieces::isContinuation(second));
    const int rowStart = int(box->toModelPosition(second.position()));
    const int rowEnd = int(box->toModelPosition(second.position() + second.length() - 1));
    box->setSelStart(rowStart + 5);
    const QList<std::pair<QString, int>> presses = {{"Home", rowStart},
                                                    {"Home", 9},
                                                    {"End", firstBoundary(box)},
                                                    {"End", int(9 + cells.size())}};
    for (const auto &[key, caret] : presses) {
        play(box, {key});
        QCOMPARE(box->SelStart(), caret);
    }
    box->setSelStart(rowStart + 5);
    play(box, {"End"});
    QCOMPARE(box->SelStart(), rowEnd);

    // The rows that go on in the next are marked at their left, ordinary
    // lines are not.
    QWidget *window = f.window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    box->verticalScrollBar()->setValue(0);
    const QImage shot = box->viewport()->grab().toImage();
    const auto marked = [&](const QTextBlock &block) {
        const int y = box->cursorRect(QTextCursor(block)).center().y();
        for (int x = 0; x < 4; ++x) {
            if (shot.pixelColor(x, y) != shot.pixelColor(shot.width() - 1, shot.height() - 1))
                return true;
        }
        return false;
    };
    QVERIFY(!marked(box->document()->firstBlock()));
    QVERIFY(marked(second));
    QVERIFY(!marked(box->document()->lastBlock()));
}

QTEST_MAIN(TestFRAmainLongLines)
#include "tst_framainlonglines.moc"
