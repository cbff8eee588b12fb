#include "editor/htmlscanner.h"
#include "editor/richtextbox.h"
#include "editor/syntaxblocks.h"
#include "editor/syntaxcolouring.h"
#include "editor/syntaxpalette.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <memory>

namespace {

QString repeatedLines(const QString &line, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << line;
    return lines.join(u'\n');
}

// An editing area in view, with or without colouring, whose document's
// notifications are written down.
struct Area {
    RichTextBox box;
    SyntaxColouring *colouring;
    QStringList notes;

    Area(const QString &text, bool on, bool seenWhole = false)
        : colouring(new SyntaxColouring(&box))
    {
        box.resize(420, 260);
        box.setText(text);
        colouring->setOn(on);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        if (seenWhole) // its states are all known
            scrollTo(box.document()->blockCount());
        scrollTo(0);
        QObject::connect(
            box.document(), &QTextDocument::contentsChange, &box,
            [this](int from, int removed, int added) {
                notes << QStringLiteral("change %1 %2 %3").arg(from).arg(removed).arg(added);
            });
        QObject::connect(&box, &RichTextBox::Change, &box, [this] { notes << "Change"; });
        QObject::connect(
            box.document(), &QTextDocument::modificationChanged, &box,
            [this](bool modified) { notes << QStringLiteral("modified %1").arg(modified); });
    }

    void paint()
    {
        if (!eventLoopPaints)
            box.viewport()->repaint();
        // What a paint asks for is posted, and painted in a later round.
        for (int round = 0; round < 4; ++round)
            QCoreApplication::processEvents();
    }
    void state()
    {
        const QTextDocument *document = box.document();
        notes << QStringLiteral("undo %1 redo %2 modified %3")
                     .arg(document->availableUndoSteps())
                     .arg(document->availableRedoSteps())
                     .arg(document->isModified());
    }
    // Types the keys ("\n" Enter, "\b" Backspace) at the line and column,
    // painting after each; or, when direct, inserts them at once through the
    // document, the view staying where it is. Then undoes as many steps when
    // undo is set.
    void edit(int line, int column, const QString &keys, bool direct, bool undo)
    {
        QTextCursor cursor(box.document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        if (direct) {
            cursor.insertText(keys);
            paint();
            state();
        } else {
            box.setTextCursor(cursor);
        }
        for (const QChar key : direct ? QString() : keys) {
            if (key == u'\n')
                QTest::keyClick(&box, Qt::Key_Return);
            else if (key == u'\b')
                QTest::keyClick(&box, Qt::Key_Backspace);
            else
                QTest::keyClicks(&box, QString(key));
            paint();
            state();
        }
        for (int step = 0; undo && step < (direct ? 1 : keys.size()); ++step) {
            box.undo();
            paint();
            state();
        }
    }
    // Painted only as the event loop paints what changed, never as a whole.
    bool eventLoopPaints = false;
    void scrollTo(int line)
    {
        box.verticalScrollBar()->setValue(line);
        paint();
    }
    // The last line in view, if only in part.
    int bottomLine() const
    {
        return box.cursorForPosition(QPoint(0, box.viewport()->height() - 1)).blockNumber();
    }
};

// Colours as letters: . none, T tag, A attribute, V value or string,
// C comment, D declaration, E entity or number, K keyword.
QChar letterOf(const QColor &color, const SyntaxPalette &palette)
{
    static const char letters[] = ".TAVCDEVEK";
    for (int kind = HtmlScanner::Tag; kind < HtmlScanner::KindCount; ++kind) {
        if (palette.color(HtmlScanner::Kind(kind)) == color)
            return QLatin1Char(letters[kind]);
    }
    return u'?';
}

// The colours the block's layout holds.
QString shownColours(const QTextBlock &block, const SyntaxPalette &palette)
{
    QString letters(block.length() - 1, u'.');
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        for (int i = range.start; i < range.start + range.length; ++i)
            letters[i] = letterOf(range.format.foreground().color(), palette);
    }
    return letters;
}

// The colours a scan of the whole text from its start gives the line.
QString freshColours(const QTextDocument *document, int line, const SyntaxPalette &palette)
{
    HtmlScanner::State state;
    QTextBlock block = document->begin();
    for (; block.blockNumber() < line; block = block.next())
        state = HtmlScanner::scan(block.text(), state, true);
    std::vector<HtmlScanner::Kind> kinds(size_t(block.length() - 1), HtmlScanner::Plain);
    HtmlScanner::scan(block.text(), state, true, kinds.data());
    QString letters;
    for (const HtmlScanner::Kind kind : kinds)
        letters +=
            kind == HtmlScanner::Plain ? QChar(u'.') : letterOf(palette.color(kind), palette);
    return letters;
}

int blocksWithFormats(const QTextDocument *document)
{
    int count = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        count += block.layout()->formats().isEmpty() ? 0 : 1;
    return count;
}

} // namespace

