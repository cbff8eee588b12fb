#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "platform/ansicodec.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

namespace {

// A line of 3000 characters, a-z over and over: the editing area holds it
// as pieces, the first boundary after "top" CR LF and one piece.
const QString kLong = [] {
    QString line;
    for (int i = 0; i < 3000; ++i)
        line += QChar(u'a' + i % 26);
    return line;
}();
const QString kPage = "top\r\n" + kLong + "\r\nend";
constexpr int kBoundary = 5 + LinePieces::kPieceLength;

// What the model shows of the page agrees with the text: lines, columns,
// length, byte count, positions; and no block is longer than a piece may be.
void verifyModel(const RichTextBox &box, const QString &text)
{
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.textLength(), text.size());
    QCOMPARE(box.GetLineCount(), text.count(QLatin1String("\r\n")) + 1);
    QCOMPARE(const_cast<RichTextBox &>(box).ansiByteCount(), AnsiCodec::encodedLength(text));
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= LinePieces::kLongestPiece);
    for (qsizetype model = 0; model <= text.size(); model += 37) {
        const int widget = box.toWidgetPosition(model);
        const bool insideBreak = model > 0 && text.at(model - 1) == u'\r';
        QCOMPARE(box.toModelPosition(widget), insideBreak ? model - 1 : model);
        if (insideBreak)
            continue;
        const qsizetype lastBreak =
            model < 2 ? -1 : text.lastIndexOf(QLatin1String("\r\n"), model - 2);
        const int line = int(text.left(model).count(QLatin1String("\r\n")));
        QCOMPARE(box.GetLineStart(line), lastBreak < 0 ? 0 : lastBreak + 2);
    }
}

} // namespace

class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void textReadsBackWithCrLf_data();
    void textReadsBackWithCrLf();
    void selectionInModelPositions_data();
    void selectionInModelPositions();
    void replacingSelection_data();
    void replacingSelection();
    void backwardSelectionReportsItsStart();
    void positionsRoundTripOnEveryLineBreak();
    void unusualCharactersSurvive();
    void changeIsRaisedForProgramEdits();
    void longLinesReadAsOneLine_data();
    void longLinesReadAsOneLine();
    void editingAcrossPieces_data();
    void editingAcrossPieces();
    void undoRevertsTheKeyWithItsCut();
    void clipboardJoinsPieces();
};

void TestRichTextBox::textReadsBackWithCrLf_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QString &input, const QString &expected) {
        QTest::newRow(name) << input << expected;
    };
    row("empty", "", "");
    row("crlf", "ab\r\ncd", "ab\r\ncd");
    row("lf", "ab\ncd", "ab\r\ncd");
    row("lone cr", "ab\rcd", "ab\r\ncd");
    row("trailing break", "ab\r\n", "ab\r\n");
    row("empty lines", "\r\r\n\n", "\r\n\r\n\r\n");
    row("chinese", QStringLiteral("中文\r\n网页"), QStringLiteral("中文\r\n网页"));
}

void TestRichTextBox::textReadsBackWithCrLf()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    RichTextBox box;
    box.setText(input);
    QCOMPARE(box.Text(), expected);
    QCOMPARE(box.textLength(), expected.size());
}

void TestRichTextBox::selectionInModelPositions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<QString>("selected");
    QTest::newRow("start of line 2") << "ab\r\ncd" << 4 << 0 << 4 << "";
    QTest::newRow("across the break") << "ab\r\ncd" << 1 << 4 << 1 << "b\r\nc";
    QTest::newRow("whole text") << "ab\r\ncd" << 0 << 6 << 0 << "ab\r\ncd";
    QTest::newRow("inside crlf ends the line") << "ab\r\ncd" << 3 << 0 << 2 << "";
    QTest::newRow("past the end") << "ab" << 10 << 5 << 2 << "";
    QTest::newRow("length past the end") << "ab\r\ncd" << 4 << 50 << 4 << "cd";
    QTest::newRow("third line") << "a\r\nb\r\nc" << 6 << 1 << 6 << "c";
}

void TestRichTextBox::selectionInModelPositions()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, expectedStart);
    QFETCH(QString, selected);
    RichTextBox box;
    box.setText(text);
    box.setSelStart(start);
    box.setSelLength(length);
    QCOMPARE(box.SelStart(), expectedStart);
    QCOMPARE(box.SelText(), selected);
    QCOMPARE(box.SelLength(), selected.size());
}

