#include "controls/listbox.h"
#include "editor/autolist.h"
#include "editor/keycommandswiring.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "editor/tagcompletiontext.h"
#include "platform/ansicodec.h"
#include "platform/places.h"
#include "platform/twips.h"
#include "support/testfiles.h"

#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The entries every test starts with; the first one also matches "<t" and
// is examined last.
const QStringList kEntries = {
    "<TITLE></TITLE>", "<a></a>", "<b></b>",   "<br/>",
    "<table></table>", "<td>",    "<h1></h1>", "<h10>",
};

void writeTags(const QString &path, const QStringList &lines)
{
    writeBytes(path, AnsiCodec::encode(lines.join("\r\n") + "\r\n"));
}

// A main window with the editing area below a 40 pixel band, as laid out in
// the program, and the completion wired to it.
struct Editor {
    explicit Editor(int width = 640)
    {
        window.resize(width, 400);
        box = new RichTextBox(&window);
        box->setGeometry(10, 40, width - 20, 300);
        keys = new EditorKeyHandling(window, *box);
        writeTags(dir.filePath("tags.dat"), kEntries);
        if (!completion().LoadTagList(dir.filePath("tags.dat")))
            qFatal("no word list");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("window not shown");
        window.activateWindow();
        box->setFocus();
    }

    TagCompletion &completion() const { return keys->completion(); }
    AutoList *list() const { return keys->autoList(); }
    bool shown() const { return list()->Visible(); }

    void start(const QString &text, int caret)
    {
        box->setText(text);
        box->setSelStart(caret);
        completion().close();
    }

    // Keys as typed: characters, '\b' for Backspace.
    void type(const QString &keys) const { QTest::keyClicks(box, keys); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(box, key, modifiers);
    }

    // Where the list belongs when it follows the caret, in twips.
    QPoint expectedPlace() const
    {
        const QPoint caret =
            box->mapTo(&window, box->viewport()->mapTo(box, box->cursorRect().topLeft()));
        const int line = QFontMetrics(window.font()).height();
        return {int(std::lround(Twips::fromPixels(caret.x()))),
                int(std::lround(Twips::fromPixels(caret.y()))) +
                    int(std::lround(Twips::fromPixels(line))) + TagCompletion::kGapBelowLine};
    }

    QTemporaryDir dir;
    QWidget window;
    RichTextBox *box;
    EditorKeyHandling *keys;
};

} // namespace

class TestTagCompletion : public QObject {
    Q_OBJECT
private slots:
    void typing_data();
    void typing();
    void opensOneLineBelowTheCaret();
    void listShowsWholeRowsAndWholeEntries_data();
    void listShowsWholeRowsAndWholeEntries();
    void followsTheCaretIntoScrolledText();
    void keepsTheFocusInTheEditingArea();
    void movesLeftWhereItWouldStickOut();
    void enterAccepts_data();
    void enterAccepts();
    void enterAfterClosedTagTypesLineBreak();
    void escClosesAndKeepsText();
    void leftRightCloseAndMoveTheCaret_data();
    void leftRightCloseAndMoveTheCaret();
    void upDownAtTheEnds_data();
    void upDownAtTheEnds();
    void mouseInTextCloses_data();
    void mouseInTextCloses();
    void doubleClickOnListCloses();
    void programInsertedLtOpens();
    void composedTextIsIgnoredUntilCommitted();
    void emptyListStillOpens();
    void wordListFromProgramFolder();
    void missingWordListIsReported();
    void caretTextMatchesTheModel_data();
    void caretTextMatchesTheModel();
    void caretTextFollowsEdits_data();
    void caretTextFollowsEdits();
    void caretTextAfterTextSetAnew_data();
    void caretTextAfterTextSetAnew();
};

