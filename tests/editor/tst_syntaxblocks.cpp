#include "editor/blockwatch.h"
#include "editor/richtextbox.h"
#include "editor/syntaxblocks.h"

#include <QPlainTextDocumentLayout>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Replaces removed characters at the line and column by text.
struct Edit {
    int line;
    int column;
    int removed;
    QString text;
};

void apply(QTextDocument &document, const Edit &edit)
{
    QTextCursor cursor(document.findBlockByNumber(edit.line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, edit.column);
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, edit.removed);
    cursor.insertText(edit.text);
}

} // namespace

Q_DECLARE_METATYPE(QList<Edit>)

class TestSyntaxBlocks : public QObject {
    Q_OBJECT
private slots:
    void statesAsAFreshScan_data();
    void statesAsAFreshScan();
    void pieceBoundaryIsNoLineBreak();
    void blocksKeptOrNot_data();
    void blocksKeptOrNot();
};

void TestSyntaxBlocks::statesAsAFreshScan_data()
{
    QTest::addColumn<QList<Edit>>("edits");
    QTest::addColumn<int>("askedFirst"); // a block whose state is asked between the edits

    QTest::newRow("comment opened") << QList<Edit>{{0, 0, 0, "<!--"}} << -1;
    QTest::newRow("comment opened, then closed further down")
        << QList<Edit>{{0, 0, 0, "<!--"}, {200, 0, 0, "-->"}} << 100;
    QTest::newRow("a tag left open, then a comment further down")
        << QList<Edit>{{3, 8, 0, " <a"}, {300, 0, 0, "<!--"}} << -1;
    QTest::newRow("a tag left open, asked past, then a comment further down")
        << QList<Edit>{{3, 8, 0, " <a"}, {300, 0, 0, "<!--"}} << 10;
    QTest::newRow("a tag left open, then lines put in further down")
        << QList<Edit>{{3, 8, 0, " <a"}, {300, 0, 0, "<!--\n"}} << -1;
    QTest::newRow("lines joined after a change")
        << QList<Edit>{{3, 8, 0, " <a"}, {300, 8, 1, ""}, {250, 0, 0, "<script>"}} << 5;
    QTest::newRow("a line break replaced, the second line left open")
        << QList<Edit>{{3, 3, 14, "y</b>\n<b>y<a "}} << -1;
    QTest::newRow("lines split in a script")
        << QList<Edit>{{0, 0, 0, "<script>"}, {100, 3, 0, "\n'\n"}, {399, 0, 0, "</script>"}} << 50;
}

// After the edits, every block's end state is what a scan of the whole text
// from its start gives, whichever blocks were asked for in between.
void TestSyntaxBlocks::statesAsAFreshScan()
{
    QFETCH(QList<Edit>, edits);
    QFETCH(int, askedFirst);

    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("<b>x</b>");
    document.setPlainText(lines.join(u'\n'));
    SyntaxBlocks blocks(&document);
    blocks.stateBefore(document.lastBlock(), document.blockCount() - 1);

    for (const Edit &edit : edits) {
        apply(document, edit);
        if (askedFirst >= 0)
            blocks.stateBefore(document.findBlockByNumber(askedFirst), askedFirst);
    }
    blocks.stateBefore(document.lastBlock(), document.blockCount() - 1);
    HtmlScanner::State fresh;
    for (QTextBlock block = document.begin(); block.next().isValid(); block = block.next()) {
        fresh = HtmlScanner::scan(block.text(), fresh, true);
        QVERIFY2((block.userState() & SyntaxMarks::kStateMask) == fresh.toInt(),
                 qPrintable(QString::number(block.blockNumber())));
    }
}

// Where a long line is kept in several blocks, the scanner reads on across
// their boundary as within one line: a tag cut there stays a tag.
void TestSyntaxBlocks::pieceBoundaryIsNoLineBreak()
{
    RichTextBox box;
    const QString line =
        QString(255, u'x') + QStringLiteral("<table class=\"") + QString(600, u'y');
    box.setText(line);
    const QTextBlock second = box.document()->findBlockByNumber(1);
    QVERIFY(box.isContinuation(second));
    SyntaxBlocks blocks(box.document());
    const int firstPiece = second.position() - 1;
    QCOMPARE(blocks.stateBefore(second, 1),
             HtmlScanner::scan(QStringView(line).left(firstPiece), {}, false));
}

void TestSyntaxBlocks::blocksKeptOrNot_data()
{
    QTest::addColumn<QString>("text");
    // Typed at the end of the first line, or "clear" or "set" for the whole
    // text set anew.
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("kept");
    QTest::newRow("letter") << "ab\ncd"
                            << "x" << true;
    QTest::newRow("line break") << "ab\ncd"
                                << "\n"
                                << false;
    QTest::newRow("lines cleared") << "ab\ncd"
                                   << "clear" << false;
    QTest::newRow("one line cleared") << "ab"
                                      << "clear" << false;
    QTest::newRow("one line set anew") << "ab"
                                       << "set" << false;
    QTest::newRow("empty page set anew") << ""
                                         << "set" << false;
}

// Blocks held from before a change may be used after it only when they are
// still the document's: a one-line page set anew holds as many blocks, none
// of them the old one.
void TestSyntaxBlocks::blocksKeptOrNot()
{
    QFETCH(QString, text);
    QFETCH(QString, change);
    QFETCH(bool, kept);
    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    document.setPlainText(text);
    BlockWatch watch(&document);
    bool allKept = true;
    connect(&document, &QTextDocument::contentsChange, &document,
            [&](int, int removed, int added) { allKept &= watch.step(removed, added).blocksKept; });
    if (change == QLatin1String("clear")) {
        document.clear();
    } else if (change == QLatin1String("set")) {
        document.setPlainText(QStringLiteral("xy"));
    } else {
        QTextCursor cursor(document.begin());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(change);
    }
    QCOMPARE(allKept, kept);
}

QTEST_MAIN(TestSyntaxBlocks)
#include "tst_syntaxblocks.moc"
