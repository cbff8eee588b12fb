#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "editor/slicedtextcopy.h"

#include <QTest>
#include <QTextBlock>

namespace {

// A page of several parts: short lines with line breaks of three kinds, two
// long lines held as pieces, and a run of empty lines (many blocks, few
// characters).
QString mixedPage()
{
    QString page;
    for (int line = 0; line < 15000; ++line) {
        if (line == 100 || line == 3000) {
            for (int i = 0; i < 3000; ++i)
                page += QChar(u'a' + i % 26);
        } else if (line < 8000 || line >= 13000) {
            page += QStringLiteral("<p>第 %1 行 text</p>").arg(line);
        }
        page += line % 7 == 3 ? u"\n" : line % 11 == 5 ? u"\r" : u"\r\n";
    }
    return page + QStringLiteral("<end>");
}

enum Anchor { PageStart, CopiedEnd, LongLine, PageEnd };

} // namespace

class TestSlicedTextCopy : public QObject {
    Q_OBJECT
private slots:
    void followsEditsWhileCopying_data();
    void followsEditsWhileCopying();
};

void TestSlicedTextCopy::followsEditsWhileCopying_data()
{
    QTest::addColumn<int>("slices");  // copied before the edit
    QTest::addColumn<int>("anchor");  // where the edit's widget position counts from
    QTest::addColumn<int>("offset");  // from the anchor
    QTest::addColumn<int>("removed"); // widget characters; -1: to the end of the page
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<bool>("undo");       // the edit is undone again
    QTest::addColumn<bool>("everySlice"); // the edit is made again after every slice
    QTest::addColumn<int>("unifyTo");     // on a page of CR LF, every line break made of this kind

    const QString longText(1500, u'w');
    QTest::newRow("typed in the first part")
        << 2 << int(PageStart) << 100 << 0 << "x" << false << false << -1;
    QTest::newRow("removed in a later part")
        << 2 << int(CopiedEnd) << -20000 << 30 << "" << false << false << -1;
    QTest::newRow("line break typed in") << 2 << int(PageStart) << 500 << 0 << "\n"
                                         << false << false << -1;
    QTest::newRow("lines joined across a part's end")
        << 2 << int(PageStart) << 0 << 0 << "" << false << false << -1; // replaced below
    QTest::newRow("typed at the copy's end")
        << 1 << int(CopiedEnd) << 0 << 0 << "y" << false << false << -1;
    QTest::newRow("line break at the copy's end removed")
        << 1 << int(CopiedEnd) << 0 << 1 << "" << false << false << -1;
    QTest::newRow("straddling the copy's end")
        << 1 << int(CopiedEnd) << -20 << 40 << "新\n行" << false << false << -1;
    QTest::newRow("at the start of the first line not copied")
        << 1 << int(CopiedEnd) << 1 << 0 << "z\r\n"
        << false << false << -1;
    QTest::newRow("far after the copy")
        << 1 << int(PageEnd) << -3 << 0 << "end" << false << false << -1;
    QTest::newRow("typed in a piece of a long line")
        << 1 << int(LongLine) << 700 << 0 << "q" << false << false << -1;
    QTest::newRow("removed across a boundary of pieces")
        << 1 << int(LongLine) << 250 << 20 << "" << false << false << -1;
    QTest::newRow("long text pasted makes pieces")
        << 2 << int(PageStart) << 200 << 0 << longText << false << false << -1;
    QTest::newRow("long line joined with the next")
        << 1 << int(LongLine) << 3002 << 1 << "" << false << false << -1;
    QTest::newRow("line breaks pasted and undone")
        << 2 << int(PageStart) << 1000 << 10 << "a\nb\rc\r\nd" << true << false << -1;
    QTest::newRow("page replaced")
        << 2 << int(PageStart) << 0 << -1 << "new\r\npage" << false << false << -1;
    QTest::newRow("typing at the start all along")
        << 1 << int(PageStart) << 5 << 0 << "k" << false << true << -1;
    QTest::newRow("typing at the copy's end all along")
        << 1 << int(CopiedEnd) << 0 << 0 << "k" << false << true << -1;
    QTest::newRow("pressing Enter in the copy all along") << 1 << int(CopiedEnd) << -10 << 0 << "\n"
                                                          << false << true << -1;
    QTest::newRow("line breaks made LF")
        << 2 << int(PageStart) << 0 << 0 << "" << false << false << int(LineBreak::Lf);
    QTest::newRow("line breaks made LF and undone")
        << 2 << int(PageStart) << 0 << 0 << "" << true << false << int(LineBreak::Lf);
}

void TestSlicedTextCopy::followsEditsWhileCopying()
{
    QFETCH(int, slices);
    QFETCH(int, anchor);
    QFETCH(int, offset);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QFETCH(bool, undo);
    QFETCH(bool, everySlice);
    QFETCH(int, unifyTo);

    RichTextBox box;
    LineBreaks::Split page = LineBreaks::split(mixedPage());
    // Made of one kind, the page's main kind changes with no change to the
    // document.
    if (unifyTo >= 0)
        page.odd.clear();
    box.setPageText(std::move(page));
    QTextDocument *document = box.document();
    SlicedTextCopy copy(document, box.pieces());
    const int longLine = document->findBlockByNumber(100).position();
    if (QByteArray(QTest::currentDataTag()) == "lines joined across a part's end") {
        copy.copyMore();
        anchor = CopiedEnd;
        offset = -5;
        removed = 10;
    }

    const auto edit = [&] {
        const int anchors[] = {0, copy.copiedTo(), longLine, document->characterCount() - 1};
        const int from = qBound(0, anchors[anchor] + offset, document->characterCount() - 1);
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(from);
        cursor.setPosition(removed < 0 ? document->characterCount() - 1
                                       : qMin(from + removed, document->characterCount() - 1),
                           QTextCursor::KeepAnchor);
        box.setTextCursor(cursor);
        box.setSelText(inserted);
        if (unifyTo >= 0)
            box.unifyLineBreaks(LineBreak(unifyTo));
        if (undo)
            box.undo();
    };

    bool complete = false;
    for (int slice = 0; slice < slices; ++slice)
        complete = copy.copyMore();
    QVERIFY2(!complete, "the page takes more slices than the test copies before its edit");
    edit();
    // Copying goes on, and the parts that an edit touches are copied again,
    // even when a key comes after every slice.
    int more = 0;
    while (!copy.copyMore()) {
        QVERIFY(++more < 1000);
        if (everySlice)
            edit();
    }
    QCOMPARE(TextCopy::joined(copy.takeParts()), box.pageText());
}

QTEST_MAIN(TestSlicedTextCopy)
#include "tst_slicedtextcopy.moc"