class TestSyntaxColouring : public QObject {
    Q_OBJECT
private slots:
    void followsEditsAndChangesNothing_data();
    void followsEditsAndChangesNothing();
    void linesBelowFollowWithoutWholePaints_data();
    void linesBelowFollowWithoutWholePaints();
    void editedLineColouredAsItIsLaidOut_data();
    void editedLineColouredAsItIsLaidOut();
    void linesBroughtIntoViewByLowerLines();
    void onlyShownLinesGetFormats();
    void switchedOffLeavesNoFormats();
    void coloursFollowTheBackground();
    void selectionDrawnOverColours();
    void readableOnBackgrounds_data();
    void readableOnBackgrounds();
};

void TestSyntaxColouring::followsEditsAndChangesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("direct");
    QTest::addColumn<bool>("undo");

    const QString page = repeatedLines(QStringLiteral("<p class=a>x &amp; y</p>"), 400);
    QTest::newRow("comment opened at the top") << page << 0 << 0 << "<!--" << false << false;
    QTest::newRow("comment opened and undone") << page << 0 << 0 << "<!--" << false << true;
    QTest::newRow("comment closed again")
        << QStringLiteral("<!--\n") + page << 0 << 4 << "-->" << false << false;
    QTest::newRow("tag left open at a line end") << page << 3 << 24 << " <a" << false << false;
    QTest::newRow("script opened") << page << 2 << 0 << "<script>" << false << false;
    QTest::newRow("text typed after a tag") << page << 4 << 24 << "ab\bc" << false << false;
    QTest::newRow("lines joined and split") << page << 5 << 0 << "\b\b\n\n" << false << false;
    QTest::newRow("line break inside a tag") << page << 1 << 2 << "\n" << false << true;
    QTest::newRow("lines put in out of view open a comment")
        << page << 300 << 0 << "a\n<!--b" << true << false;
    QTest::newRow("lines put in out of view and undone") << page << 300 << 0 << "<!--\n\n"
                                                         << true << true;
}

// Whatever the edits, the lines in view and far below show what a scan of
// the whole text gives them; and the text, the undo history, the modified
// flag and the change notifications are the same as without colouring.
void TestSyntaxColouring::followsEditsAndChangesNothing()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(bool, direct);
    QFETCH(bool, undo);

    Area coloured(text, true, true);
    Area plain(text, false, true);
    coloured.edit(line, column, keys, direct, undo);
    plain.edit(line, column, keys, direct, undo);
    QCOMPARE(coloured.box.Text(), plain.box.Text());
    QCOMPARE(coloured.notes, plain.notes);

    const QTextDocument *document = coloured.box.document();
    const SyntaxPalette &palette = coloured.colouring->palette();
    for (const int top : {0, document->blockCount() - 8}) {
        coloured.scrollTo(top);
        for (int shown = top; shown < top + 6; ++shown) {
            QCOMPARE(shownColours(document->findBlockByNumber(shown), palette),
                     freshColours(document, shown, palette));
        }
    }
}

void TestSyntaxColouring::linesBelowFollowWithoutWholePaints_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("top");
    // A line whose end is left open by another edit just before the keys,
    // with no paint between; -1 when none.
    QTest::addColumn<int>("alsoOpened");

    const QString page = repeatedLines(QStringLiteral("<p class=a>x &amp; y</p>"), 400);
    QTest::newRow("comment opened at the top") << page << 0 << 0 << "<!--" << 0 << -1;
    QTest::newRow("comment closed again")
        << QStringLiteral("<!--\n") + page << 0 << 4 << "-->" << 0 << -1;
    QTest::newRow("tag left open at a line end") << page << 3 << 24 << " <a" << 0 << -1;
    QTest::newRow("two lines left open between paints") << page << 3 << 24 << "\b" << 0 << 6;
    // A few lines down: the area scrolls what it shows and paints the rest.
    QTest::newRow("typed after scrolling") << page << 8 << 0 << "<b x=1>" << 3 << -1;
}