void TestTagCompletion::typing_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("selected");
    QTest::newRow("lt opens, nothing selected") << "" << 0 << "<" << true << "<" << -1;
    QTest::newRow("search starts at second entry") << "" << 0 << "<t" << true << "<t" << 4;
    QTest::newRow("first entry examined last") << "" << 0 << "<ti" << true << "<ti" << 0;
    QTest::newRow("case ignored") << "" << 0 << "<TA" << true << "<TA" << 4;
    QTest::newRow("digit searches") << "" << 0 << "<h1" << true << "<h1" << 6;
    QTest::newRow("zero does not search") << "" << 0 << "<h10" << true << "<h10" << 6;
    QTest::newRow("no match") << "" << 0 << "<x" << true << "<x" << -1;
    QTest::newRow("no match, past every entry") << "" << 0 << "<z" << true << "<z" << -1;
    QTest::newRow("middle of a line") << "ab cd" << 3 << "<ta" << true << "<ta" << 4;
    QTest::newRow("start of second line") << "ab\r\n" << 4 << "<h" << true << "<h" << 6;
    QTest::newRow("blank keeps it open") << "" << 0 << "<a b" << true << "<a b" << -1;
    QTest::newRow("second lt restarts") << "" << 0 << "<a<t" << true << "<t" << 4;
    QTest::newRow("closed by gt") << "" << 0 << "<b>" << false << "<b>" << 2;
    QTest::newRow("closing tag") << "" << 0 << "</" << false << "</" << -1;
    QTest::newRow("slash after the caret") << "/b>" << 0 << "<" << false << "<" << -1;
    QTest::newRow("backspace searches again") << "" << 0 << "<tx\b" << true << "<t" << 4;
    QTest::newRow("backspace over lt closes") << "ab" << 2 << "<\b" << false << "<" << -1;
    QTest::newRow("backspace uncovers lt") << "<a" << 2 << "\b" << true << "<" << 1;
    QTest::newRow("backspace to the start closes") << "" << 0 << "<\b" << false << "<" << -1;
    // A line this long is held as pieces.
    QTest::newRow("right after a piece boundary")
        << QString(2000, u'x') << LinePieces::kPieceLength << "<ta" << true << "<ta" << 4;
}

void TestTagCompletion::typing()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(bool, shown);
    QFETCH(QString, prefix);
    QFETCH(int, selected);
    Editor editor;
    editor.start(before, caret);
    editor.type(keys);
    QCOMPARE(editor.shown(), shown);
    QCOMPARE(editor.completion().TagPrefix(), prefix);
    QCOMPARE(editor.list()->ListIndex(), selected);
}

void TestTagCompletion::opensOneLineBelowTheCaret()
{
    Editor editor;
    editor.start("abcdef\r\nabc", 11);
    editor.type("<");
    QVERIFY(editor.shown());
    QVERIFY(editor.list()->isVisible());
    const QPoint place = editor.expectedPlace();
    QCOMPARE(editor.list()->Left(), place.x());
    QCOMPARE(editor.list()->Top(), place.y());
    QCOMPARE(editor.list()->pos(), QPoint(Twips::toPixels(place.x()), Twips::toPixels(place.y())));
    QCOMPARE(editor.completion().CaretPoint(),
             editor.box->viewport()->mapTo(editor.box, editor.box->cursorRect().topLeft()));
    // The design's width, and as many whole rows as its height holds.
    QCOMPARE(editor.list()->width(), Twips::toPixels(2415));
    const int rowHeight = editor.list()->ListAuto()->rowHeight();
    QVERIFY(editor.list()->height() <= Twips::toPixels(1425));
    QVERIFY(editor.list()->height() > Twips::toPixels(1425) - rowHeight);
}

void TestTagCompletion::listShowsWholeRowsAndWholeEntries_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<QStringList>("entries");
    const QStringList tags = {"<b></b>", "<summary></summary>", "<table></table>"};
    for (const int size : {7, 9, 12, 16, 20})
        QTest::newRow(qPrintable(QStringLiteral("%1 point").arg(size))) << size << tags;
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("<figcaption></figcaption>%1").arg(i);
    QTest::newRow("more entries than rows") << 9 << many;
    QTest::newRow("no entries") << 9 << QStringList{};
}

void TestTagCompletion::listShowsWholeRowsAndWholeEntries()
{
    QFETCH(int, pointSize);
    QFETCH(QStringList, entries);
    QWidget window;
    window.resize(800, 600);
    AutoList list(&window);
    for (const QString &entry : entries)
        list.AddItem(entry);
    QFont font = list.font();
    font.setPointSize(pointSize);
    list.setFont(font);
    list.setShown(true);
    const ListBox *box = list.ListAuto();
    const QRect rows = box->contentsRect();
    QCOMPARE(rows.height() % box->rowHeight(), 0);
    QVERIFY(rows.height() >= box->rowHeight());
    int room = rows.width();
    if (box->scrollBar()->isVisible())
        room -= box->scrollBar()->width();
    for (const QString &entry : entries)
        QVERIFY2(box->fontMetrics().horizontalAdvance(entry) + 4 <= room, qPrintable(entry));
    // The list inside the picture, the picture inside the frame.
    QVERIFY(list.Picture3()->rect().contains(box->geometry()));
    QVERIFY(list.contentsRect().contains(list.Picture3()->geometry()));
    QCOMPARE(list.Width(), Twips::fromPixelsRounded(list.width()));
}

