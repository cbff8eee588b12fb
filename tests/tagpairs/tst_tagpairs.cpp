#include "editor/linenumbers.h"
#include "editor/richtextbox.h"
#include "tagpairs/tagpairs.h"
#include "tagpairs/tagsummaries.h"

#include <QCoreApplication>
#include <QTest>
#include <QTextBlock>

namespace {

// The area's text with "|" at the caret.
QString withCaret(RichTextBox &area)
{
    QString text = area.Text();
    text.insert(area.SelStart(), u'|');
    return text;
}

void setWithCaret(RichTextBox &area, QString text)
{
    const qsizetype caret = text.indexOf(u'|');
    text.remove(caret, 1);
    area.setText(text);
    area.setSelStart(caret);
}

// Types as the keyboard does, each key handled before the next one; at "~"
// the typing pauses (what the pairs' timer does then is done at once).
void type(RichTextBox &area, const QString &keys, TagPairs *pairs = nullptr)
{
    for (const QChar c : keys) {
        if (c == u'~')
            pairs->refresh();
        else if (c == u'\b')
            QTest::keyClick(&area, Qt::Key_Backspace);
        else
            QTest::keyClick(&area, c.toLatin1());
        QCoreApplication::processEvents();
    }
}

void undo(RichTextBox &area)
{
    QTest::keyClick(&area, Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
}

} // namespace

class TestTagPairs : public QObject {
    Q_OBJECT
private slots:
    void autoClose_data();
    void autoClose();
    void rename_data();
    void rename();
    void marks_data();
    void marks();
    void farEdits_data();
    void farEdits();
    void lineNumbers_data();
    void lineNumbers();
};

void TestTagPairs::autoClose_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");
    // After one Ctrl+Z: the end tag put in goes alone; typing goes as a whole.
    QTest::addColumn<QString>("undone");

    QTest::newRow("start tag") << true << "|"
                               << "<div>"
                               << "<div>|</div>"
                               << "<div>|";
    QTest::newRow("attributes") << true << "a|b"
                                << "<p class=\"x\">"
                                << "a<p class=\"x\">|</p>b"
                                << "a<p class=\"x\">|b";
    QTest::newRow("upper case") << true << "|"
                                << "<DIV>"
                                << "<DIV>|</DIV>"
                                << "<DIV>|";
    QTest::newRow("switched off") << false << "|"
                                  << "<div>"
                                  << "<div>|"
                                  << "|";
    QTest::newRow("void") << true << "|"
                          << "<br>"
                          << "<br>|"
                          << "|";
    QTest::newRow("self-closing") << true << "|"
                                  << "<x/>"
                                  << "<x/>|"
                                  << "|";
    QTest::newRow("end follows") << true << "|</div>"
                                 << "<div>"
                                 << "<div>|</div>"
                                 << "|</div>";
    QTest::newRow("in script") << true << "<script>|</script>"
                               << "<b>"
                               << "<script><b>|</script>"
                               << "<script>|</script>";
    QTest::newRow("in comment") << true << "<!-- | -->"
                                << "<b>"
                                << "<!-- <b>| -->"
                                << "<!-- | -->";
    QTest::newRow("in a value") << true << "<a title=\"|\">"
                                << "x>"
                                << "<a title=\"x>|\">"
                                << "<a title=\"|\">";
    QTest::newRow("end tag typed") << true << "<b>x|"
                                   << "</"
                                   << "<b>x</b>|"
                                   << "<b>x</|";
    QTest::newRow("innermost open") << true << "<div><ul><li>a|"
                                    << "</"
                                    << "<div><ul><li>a</li>|"
                                    << "<div><ul><li>a</|";
    QTest::newRow("after a closed one") << true << "<div><b>x</b>|"
                                        << "</"
                                        << "<div><b>x</b></div>|"
                                        << "<div><b>x</b></|";
    QTest::newRow("nothing open") << true << "a|"
                                  << "</"
                                  << "a</|"
                                  << "a|";
    QTest::newRow("end in comment") << true << "<b><!-- | -->"
                                    << "</"
                                    << "<b><!-- </| -->"
                                    << "<b><!-- | -->";
}

