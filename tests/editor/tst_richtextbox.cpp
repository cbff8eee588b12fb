#include "editor/richtextbox.h"

#include <QSignalSpy>
#include <QTest>

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

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
