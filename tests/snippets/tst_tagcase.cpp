#include "editor/richtextbox.h"
#include "snippets/tagcase.h"

#include <QTest>
#include <QTextDocument>

class TestTagCase : public QObject {
    Q_OBJECT
private slots:
    void namesOnly_data();
    void namesOnly();
};

void TestTagCase::namesOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("expected");

    QTest::newRow("page to lower case") << R"(<A HREF="X">Hi <B>There</B></A>)" << 0 << 0 << false
                                        << R"(<a href="X">Hi <b>There</b></a>)";
    QTest::newRow("page to upper case")
        << "<p class=intro>text</p>" << 0 << 0 << true << "<P CLASS=intro>text</P>";
    QTest::newRow("values, text, comments, entities and doctype stay")
        << R"(<!DOCTYPE html><!-- <b> --><a title="<b>">&amp; b</a>)" << 0 << 0 << true
        << R"(<!DOCTYPE html><!-- <b> --><A TITLE="<b>">&amp; b</A>)";
    QTest::newRow("scripts and style sheets stay")
        << R"(<script>if (a<b) x = "</b>";</script><style>b { color: Red }</style>)" << 0 << 0
        << true << R"(<SCRIPT>if (a<b) x = "</b>";</SCRIPT><STYLE>b { color: Red }</STYLE>)";
    QTest::newRow("only the selection") << "<a><b><c>" << 3 << 3 << true << "<a><B><c>";
    QTest::newRow("selection beginning in a comment")
        << "<!-- <b> --><i>" << 5 << 10 << true << "<!-- <b> --><I>";
    QTest::newRow("selection cutting a name") << "<abc>" << 2 << 1 << true << "<aBc>";
    QTest::newRow("lines") << "<A>\r\n<B\r\nC=1>" << 0 << 0 << false << "<a>\r\n<b\r\nc=1>";
    QTest::newRow("longer in upper case")
        << QStringLiteral("<straße>x</straße>") << 0 << 0 << true << "<STRASSE>x</STRASSE>";
    QTest::newRow("selection over lines, a name growing")
        << QStringLiteral("<a>\r\n<straße x>\r\n<b>") << 5 << 12 << true
        << QStringLiteral("<a>\r\n<STRASSE X>\r\n<b>");
    QTest::newRow("non-breaking spaces kept") << QStringLiteral("<A>\u00a0x\r\n\u00a0<B>") << 0 << 0
                                              << false << QStringLiteral("<a>\u00a0x\r\n\u00a0<b>");
    QTest::newRow("nothing to change") << "<a>TEXT</a>" << 0 << 0 << false << "<a>TEXT</a>";
    const QString longLine = QStringLiteral("<P CLASS=x>") + QString(1500, u'y');
    QTest::newRow("a long line stays one line")
        << longLine + "<BR>\r\n" + longLine << 0 << 0 << false
        << QString(longLine).replace("<P CLASS", "<p class") + "<br>\r\n" +
               QString(longLine).replace("<P CLASS", "<p class");
}

// Through the editing area: one undo takes the change back and one redo
// brings it again, nothing is recorded when nothing changes, and the
// selection stays where it was.
void TestTagCase::namesOnly()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(bool, upper);
    QFETCH(QString, expected);

    RichTextBox box;
    box.setText(text);
    box.document()->setModified(false);
    box.setSelStart(selStart);
    box.setSelLength(selLength);
    const int steps = box.document()->availableUndoSteps();
    TagCase::apply(box, upper);

    QCOMPARE(box.Text(), expected);
    QCOMPARE(box.SelStart(), selStart);
    if (selLength > 0)
        QCOMPARE(box.SelText(), expected.mid(selStart, box.SelLength()));
    const bool changed = expected != text;
    QCOMPARE(box.document()->isModified(), changed);
    if (!changed) {
        QCOMPARE(box.document()->availableUndoSteps(), steps);
        return;
    }
    box.undo();
    QCOMPARE(box.Text(), text);
    box.redo();
    QCOMPARE(box.Text(), expected);
}

QTEST_MAIN(TestTagCase)
#include "tst_tagcase.moc"