void TestTagPairs::autoClose()
{
    QFETCH(bool, on);
    QFETCH(QString, page);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, undone);
    RichTextBox area;
    TagPairs pairs(area);
    pairs.setAutoClose(on);
    pairs.setSyncRename(false);
    setWithCaret(area, page);
    type(area, keys);
    QCOMPARE(withCaret(area), typed);
    undo(area);
    QCOMPARE(withCaret(area), undone);
}

void TestTagPairs::rename_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");

    QTest::newRow("start tag") << true << "<di|v>a</div>"
                               << "x"
                               << "<dix|v>a</dixv>";
    QTest::newRow("end tag") << true << "<div>a</div|>"
                             << "x"
                             << "<divx>a</divx|>";
    QTest::newRow("backspace") << true << "<div|>a</div>"
                               << "\b"
                               << "<di|>a</di>";
    QTest::newRow("inner of two") << true << "<div><di|v></div></div>"
                                  << "x"
                                  << "<div><dix|v></dixv></div>";
    QTest::newRow("other line") << true << "<ul|>\r\n<li>a\r\n</ul>"
                                << "x"
                                << "<ulx|>\r\n<li>a\r\n</ulx>";
    QTest::newRow("upper case") << true << "<DIV|>a</DIV>"
                                << "X"
                                << "<DIVX|>a</DIVX>";
    QTest::newRow("blank ends the name") << true << "<di|v>a</div>"
                                         << " "
                                         << "<di |v>a</div>";
    QTest::newRow("switched off") << false << "<di|v>a</div>"
                                  << "x"
                                  << "<dix|v>a</div>";
    QTest::newRow("no partner") << true << "<p|>a<p>b"
                                << "x"
                                << "<px|>a<p>b";
    QTest::newRow("keys in a row") << true << "<d|>a\r\n<p>b</p>\r\n</d>"
                                   << "iv"
                                   << "<div|>a\r\n<p>b</p>\r\n</div>";
    QTest::newRow("keys in a row, end tag") << true << "<div><b>a</b></div|>"
                                            << "x\bxy"
                                            << "<divxy><b>a</b></divxy|>";
    QTest::newRow("through a name paired otherwise") << true << "<pre|>x<div>y</div></pre>"
                                                     << "\b\bx"
                                                     << "<px|>x<div>y</div></px>";
    QTest::newRow("a pause at a name paired otherwise") << true << "<pre|>x<div>y</div></pre>"
                                                        << "\b\b~x"
                                                        << "<px|>x<div>y</div></p>";
    QTest::newRow("a pause at a name still paired") << true << "<pre|>x</pre>"
                                                    << "\b~x"
                                                    << "<prx|>x</prx>";
}

void TestTagPairs::rename()
{
    QFETCH(bool, on);
    QFETCH(QString, page);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    RichTextBox area;
    TagPairs pairs(area);
    pairs.setSyncRename(on);
    setWithCaret(area, page);
    type(area, keys, &pairs);
    QCOMPARE(withCaret(area), typed);
    // One undo step a key takes back the key with the partner's edit.
    for (qsizetype k = QString(keys).remove(u'~').size(); k > 0; --k)
        undo(area);
    QCOMPARE(area.Text(), QString(page).remove(u'|'));
}

// What is marked after the keys: while a name is renamed both names, as
// they now read; a name that no longer pairs, alone.
void TestTagPairs::marks_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("marked");

    QTest::newRow("inside the name") << "<di|v>a\r\n</div>"
                                     << "xy" << QStringList{"dixyv", "dixyv"};
    QTest::newRow("at the name's end") << "<div|>a</div>"
                                       << "xy" << QStringList{"divxy", "divxy"};
    QTest::newRow("at the name's start") << "<|div>a</div>"
                                         << "x" << QStringList{"xdiv", "xdiv"};
    QTest::newRow("from the end tag") << "<div>a</div|>"
                                      << "x\bz" << QStringList{"divz", "divz"};
    QTest::newRow("a pause at a name paired otherwise") << "<pre|>x<div>y</div></pre>"
                                                        << "\b\b~" << QStringList{"p"};
    QTest::newRow("no partner") << "<b|r>"
                                << "" << QStringList{"br"};
}