void TestTagCompletion::followsTheCaretIntoScrolledText()
{
    Editor editor;
    editor.start(QString(300, u'x'), 0);
    editor.box->setSelStart(300);
    editor.box->setSelStart(240); // still in view, away from the right edge
    editor.type("<");
    QVERIFY(editor.box->horizontalScrollBar()->value() > 0);
    QCOMPARE(editor.list()->Left(), editor.expectedPlace().x());
    QCOMPARE(editor.list()->Top(), editor.expectedPlace().y());
}

void TestTagCompletion::keepsTheFocusInTheEditingArea()
{
    Editor editor;
    QTRY_VERIFY(editor.box->hasFocus());
    editor.type("<t");
    QVERIFY(editor.shown());
    QVERIFY(editor.box->hasFocus());
    QCOMPARE(editor.list()->ListAuto()->focusPolicy(), Qt::NoFocus);
    QCOMPARE(editor.list()->ListAuto()->palette().color(QPalette::Base), QColor(224, 224, 224));
    // A click on the list selects but leaves the typing where it was.
    ListBox *listBox = editor.list()->ListAuto();
    QTest::mouseClick(listBox, Qt::LeftButton, {}, listBox->itemRect(2).center());
    QVERIFY(editor.box->hasFocus());
    QCOMPARE(editor.list()->ListIndex(), 2);
}

void TestTagCompletion::movesLeftWhereItWouldStickOut()
{
    Editor editor(300);
    const QString line1(20, u'x');
    editor.start(line1 + "\r\nz", 0);
    const int scaleWidth = int(std::lround(Twips::fromPixels(editor.window.width())));

    editor.box->setSelStart(20);
    editor.type("<");
    const QPoint first = editor.expectedPlace();
    QVERIFY2(first.x() + AutoList::kWidth > scaleWidth, "the caret must be near the right edge");
    QCOMPARE(editor.list()->Left(), scaleWidth - AutoList::kWidth);
    QCOMPARE(editor.list()->Top(), first.y());
    editor.press(Qt::Key_Escape);

    // Where it fits, it follows the caret again.
    editor.box->setSelStart(editor.box->textLength());
    editor.type("<");
    QCOMPARE(editor.list()->Left(), editor.expectedPlace().x());
    QCOMPARE(editor.list()->Top(), editor.expectedPlace().y());
}

void TestTagCompletion::enterAccepts_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("downs");
    QTest::addColumn<bool>("homeFirst");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("pair, caret between")
        << "" << 0 << "<tab" << 0 << false << "<table></table>" << 7;
    QTest::newRow("no slash, caret after") << "" << 0 << "<td" << 0 << false << "<td>" << 4;
    QTest::newRow("only lt is the first") << "x" << 1 << "<br" << 0 << false << "x<br/>" << 1;
    QTest::newRow("no match removes typed") << "ab " << 3 << "<x" << 0 << false << "ab " << 3;
    QTest::newRow("selection kept over zero")
        << "" << 0 << "<h10" << 0 << false << "<h1></h1>" << 4;
    QTest::newRow("down then enter") << "" << 0 << "<t" << 1 << false << "<td>" << 4;
    QTest::newRow("second line") << "ab\r\n" << 4 << "<b" << 0 << false << "ab\r\n<b></b>" << 7;
    QTest::newRow("text after caret") << "<p>" << 0 << "<a" << 0 << false << "<a></a><p>" << 3;
    QTest::newRow("right after a piece boundary")
        << QString(2000, u'x') << LinePieces::kPieceLength << "<tab" << 0 << false
        << QString(LinePieces::kPieceLength, u'x') + "<table></table>" +
               QString(2000 - LinePieces::kPieceLength, u'x')
        << LinePieces::kPieceLength + 7;
    QTest::newRow("range recorded before Home")
        << "xy" << 2 << "<tab" << 0 << true << "xy<table></table>" << 9;
}