void TestRichTextBox::replacingSelection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    const auto row = [](const char *name, const QString &text, int start, int length,
                        const QString &insert, const QString &expected, int caret) {
        QTest::newRow(name) << text << start << length << insert << expected << caret;
    };
    row("at caret", "abcd", 2, 0, "XY", "abXYcd", 4);
    row("replace selection", "abcd", 1, 2, "X", "aXd", 2);
    row("lone cr starts a line", "ab", 1, 0, "1\r2", "a1\r\n2b", 5);
    row("crlf stays one break", "ab", 2, 0, "\r\n", "ab\r\n", 4);
    row("delete across lines", "ab\r\ncd", 1, 4, "", "ad", 1);
}

void TestRichTextBox::replacingSelection()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, insert);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    RichTextBox box;
    box.setText(text);
    box.setSelStart(start);
    box.setSelLength(length);
    box.setSelText(insert);
    QCOMPARE(box.Text(), expected);
    QCOMPARE(box.SelStart(), caret);
    QCOMPARE(box.SelLength(), 0);
}

void TestRichTextBox::backwardSelectionReportsItsStart()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(4); // after "c" in the widget's own positions
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    QCOMPARE(box.SelStart(), 1);
    QCOMPARE(box.SelLength(), 4);
    QCOMPARE(box.SelText(), QStringLiteral("b\r\nc"));
}

void TestRichTextBox::positionsRoundTripOnEveryLineBreak()
{
    QString text;
    for (int line = 0; line < 300; ++line)
        text += QString(line % 7, u'x') + QStringLiteral("\r\n");
    RichTextBox box;
    box.setText(text);
    const QString back = box.Text();
    QCOMPARE(back, text);
    for (qsizetype model = 0; model <= back.size(); ++model) {
        const int widget = box.toWidgetPosition(model);
        const bool insideBreak = model > 0 && back.at(model - 1) == u'\r';
        const qsizetype expected = insideBreak ? model - 1 : model;
        QCOMPARE(box.toModelPosition(widget), expected);
    }
}

void TestRichTextBox::unusualCharactersSurvive()
{
    // Escaped bytes, a non-breaking space, a character outside the BMP and a
    // NUL all read back as they went in.
    const QString text = QString(QChar(0xDC81)) + QChar(0x00A0) + QStringLiteral("a") +
                         QString::fromUcs4(U"\U0001F600") + QChar(0) + QChar(0xDCFF);
    RichTextBox box;
    box.setText(text);
    QCOMPARE(box.Text(), text);
}

void TestRichTextBox::changeIsRaisedForProgramEdits()
{
    RichTextBox box;
    QSignalSpy spy(&box, &RichTextBox::Change);
    box.setSelText(QStringLiteral("<"));
    QCOMPARE(spy.count(), 1);
    box.setText(QStringLiteral("x"));
    QVERIFY(spy.count() >= 2);
}

void TestRichTextBox::longLinesReadAsOneLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one long line") << kLong;
    QTest::newRow("between short lines") << kPage;
    QTest::newRow("two, with an empty line") << kLong + "\r\n\r\n" + kLong + "\r\n";
    // A cut would part the pair: the piece takes both halves.
    QTest::newRow("surrogate pair at a cut") << QString(LinePieces::kPieceLength - 1, u'x') +
                                                    QString::fromUcs4(U"\U0001F600") +
                                                    QString(LinePieces::kLongestPiece, u'y');
    QTest::newRow("chinese") << QString(2000, QChar(0x4E2D));
}

void TestRichTextBox::longLinesReadAsOneLine()
{
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(text);
    QVERIFY(box.document()->blockCount() > box.GetLineCount());
    QCOMPARE(box.document()->availableUndoSteps(), 0);
    verifyModel(box, text);
    box.setSelStart(text.size() - 3);
    QCOMPARE(box.GetCurrentLine(), text.left(text.size() - 3).count(QLatin1String("\r\n")) + 1);
}