void TestTagPairs::marks()
{
    QFETCH(QString, page);
    QFETCH(QString, keys);
    QFETCH(QStringList, marked);
    RichTextBox area;
    TagPairs pairs(area);
    setWithCaret(area, page);
    QCoreApplication::processEvents();
    type(area, keys, &pairs);
    QCoreApplication::processEvents();
    QStringList names;
    for (const RichTextBox::Underlay &mark : area.underlays())
        names << mark.range.selectedText();
    QCOMPARE(names, marked);
}

// A <ul> closes the <p> open far above the <span> with it; what the
// searches read back from one key to the next follows edits of those lines.
void TestTagPairs::farEdits_data()
{
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<bool>("paired");
    QTest::newRow("typing in the name") << "<p>  start"
                                        << "x\b"
                                        << "<p>  start" << false;
    QTest::newRow("the far <p> made a <div>") << "<p>  start"
                                              << ""
                                              << "<div>start" << true;
    QTest::newRow("a far <div> made a <p>") << "<div>start"
                                            << ""
                                            << "<p>  start" << false;
    QTest::newRow("the far <p> closed") << "<p>  start"
                                        << ""
                                        << "<p>start</p>" << true;
    QTest::newRow("a far closed <p>") << "<p>start</p>"
                                      << "x\b"
                                      << "<p>start</p>" << true;
    QTest::newRow("renamed, then the far <div> made a <p>") << "<div>start"
                                                            << "x"
                                                            << "<p>  start" << false;
}

void TestTagPairs::farEdits()
{
    QFETCH(QString, firstLine);
    QFETCH(QString, keys);
    QFETCH(QString, replaced);
    QFETCH(bool, paired);
    QString page = firstLine + u'\n';
    for (int i = 0; i < 300; ++i)
        page += QStringLiteral("text of line %1\n").arg(i);
    page += QStringLiteral("<span>a<ul><li>b</ul>c</span>\n");
    RichTextBox area;
    TagPairs pairs(area);
    area.setText(page);
    QTextCursor caret = area.document()->find(QStringLiteral("<span>"));
    caret.setPosition(caret.selectionStart() + 3);
    area.setTextCursor(caret);
    pairs.refresh();
    QVERIFY(pairs.shown());
    type(area, keys);
    QTextCursor first(area.document());
    first.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    first.insertText(replaced);
    pairs.refresh();
    QVERIFY(pairs.shown());
    QCOMPARE(pairs.shown()->element.status == TagMatcher::Status::Paired, paired);
    // Again once the lines were summed up in a pause.
    QTRY_VERIFY(pairs.summaryFill().done());
    pairs.refresh();
    QCOMPARE(pairs.shown()->element.status == TagMatcher::Status::Paired, paired);
    // The same as a search that kept nothing.
    TagSummaries::of(*area.document())->clear();
    TagPairs fresh(area);
    fresh.refresh();
    QCOMPARE(fresh.shown()->element.status, pairs.shown()->element.status);
}

void TestTagPairs::lineNumbers_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("keys"); // typed at the page's end

    const QString longLine(1000, u'x');
    QTest::newRow("short lines") << "a\nb\nc"
                                 << "";
    QTest::newRow("long line") << "a\n" + longLine + "\nb"
                               << "";
    QTest::newRow("long lines only") << longLine + "\n" + longLine << "";
    QTest::newRow("line typed after") << "a\n" + longLine << "\rz";
    QTest::newRow("empty page") << ""
                                << "";
}

void TestTagPairs::lineNumbers()
{
    QFETCH(QString, page);
    QFETCH(QString, keys);
    RichTextBox area;
    LineNumbers numbers(area);
    numbers.setOn(true);
    area.setText(page);
    area.moveCursor(QTextCursor::End);
    for (const QChar c : keys)
        QTest::keyClick(&area, c == u'\r' ? Qt::Key_Return : Qt::Key(c.toUpper().unicode()));
    // One number a line, on its first row, counting as the status line does.
    int expected = 0;
    for (QTextBlock block = area.document()->begin(); block.isValid(); block = block.next()) {
        const bool first = !area.isContinuation(block);
        if (first)
            ++expected;
        QCOMPARE(numbers.numberOf(block.blockNumber()), first ? expected : 0);
    }
    QCOMPARE(expected, area.GetLineCount());
    QVERIFY(area.viewport()->x() >= numbers.width());
}

QTEST_MAIN(TestTagPairs)
#include "tst_tagpairs.moc"