void TestTagCompletion::enterAccepts()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(int, downs);
    QFETCH(bool, homeFirst);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    Editor editor;
    editor.start(before, caret);
    editor.type(keys);
    for (int i = 0; i < downs; ++i)
        editor.press(Qt::Key_Down);
    if (homeFirst)
        editor.press(Qt::Key_Home);
    QVERIFY(editor.shown());
    editor.press(Qt::Key_Return);
    QCOMPARE(editor.box->Text(), after);
    QCOMPARE(editor.box->SelStart(), caretAfter);
    QCOMPARE(editor.box->SelLength(), 0);
    QVERIFY(!editor.shown());
}

void TestTagCompletion::enterAfterClosedTagTypesLineBreak()
{
    Editor editor;
    editor.type("<b>");
    QVERIFY(!editor.shown());
    editor.press(Qt::Key_Return);
    QCOMPARE(editor.box->Text(), "<b>\r\n");
}

void TestTagCompletion::escClosesAndKeepsText()
{
    Editor editor;
    editor.type("<ta");
    editor.press(Qt::Key_Escape);
    QVERIFY(!editor.shown());
    QCOMPARE(editor.box->Text(), "<ta");
    QCOMPARE(editor.box->SelStart(), 3);
    // Entries and selection stay for the next opening.
    QCOMPARE(editor.list()->ListIndex(), 4);
    editor.type(" <");
    QVERIFY(editor.shown());
    QCOMPARE(editor.list()->ListIndex(), 4);
}

void TestTagCompletion::leftRightCloseAndMoveTheCaret_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("left") << int(Qt::Key_Left) << int(Qt::NoModifier) << 2;
    QTest::newRow("right") << int(Qt::Key_Right) << int(Qt::NoModifier) << 4;
    QTest::newRow("shift right") << int(Qt::Key_Right) << int(Qt::ShiftModifier) << 3;
    QTest::newRow("ctrl right") << int(Qt::Key_Right) << int(Qt::ControlModifier) << 5;
}

void TestTagCompletion::leftRightCloseAndMoveTheCaret()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, caretAfter);
    Editor editor;
    editor.start("abcd", 2);
    editor.type("<");
    QVERIFY(editor.shown());
    editor.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!editor.shown());
    QCOMPARE(editor.box->SelStart(), caretAfter);
    QCOMPARE(editor.box->Text(), "ab<cd");
}

void TestTagCompletion::upDownAtTheEnds_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("downs");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selected");
    QTest::newRow("up at the first") << "<ti" << 0 << int(Qt::Key_Up) << 0;
    QTest::newRow("up moves") << "<t" << 0 << int(Qt::Key_Up) << 3;
    QTest::newRow("up with none") << "<x" << 0 << int(Qt::Key_Up) << -1;
    QTest::newRow("down at the last") << "<h" << 1 << int(Qt::Key_Down) << 7;
    QTest::newRow("down with none") << "<x" << 0 << int(Qt::Key_Down) << 0;
}

void TestTagCompletion::upDownAtTheEnds()
{
    QFETCH(QString, keys);
    QFETCH(int, downs);
    QFETCH(int, key);
    QFETCH(int, selected);
    Editor editor;
    editor.type(keys);
    for (int i = 0; i < downs; ++i)
        editor.press(Qt::Key_Down);
    editor.press(Qt::Key(key));
    QCOMPARE(editor.list()->ListIndex(), selected);
    QVERIFY(editor.shown());
    QCOMPARE(editor.box->Text(), keys);
    QCOMPARE(editor.box->SelStart(), keys.size());
}

void TestTagCompletion::mouseInTextCloses_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
}

void TestTagCompletion::mouseInTextCloses()
{
    QFETCH(int, button);
    Editor editor;
    editor.type("<t");
    QTest::mousePress(editor.box->viewport(), Qt::MouseButton(button), {}, QPoint(150, 100));
    QVERIFY(!editor.shown());
    QTest::mouseRelease(editor.box->viewport(), Qt::MouseButton(button), {}, QPoint(150, 100));
    QCOMPARE(editor.box->Text(), "<t");
}

