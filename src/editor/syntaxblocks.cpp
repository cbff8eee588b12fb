#include "editor/syntaxblocks.h"

#include "editor/linepieces.h"

#include <QTextDocument>
#include <algorithm>

using HtmlScanner::State;
using namespace SyntaxMarks;

namespace {

void clearCurrent(QTextBlock block)
{
    if (block.isValid() && block.userState() >= 0)
        block.setUserState(block.userState() & ~kCurrent);
}

State storedState(const QTextBlock &block)
{
    return State::fromInt(block.userState() & kStateMask);
}

// Stores the end state; true when it differs from the one stored before,
// in which case the next block's formats are out of date.
bool storeState(QTextBlock &block, State state)
{
    const int old = block.userState();
    const int packed = state.toInt();
    const bool changed = old < 0 || (old & kStateMask) != packed;
    block.setUserState(packed | (old >= 0 ? old & ~kStateMask : 0));
    if (changed)
        clearCurrent(block.next());
    return changed;
}

} // namespace

SyntaxBlocks::SyntaxBlocks(QTextDocument *document)
    : QObject(document)
    , m_document(document)
    , m_watch(document)
{
    connect(document, &QTextDocument::contentsChange, this, &SyntaxBlocks::contentsChange);
}

SyntaxBlocks *SyntaxBlocks::of(QTextDocument *document)
{
    auto *blocks = document->findChild<SyntaxBlocks *>(QString(), Qt::FindDirectChildrenOnly);
    return blocks ? blocks : new SyntaxBlocks(document);
}

State SyntaxBlocks::stateBefore(const QTextBlock &block, int number)
{
    if (number <= 0)
        return State();
    if (number > m_valid)
        scanUpTo(number);
    return storedState(block.previous());
}

// One pass over the characters of the blocks from validBlocks() up to the
// given one: no formats, no layouts. It stops early where a block's end
// state comes out as it was, the states after it being right then. Copying
// each block's text costs more than scanning it, so a pass over much of the
// page reads the whole text at once instead.
void SyntaxBlocks::scanUpTo(int number)
{
    QString text; // the whole text, read once when needed
    while (m_valid < number) {
        QTextBlock next = m_document->findBlockByNumber(m_valid);
        State state = m_valid == 0 ? State() : storedState(next.previous());
        const bool wholeText = number - m_valid > m_document->blockCount() / 4;
        if (wholeText && text.isNull())
            text = m_document->toRawText();
        qsizetype at = wholeText ? next.position() : 0;
        for (int scanned = m_valid; scanned < number && m_valid == scanned; ++scanned) {
            const qsizetype length = next.length() - 1;
            state = HtmlScanner::scan(wholeText ? QStringView(text).mid(at, length) : next.text(),
                                      state, LinePieces::endsLine(next));
            at += length + 1;
            setStateAfter(next, scanned, state);
            next = next.next();
        }
    }
}

void SyntaxBlocks::setStateAfter(QTextBlock &block, int number, State state)
{
    const bool changed = storeState(block, state);
    if (number != m_valid) {
        if (changed && number < m_valid)
            m_valid = number + 1;
        return;
    }
    m_valid = number + 1;
    // Unchanged: what follows begins as it did when its states were worked
    // out, so they still hold.
    if (!changed && m_valid < m_computed)
        m_valid = m_computed;
    m_computed = qMax(m_computed, m_valid);
}

bool SyntaxBlocks::formatsCurrent(const QTextBlock &block)
{
    return block.userState() >= 0 && (block.userState() & kCurrent);
}

bool SyntaxBlocks::hasFormats(const QTextBlock &block)
{
    return block.userState() >= 0 && (block.userState() & kHasFormats);
}

void SyntaxBlocks::setFormatsMarks(QTextBlock &block, bool hasFormats)
{
    const int state = qMax(block.userState(), 0) & kStateMask;
    block.setUserState(state | kCurrent | (hasFormats ? kHasFormats : 0));
}

void SyntaxBlocks::forgetFormats()
{
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        clearCurrent(block);
}

std::optional<int> SyntaxBlocks::editedNumber(const QTextBlock &block) const
{
    for (const Line &line : m_edits.lines) {
        if (line.block == block)
            return line.number;
    }
    return std::nullopt;
}

void SyntaxBlocks::noteEdit(const std::optional<Line> &line)
{
    constexpr size_t kMostLines = 8;
    if (m_edits.linesMoved)
        return;
    if (!line || m_edits.lines.size() >= kMostLines) {
        m_edits = {{}, true};
        return;
    }
    if (std::find(m_edits.lines.begin(), m_edits.lines.end(), *line) == m_edits.lines.end())
        m_edits.lines.push_back(*line);
}

void SyntaxBlocks::contentsChange(int position, int removed, int added)
{
    const bool blocksKept = m_watch.step(removed, added).blocksKept;
    QTextBlock first = m_document->findBlock(position);
    if (!first.isValid()) {
        noteEdit({});
        return;
    }
    // With as many blocks as before, text only put in or only taken out held
    // no line break: the edit stayed in its line.
    QTextBlock last = blocksKept && (removed == 0 || added == 0)
                          ? first
                          : m_document->findBlock(position + added);
    if (!last.isValid())
        last = m_document->lastBlock();

    // The changed lines need new formats; so does the line after them when
    // lines came or went, since what comes before it is another line now.
    for (QTextBlock block = first;; block = block.next()) {
        clearCurrent(block);
        if (block == last || !block.isValid())
            break;
    }
    const bool oneLine = first == last && blocksKept;
    if (!oneLine)
        clearCurrent(last.next());

    // States after the changed lines were worked out from text that is
    // still there, unless lines came or went: then they are dropped.
    const int firstNumber = first.blockNumber();
    noteEdit(oneLine ? std::optional<Line>({first, firstNumber}) : std::nullopt);
    if (!oneLine) {
        m_computed = qMin(m_computed, firstNumber);
        if (firstNumber < m_valid) {
            m_valid = firstNumber;
            emit statesChanged(firstNumber);
        }
        return;
    }
    if (firstNumber >= m_valid) {
        m_computed = qMin(m_computed, qMax(firstNumber, m_valid));
        return;
    }
    const State end = HtmlScanner::scan(first.text(), stateBefore(first, firstNumber),
                                        LinePieces::endsLine(first));
    if (!storeState(first, end))
        return;
    m_valid = firstNumber + 1;
    emit statesChanged(firstNumber + 1);
}