void TestRichTextBox::editingAcrossPieces_data()
{
    // A script of keys and edits from a caret (model position): Text:abc
    // types, Insert:abc replaces the selection, Select:n selects n characters.
    QTest::addColumn<int>("caret");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCaret");
    const auto line = [](qsizetype at, qsizetype removed, const QString &inserted) {
        return "top\r\n" + QString(kLong).replace(at, removed, inserted) + "\r\nend";
    };
    const int b = kBoundary;
    const int piece = LinePieces::kPieceLength;
    QTest::newRow("backspace at a piece start")
        << b << QStringList{"Backspace"} << line(piece - 1, 1, "") << b - 1;
    QTest::newRow("delete at a piece end")
        << b - 1 << QStringList{"Right", "Delete"} << line(piece, 1, "") << b;
    QTest::newRow("right over a boundary")
        << b - 1 << QStringList{"Right", "Right"} << kPage << b + 1;
    QTest::newRow("left over a boundary") << b << QStringList{"Left"} << kPage << b - 1;
    QTest::newRow("enter at a piece start")
        << b << QStringList{"Enter"} << line(piece, 0, "\r\n") << b + 2;
    QTest::newRow("enter at a piece end")
        << b - 1 << QStringList{"Right", "Enter"} << line(piece, 0, "\r\n") << b + 2;
    QTest::newRow("enter inside a later piece")
        << b + 700 << QStringList{"Enter", "Text:x"} << line(piece + 700, 0, "\r\nx") << b + 703;
    QTest::newRow("home: piece, then line") << b + 100 << QStringList{"Home"} << kPage << b;
    QTest::newRow("home twice") << b + 100 << QStringList{"Home", "Home"} << kPage << 5;
    QTest::newRow("end twice") << b + 100 << QStringList{"End", "End"} << kPage << 3005;
    QTest::newRow("typing past the bound") << b + 300 << QStringList{"Text:" + QString(800, u'y')}
                                           << line(piece + 300, 0, QString(800, u'y')) << b + 1100;
    QTest::newRow("line breaks put into a piece") << b + 10 << QStringList{"Insert:A\r\nB\rC"}
                                                  << line(piece + 10, 0, "A\r\nB\r\nC") << b + 17;
    QTest::newRow("typing over a selection across pieces")
        << b - 5 << QStringList{"Select:1500", "Text:Z"} << line(piece - 5, 1500, "Z") << b - 4;
    QTest::newRow("typing over a selection from a piece start")
        << 5 + 4 * piece << QStringList{"Select:" + QString::number(3003 - 4 * piece), "Text:Z"}
        << "top\r\n" + kLong.left(4 * piece) + "Znd" << 6 + 4 * piece;
    QTest::newRow("line break taken back from an empty piece")
        << b << QStringList{"Enter", "Left", "Delete"} << kPage << b;
    QTest::newRow("deleting a selection across a line break")
        << 2 << QStringList{"Select:600", "Delete", "Enter"}
        << "to\r\n" + kLong.mid(597) + "\r\nend" << 4;
}

void TestRichTextBox::editingAcrossPieces()
{
    QFETCH(int, caret);
    QFETCH(QStringList, script);
    QFETCH(QString, expected);
    QFETCH(int, expectedCaret);
    RichTextBox box;
    box.setText(kPage);
    box.setSelStart(caret);
    const QMap<QString, Qt::Key> keys = {{"Backspace", Qt::Key_Backspace},
                                         {"Delete", Qt::Key_Delete},
                                         {"Enter", Qt::Key_Return},
                                         {"Left", Qt::Key_Left},
                                         {"Right", Qt::Key_Right},
                                         {"Home", Qt::Key_Home},
                                         {"End", Qt::Key_End}};
    for (const QString &step : script) {
        if (step.startsWith("Text:"))
            QTest::keyClicks(&box, step.mid(5));
        else if (step.startsWith("Insert:"))
            box.setSelText(step.mid(7));
        else if (step.startsWith("Select:"))
            box.setSelLength(step.mid(7).toInt());
        else
            QTest::keyClick(&box, keys.value(step));
    }
    verifyModel(box, expected);
    QCOMPARE(box.SelStart(), expectedCaret);
}

void TestRichTextBox::undoRevertsTheKeyWithItsCut()
{
    RichTextBox box;
    box.setText(kPage);
    box.setSelStart(kBoundary + 100);
    const int blocks = box.document()->blockCount();
    while (box.document()->blockCount() == blocks)
        QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Y);
    const QString typed = box.Text();
    // The run of typing, the cut it made among its keys, is one step.
    box.undo();
    verifyModel(box, kPage);
    QCOMPARE(box.document()->blockCount(), blocks);
    QVERIFY(!box.document()->isUndoAvailable());
    box.redo();
    verifyModel(box, typed);
}

void TestRichTextBox::clipboardJoinsPieces()
{
    RichTextBox box;
    box.setText(kPage);
    box.setSelStart(2);
    box.setSelLength(1200);
    const QString selected = kPage.mid(2, 1200);
    QCOMPARE(box.SelText(), selected);
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString(selected).replace("\r\n", "\n"));
    verifyModel(box, QString(kPage).remove(2, 1200));
    box.paste();
    verifyModel(box, kPage);
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