void TestTagCompletion::doubleClickOnListCloses()
{
    Editor editor;
    editor.type("<t");
    ListBox *listBox = editor.list()->ListAuto();
    QTest::mouseDClick(listBox, Qt::LeftButton, {}, listBox->itemRect(1).center());
    QVERIFY(!editor.shown());
    QCOMPARE(editor.box->Text(), "<t");
}

void TestTagCompletion::programInsertedLtOpens()
{
    Editor editor;
    editor.start("abc", 3);
    editor.box->setSelText("<");
    QVERIFY(editor.shown());
    QCOMPARE(editor.completion().TagStart(), 4);
    QCOMPARE(editor.completion().TagCaret(), 4);
    // A fragment that ends its own tag leaves it closed.
    editor.box->setSelText("p>");
    QVERIFY(!editor.shown());
}

void TestTagCompletion::composedTextIsIgnoredUntilCommitted()
{
    Editor editor;
    auto compose = [&](const QString &preedit, const QString &commit) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QCoreApplication::sendEvent(editor.box, &event);
    };
    compose("<", "");
    QVERIFY(!editor.shown());
    compose("", "<");
    QVERIFY(editor.shown());
    compose("ta", "");
    QCOMPARE(editor.completion().TagPrefix(), "<");
    QCOMPARE(editor.list()->ListIndex(), -1);
    compose("", "ta");
    QCOMPARE(editor.box->Text(), "<ta");
    QCOMPARE(editor.completion().TagPrefix(), "<ta");
    QCOMPARE(editor.list()->ListIndex(), 4);
    compose("", QStringLiteral("表"));
    QCOMPARE(editor.completion().TagPrefix(), QStringLiteral("<ta表"));
    QCOMPARE(editor.list()->ListIndex(), 4);
}

void TestTagCompletion::emptyListStillOpens()
{
    Editor editor;
    writeTags(editor.dir.filePath("empty.dat"), {});
    QVERIFY(editor.completion().LoadTagList(editor.dir.filePath("empty.dat")));
    QCOMPARE(editor.list()->ListCount(), 0);
    editor.type("x<a");
    QVERIFY(editor.shown());
    QCOMPARE(editor.list()->ListIndex(), -1);
    editor.press(Qt::Key_Down);
    QCOMPARE(editor.list()->ListIndex(), -1);
    editor.press(Qt::Key_Return);
    QCOMPARE(editor.box->Text(), "x");
    QVERIFY(!editor.shown());
}

void TestTagCompletion::wordListFromProgramFolder()
{
    Editor editor;
    QTemporaryDir folder;
    writeTags(folder.filePath("tags.dat"), {"<q>", "skip", "<p>"});
    Places::setProgramFolder(folder.path());
    const bool loaded = editor.keys->LoadTagList();
    Places::setProgramFolder(QString());
    QVERIFY(loaded);
    QCOMPARE(editor.list()->ListCount(), 2);
    QCOMPARE(editor.list()->List(0), "<q>");
    QCOMPARE(editor.list()->List(1), "<p>");
}

void TestTagCompletion::missingWordListIsReported()
{
    Editor editor;
    QVERIFY(!editor.completion().LoadTagList(editor.dir.filePath("none.dat")));
    QCOMPARE(editor.list()->ListCount(), kEntries.size());
}

void TestTagCompletion::caretTextMatchesTheModel_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one line") << "a<b>c<";
    QTest::newRow("line breaks") << "<a\r\nb<\r\n\r\nc";
    QTest::newRow("break at the end") << "x<\r\n";
    QTest::newRow("no lt") << "abc\r\ndef";
    // Farther back than what is read character by character.
    QTest::newRow("far lt, one line") << "<" + QString(5000, u'x') + "<" + QString(5000, u'y');
    QString lines = "<a\r\n";
    for (int i = 0; i < 2000; ++i)
        lines += "xy\r\n";
    QTest::newRow("far lt, many lines") << lines;
    QTest::newRow("far lt, short lines") << "<" + QString(100, u'a') + "\r\n" + lines;
    QTest::newRow("far lt, long last line") << "<\r\n" + QString(6000, u'z');
}