// With nothing but the event loop painting, every line in view shows what a
// scan of the whole text gives it: after a change of states, which repaints
// only the lines it reaches, and after a scroll that brings lines into view.
void TestSyntaxColouring::linesBelowFollowWithoutWholePaints()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(int, top);
    QFETCH(int, alsoOpened);

    Area area(text, true, true);
    area.eventLoopPaints = true;
    area.scrollTo(top);
    if (alsoOpened >= 0) {
        QTextCursor cursor(area.box.document()->findBlockByNumber(alsoOpened));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(" <b"));
    }
    area.edit(line, column, keys, false, false);
    const QTextDocument *document = area.box.document();
    const SyntaxPalette &palette = area.colouring->palette();
    const int bottom = area.bottomLine();
    QVERIFY(bottom > top + 4);
    for (int shown = top; shown <= bottom; ++shown) {
        QCOMPARE(shownColours(document->findBlockByNumber(shown), palette),
                 freshColours(document, shown, palette));
    }
}

void TestSyntaxColouring::editedLineColouredAsItIsLaidOut_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");

    QTest::newRow("letter in a tag name") << 2 << "b";
    QTest::newRow("backspace in an attribute value") << 10 << "\b";
    QTest::newRow("tag opened in the text") << 12 << "<i";
    QTest::newRow("text after the last tag") << 24 << "xy";
    QTest::newRow("first character taken") << 1 << "\b";
    QTest::newRow("tag left open at the line end") << 24 << "<t";
}

// A key on a line in view leaves the line with its new colours as soon as
// the edit is made, before any paint. What is repainted is that line, and
// the next one when the key changed the state the line ends in; never the
// whole view. Each line holds a Chinese character, which makes it taller
// than the font's own line.
void TestSyntaxColouring::editedLineColouredAsItIsLaidOut()
{
    QFETCH(int, column);
    QFETCH(QString, keys);

    Area area(repeatedLines(QStringLiteral("<p class=a>x &amp; y</p>中"), 60), true, true);
    const int edited = 12;
    struct PaintedRect : QObject {
        QRect rect;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                rect |= static_cast<QPaintEvent *>(event)->rect();
            return false;
        }
    } painted;
    area.box.viewport()->installEventFilter(&painted);
    QTextCursor cursor(area.box.document()->findBlockByNumber(edited));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    area.box.setTextCursor(cursor);
    const QTextDocument *document = area.box.document();
    const SyntaxPalette &palette = area.colouring->palette();
    for (const QChar key : keys) {
        area.paint();
        painted.rect = {};
        if (key == u'\b')
            QTest::keyClick(&area.box, Qt::Key_Backspace);
        else
            QTest::keyClicks(&area.box, QString(key));
        QCOMPARE(shownColours(document->findBlockByNumber(edited), palette),
                 freshColours(document, edited, palette));
        const QTextBlock next = document->findBlockByNumber(edited + 1);
        const QString nextBefore = shownColours(next, palette);
        area.eventLoopPaints = true;
        area.paint();
        area.eventLoopPaints = false;
        QVERIFY2(painted.rect.height() < area.box.viewport()->height() / 2,
                 qPrintable(QStringLiteral("painted %1 high").arg(painted.rect.height())));
        QCOMPARE(shownColours(next, palette), freshColours(document, edited + 1, palette));
        // The next line's new colours are painted too.
        if (shownColours(next, palette) != nextBefore)
            QVERIFY(painted.rect.contains(area.box.cursorRect(QTextCursor(next)).center()));
    }
}

// Lines made lower (a Chinese character taken out of each, whose font is
// taller) bring lines into view at the bottom without a scroll: they are
// coloured as they come. Those lines are written anew first, while the
// lines above them stand laid out at their full height.
void TestSyntaxColouring::linesBroughtIntoViewByLowerLines()
{
    const QString line = QStringLiteral("<p class=a>x &amp; y</p>");
    Area area(repeatedLines(line + QStringLiteral("中"), 12) + u'\n' + repeatedLines(line, 60),
              true);
    const QTextDocument *document = area.box.document();
    const int bottomBefore = area.bottomLine();
    QTextCursor below(document->findBlockByNumber(bottomBefore + 1));
    below.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 4);
    below.insertText(repeatedLines(QStringLiteral("<!-- c -->"), 4) + u'\n');
    area.paint();
    for (int edited = 0; edited < 12; ++edited)
        area.edit(edited, int(line.size()) + 1, QStringLiteral("\b"), false, false);
    QVERIFY(area.bottomLine() > bottomBefore);
    const SyntaxPalette &palette = area.colouring->palette();
    for (int shown = 0; shown <= area.bottomLine(); ++shown) {
        QCOMPARE(shownColours(document->findBlockByNumber(shown), palette),
                 freshColours(document, shown, palette));
    }
}

