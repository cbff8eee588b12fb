#include "editor/syntaxcolouring.h"

#include "editor/colouringlayout.h"
#include "editor/linepieces.h"
#include "editor/syntaxblocks.h"
#include "platform/settingsfile.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <utility>

using HtmlScanner::Kind;

namespace {

const QString kSection = QStringLiteral("WorkTable");
const QString kKey = QStringLiteral("SyntaxColor");

} // namespace

SyntaxColouring::SyntaxColouring(QPlainTextEdit *edit)
    : QObject(edit)
    , m_edit(edit)
    , m_palette(edit->palette().color(QPalette::Base))
    , m_lineSpacing(QFontMetricsF(edit->font()).lineSpacing())
{
    edit->installEventFilter(this);
    // A change the layout reports beyond one line (a line whose height
    // changed moves those below it) may bring other lines into view.
    QAbstractTextDocumentLayout *layout = edit->document()->documentLayout();
    connect(layout, &QAbstractTextDocumentLayout::update, this, [this] { m_viewColoured = false; });
    m_layout = qobject_cast<ColouringLayout *>(layout);
    Q_ASSERT(m_layout);
    if (m_layout) {
        m_layout->setEditedFormats(
            [this](const QTextBlock &block) { return editedFormats(block); });
    }
}

SyntaxColouring::~SyntaxColouring()
{
    if (m_layout)
        m_layout->setEditedFormats(nullptr);
}

bool SyntaxColouring::storedSwitch()
{
    return SettingValue::toBool(ReadSetting(kSection, kKey, QStringLiteral("True")), true);
}

void SyntaxColouring::storeSwitch(bool on)
{
    WriteSetting(kSection, kKey, SettingValue::fromBool(on));
}

void SyntaxColouring::setOn(bool on)
{
    if (on == isOn())
        return;
    m_viewColoured = false;
    if (on) {
        m_blocks = SyntaxBlocks::of(m_edit->document());
        connect(m_blocks, &SyntaxBlocks::statesChanged, this, &SyntaxColouring::statesChanged);
        m_edit->viewport()->installEventFilter(this);
    } else {
        m_edit->viewport()->removeEventFilter(this);
        m_blocks->detach([this](QTextBlock &block) { setFormats(block, {}); });
        delete m_blocks.data();
    }
    m_edit->viewport()->update();
}

bool SyntaxColouring::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && m_blocks && watched == m_edit->viewport())
        colourArea(static_cast<QPaintEvent *>(event)->rect());
    else if (event->type() == QEvent::PaletteChange && watched == m_edit)
        backgroundChanged();
    else if (event->type() == QEvent::FontChange && watched == m_edit) {
        m_lineSpacing = QFontMetricsF(m_edit->font()).lineSpacing();
        m_viewColoured = false;
    }
    return false;
}

void SyntaxColouring::backgroundChanged()
{
    const QColor background = m_edit->palette().color(QPalette::Base);
    if (background == m_palette.background())
        return;
    m_palette = SyntaxPalette(background);
    m_viewColoured = false;
    if (m_blocks) {
        m_blocks->forgetFormats();
        m_edit->viewport()->update();
    }
}

QTextBlock SyntaxColouring::topBlock() const
{
    return m_edit->document()->findBlockByLineNumber(m_edit->verticalScrollBar()->value());
}

// Lines from firstBlock on may begin in another state. Below the view that
// waits until they come into view; above it, the whole view is painted
// again. In view, the edited line is being painted anyway: that paint
// colours the lines below it as far down as the change reaches (the whole
// view, when it is to be coloured anew or a second change came first).
void SyntaxColouring::statesChanged(int firstBlock)
{
    if (m_viewColoured && m_followFrom < 0 && firstBlock > m_colouredFirst &&
        firstBlock <= m_colouredLast) {
        m_followFrom = firstBlock;
        return;
    }
    m_viewColoured = false;
    if (firstBlock <= topBlock().blockNumber()) {
        m_pendingFrom = -1;
        m_edit->viewport()->update();
        return;
    }
    m_pendingFrom = m_pendingFrom < 0 ? firstBlock : qMin(m_pendingFrom, firstBlock);
}

// Once every line in view holds its colours, a paint that shows the same
// lines needs only the lines edited since, and those below them that now
// begin in another state: a keystroke, a blink of the caret or the
// completion list coming and going costs no walk down the view, even when
// the whole area is painted.
void SyntaxColouring::colourArea(const QRect &area)
{
    const SyntaxBlocks::Edits edits = m_blocks->takeEdits();
    const ViewPlace place = viewPlace();
    if (m_viewColoured && !edits.linesMoved && m_pendingFrom < 0 && place == m_colouredPlace) {
        // A line in view begins in a known state; one beyond that is not in
        // view and waits.
        for (SyntaxBlocks::Line line : edits.lines) {
            if (line.block.isValid() && line.number < m_blocks->validBlocks())
                colourBlock(line.block, line.number);
        }
        colourFollowing();
        return;
    }
    colourView(area);
    m_viewColoured = true;
    m_colouredPlace = place;
}

SyntaxColouring::ViewPlace SyntaxColouring::viewPlace() const
{
    return {m_edit->verticalScrollBar()->value(), m_edit->viewport()->size()};
}