void TestTagCompletion::caretTextMatchesTheModel()
{
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(text);
    const RichTextBoxCaretText caretText(box);
    // Every position of a short text; a sample of a long one.
    const qsizetype size = text.size();
    const qsizetype stride = size > 100 ? 97 : 1;
    QList<qsizetype> positions;
    for (qsizetype p = 0; p <= size; p += stride)
        positions << p;
    for (qsizetype p = qMax(qsizetype(0), size - 5); p <= size; ++p)
        positions << p;
    // Where the search stops reading single characters just past a match.
    for (const qsizetype i : {text.indexOf(u'\r'), text.indexOf(u'<'), text.lastIndexOf(u'<')}) {
        if (i >= 0) {
            for (int d = 0; d <= 2; ++d) {
                if (i + RichTextBoxCaretText::kCharByChar + d <= size)
                    positions << i + RichTextBoxCaretText::kCharByChar + d;
            }
        }
    }
    // Positions on the caret's line are found from the caret.
    for (const qsizetype caret : {qsizetype(0), size / 2, size}) {
        box.setSelStart(caret);
        for (const qsizetype count : positions) {
            const QString head = text.left(count);
            for (const QChar ch : {QChar(u'<'), QChar(u'\r'), QChar(u'\n')})
                QCOMPARE(caretText.lastIndexOf(ch, count), head.lastIndexOf(ch) + 1);
            for (const qsizetype length :
                 {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(3), size})
                QCOMPARE(caretText.Mid(count + 1, length), text.mid(count, length));
        }
    }
}

void TestTagCompletion::caretTextFollowsEdits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::newRow("line end") << "<p>ab\r\n<i>cd\r\nef" << 5;
    QTest::newRow("line start") << "ab\r\n<i>cd" << 4;
    QTest::newRow("last line") << "ab\r\n<i>cd" << 9;
    QTest::newRow("long line") << "<a>" + QString(600, u'x') + "\r\nz" << 300;
}

// Keys typed, taken back and the caret moved, each read right after: the
// caret's line is followed from one keystroke to the next.
void TestTagCompletion::caretTextFollowsEdits()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    RichTextBox box;
    box.setText(text);
    box.setSelStart(caret);
    const RichTextBoxCaretText caretText(box);
    const auto check = [&] {
        const QString now = box.Text();
        const qsizetype at = box.SelStart();
        QCOMPARE(caretText.SelStart(), at);
        for (qsizetype p = qMax(qsizetype(0), at - 4); p <= qMin(now.size(), at + 4); ++p) {
            QCOMPARE(caretText.lastIndexOf(u'<', p), now.left(p).lastIndexOf(u'<') + 1);
            QCOMPARE(caretText.Mid(p + 1, 3), now.mid(p, 3));
        }
    };
    check();
    for (const QString key : {"<", "b", "\b", "x", "\r\n", "<"}) {
        if (key == "\b") {
            box.setSelStart(box.SelStart() - 1);
            box.setSelLength(1);
            box.setSelText(QString());
        } else {
            box.setSelText(key);
        }
        check();
        box.setSelStart(box.SelStart() - 1);
        check();
        box.setSelStart(box.SelStart() + 1);
        check();
    }
}

void TestTagCompletion::caretTextAfterTextSetAnew_data()
{
    QTest::addColumn<bool>("cleared");
    QTest::newRow("text set") << false;
    QTest::newRow("document cleared") << true;
}

// A new text frees every block of the old one; the caret's line found
// before must not be read, not even from the change notice that Qt sends in
// the middle of clearing. The page is large, so that its blocks are given
// back to the system and a stale one would fault.
void TestTagCompletion::caretTextAfterTextSetAnew()
{
    QFETCH(bool, cleared);
    QStringList lines(20000, QStringLiteral("<p>text</p>"));
    RichTextBox box;
    box.setText(lines.join(QStringLiteral("\r\n")));
    const RichTextBoxCaretText caretText(box);
    int reads = 0;
    connect(&box, &RichTextBox::Change, &box, [&] {
        QCOMPARE(caretText.SelStart(), box.SelStart());
        ++reads;
    });
    box.setSelStart(15000 * 13 + 5);
    box.setSelText(QStringLiteral("<"));
    const int readBefore = reads;
    if (cleared)
        box.document()->clear();
    else
        box.setText(QStringLiteral("<b>"));
    QVERIFY(reads > readBefore);
    QCOMPARE(caretText.Mid(1, 2), cleared ? QString() : QStringLiteral("<b"));
}

QTEST_MAIN(TestTagCompletion)
#include "tst_tagcompletion.moc"