void TestSyntaxColouring::onlyShownLinesGetFormats()
{
    Area area(repeatedLines(QStringLiteral("<b>x</b>"), 5000), true);
    const QTextDocument *document = area.box.document();
    const int inView = area.box.viewport()->height() / area.box.fontMetrics().lineSpacing() + 2;
    QVERIFY(blocksWithFormats(document) <= inView);
    QVERIFY(area.colouring->blocks()->validBlocks() <= inView);

    // The way to the end is scanned, not coloured.
    area.box.moveCursor(QTextCursor::End);
    area.paint();
    QCOMPARE(area.colouring->blocks()->validBlocks(), document->blockCount());
    QVERIFY(blocksWithFormats(document) <= 2 * inView);
    QVERIFY(document->findBlockByNumber(2500).layout()->formats().isEmpty());
}

void TestSyntaxColouring::switchedOffLeavesNoFormats()
{
    Area area(repeatedLines(QStringLiteral("<i>x</i>"), 300), true);
    area.scrollTo(200);
    QVERIFY(blocksWithFormats(area.box.document()) > 0);
    area.colouring->setOn(false);
    area.paint();
    QCOMPARE(blocksWithFormats(area.box.document()), 0);
    area.colouring->setOn(true);
    area.paint();
    QVERIFY(blocksWithFormats(area.box.document()) > 0);
}

// A new background (the settings applied) recolours every line, the ones
// out of view when they come into view.
void TestSyntaxColouring::coloursFollowTheBackground()
{
    Area area(repeatedLines(QStringLiteral("<i>x</i>"), 300), true);
    area.scrollTo(200);
    area.scrollTo(0);
    QPalette palette = area.box.palette();
    palette.setColor(QPalette::Base, Qt::black);
    area.box.setPalette(palette);
    for (const int top : {0, 200}) {
        area.scrollTo(top);
        const QTextLayout::FormatRange tag =
            area.box.document()->findBlockByNumber(top + 1).layout()->formats().first();
        QCOMPARE(tag.format.foreground().color(), SyntaxPalette(Qt::black).color(HtmlScanner::Tag));
    }
}

// Selected text is drawn in the selection's colours, not in the tag colour.
void TestSyntaxColouring::selectionDrawnOverColours()
{
    Area area(QStringLiteral("<table><table>"), true);
    QFont font = area.box.font();
    font.setPixelSize(40);
    area.box.setFont(font);
    area.box.setSelStart(0);
    area.box.setSelLength(7);
    area.paint();
    const QImage image = area.box.viewport()->grab().toImage();
    const QColor tag = area.colouring->palette().color(HtmlScanner::Tag);
    const int split = area.box.cursorRect(area.box.textCursor()).center().x();
    int inSelection = 0;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = qAbs(pixel.red() - tag.red()) + qAbs(pixel.green() - tag.green()) +
                                 qAbs(pixel.blue() - tag.blue());
            if (distance < 30)
                ++(x < split ? inSelection : outside);
        }
    }
    QCOMPARE(inSelection, 0);
    QVERIFY(outside > 0);
}

void TestSyntaxColouring::readableOnBackgrounds_data()
{
    QTest::addColumn<QColor>("background");
    QTest::newRow("the stored default") << QColor(157, 167, 172);
    QTest::newRow("white") << QColor(Qt::white);
    QTest::newRow("black") << QColor(Qt::black);
    QTest::newRow("navy") << QColor(0, 0, 128);
    QTest::newRow("middle grey") << QColor(128, 128, 128);
}

void TestSyntaxColouring::readableOnBackgrounds()
{
    QFETCH(QColor, background);
    const SyntaxPalette palette(background);
    for (int kind = HtmlScanner::Tag; kind < HtmlScanner::KindCount; ++kind) {
        const QColor color = palette.color(HtmlScanner::Kind(kind));
        QVERIFY2(SyntaxPalette::contrast(color, background) >= 4.5, qPrintable(color.name()));
    }
    QVERIFY(palette.color(HtmlScanner::Tag) != palette.color(HtmlScanner::Attribute));
}

QTEST_MAIN(TestSyntaxColouring)
#include "tst_syntaxcolouring.moc"