// Every line in view gets its colours. Lines not laid out yet are taken at
// their least height, so that no line of the area is missed. Lines below the
// area that needed new colours (after a change of states, say) are painted
// again, and only they, not the whole view.
void SyntaxColouring::colourView(const QRect &area)
{
    const int pendingFrom = std::exchange(m_pendingFrom, -1);
    m_followFrom = -1;
    const int bottom = m_edit->viewport()->height();
    QTextBlock block = topBlock();
    int number = block.blockNumber();
    m_colouredFirst = number;
    QRect stale;
    for (qreal top = 0; block.isValid() && top <= bottom; block = block.next(), ++number) {
        const qreal height = heightOf(block);
        if (top <= area.bottom()) {
            colourBlock(block, number);
        } else {
            if (pendingFrom >= 0 && number >= pendingFrom)
                m_blocks->stateBefore(block, number);
            // Coloured now, painted a moment later.
            if (number >= m_blocks->validBlocks() || !SyntaxBlocks::formatsCurrent(block)) {
                colourBlock(block, number);
                stale |= staleRect(top, height);
            }
        }
        top += height;
    }
    m_colouredLast = number - 1;
    repaintAfterThisPaint(stale);
}

// The lines in view below an edit that changed the state its line ends in,
// down to the first that begins as it did: coloured now, painted a moment
// later.
void SyntaxColouring::colourFollowing()
{
    const int from = std::exchange(m_followFrom, -1);
    if (from < 0)
        return;
    // Where the first of them stands: below the lines above it in view, at
    // the heights they are laid out at now.
    QTextBlock block = m_edit->document()->findBlockByNumber(m_colouredFirst);
    qreal top = 0;
    int number = m_colouredFirst;
    for (; block.isValid() && number < from; block = block.next(), ++number)
        top += heightOf(block);
    QRect stale;
    for (; block.isValid() && number <= m_colouredLast; block = block.next(), ++number) {
        if (number < m_blocks->validBlocks() && SyntaxBlocks::formatsCurrent(block))
            break;
        const qreal height = heightOf(block);
        colourBlock(block, number);
        stale |= staleRect(top, height);
        top += height;
    }
    repaintAfterThisPaint(stale);
}

// A line's height as laid out, taken before new formats drop its lines; the
// least a line can have when it is not laid out yet.
qreal SyntaxColouring::heightOf(const QTextBlock &block) const
{
    const QTextLayout *layout = block.layout();
    return layout->lineCount() > 0 ? layout->boundingRect().height() : m_lineSpacing;
}

// A line's place in the view, taken a line wider each way: the view's
// offset is not counted, nor lines above it not laid out yet.
QRect SyntaxColouring::staleRect(qreal top, qreal height) const
{
    return QRect(0, int(top - m_lineSpacing), m_edit->viewport()->width(),
                 int(height + 2 * m_lineSpacing));
}

// Asked for after this paint: a request made while the area paints would be
// dropped with what it has just painted.
void SyntaxColouring::repaintAfterThisPaint(const QRect &stale)
{
    if (stale.isEmpty())
        return;
    QWidget *viewport = m_edit->viewport();
    QMetaObject::invokeMethod(
        viewport, [viewport, stale] { viewport->update(stale); }, Qt::QueuedConnection);
}

void SyntaxColouring::colourBlock(QTextBlock &block, int number)
{
    if (const auto formats = newFormats(block, number))
        setFormats(block, *formats);
}

std::optional<QList<QTextLayout::FormatRange>> SyntaxColouring::newFormats(QTextBlock block,
                                                                           int number)
{
    const bool endKnown = number < m_blocks->validBlocks();
    if (endKnown && SyntaxBlocks::formatsCurrent(block))
        return std::nullopt;
    const HtmlScanner::State start = m_blocks->stateBefore(block, number);
    // Formats may still be right (they are checked after the states before
    // them were worked out); the end state is needed for the next block.
    const bool current = SyntaxBlocks::formatsCurrent(block);
    const QString text = block.text();
    m_kinds.assign(current ? 0 : size_t(text.size()), HtmlScanner::Plain);
    const HtmlScanner::State end = HtmlScanner::scan(text, start, LinePieces::endsLine(block),
                                                     current ? nullptr : m_kinds.data());
    m_blocks->setStateAfter(block, number, end);
    if (current)
        return std::nullopt;

    QList<QTextLayout::FormatRange> formats;
    for (qsizetype from = 0; from < text.size();) {
        const Kind kind = m_kinds[size_t(from)];
        qsizetype to = from + 1;
        while (to < text.size() && m_kinds[size_t(to)] == kind)
            ++to;
        if (kind != HtmlScanner::Plain)
            formats.append({int(from), int(to - from), m_palette.format(kind)});
        from = to;
    }
    const bool had = SyntaxBlocks::hasFormats(block);
    m_blocks->setFormatsMarks(block, !formats.isEmpty());
    // Text typed after a line's last coloured stretch leaves its colours as
    // they were: the layout keeps them and need not be laid out again.
    if (had ? formats == block.layout()->formats() : formats.isEmpty())
        return std::nullopt;
    return formats;
}

// Only a line of the view as it was last coloured, whose start state is
// known, with no lines moved since. A change of states below it (the edit
// may have made one) is the paint's to follow.
std::optional<QList<QTextLayout::FormatRange>>
SyntaxColouring::editedFormats(const QTextBlock &block)
{
    if (!m_blocks || viewPlace() != m_colouredPlace)
        return std::nullopt;
    const std::optional<int> number = m_blocks->editedNumber(block);
    if (!number || *number < m_colouredFirst || *number > m_colouredLast ||
        *number >= m_blocks->validBlocks())
        return std::nullopt;
    return newFormats(block, *number);
}

void SyntaxColouring::setFormats(QTextBlock &block, const QList<QTextLayout::FormatRange> &formats)
{
    block.layout()->setFormats(formats);
    // The layout reports its block as changed to the document, which would
    // hand that on with the next edit: a wider change notification and a
    // relayout of every line in between. The area's own layout settles it
    // (this paint draws the block anew).
    if (m_layout)
        m_layout->formatsSet(block);
}
