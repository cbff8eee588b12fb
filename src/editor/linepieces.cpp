#include "editor/linepieces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <optional>

namespace {

// Where the next piece of a line ends: after the tag end or the blank
// nearest to kPieceLength characters on, when one is within kCutSlack of it,
// so that rows start at a tag or a word; else kPieceLength characters on, or
// one more so as not to part a surrogate pair. charAt reads at least
// kPieceLength + kCutSlack characters.
template <typename CharAt> int pieceEnd(CharAt charAt)
{
    constexpr int kCutSlack = LinePieces::kPieceLength / 4;
    const auto cutAfter = [&](auto fits) {
        for (int distance = 0; distance < kCutSlack; ++distance) {
            for (const int end :
                 {LinePieces::kPieceLength - distance, LinePieces::kPieceLength + distance + 1}) {
                if (fits(charAt(end - 1)))
                    return end;
            }
        }
        return 0;
    };
    if (const int end = cutAfter([](QChar c) { return c == u'>'; }))
        return end;
    if (const int end = cutAfter([](QChar c) { return c == u' ' || c == u'\t'; }))
        return end;
    int end = LinePieces::kPieceLength;
    if (QChar::isHighSurrogate(charAt(end - 1).unicode()) &&
        QChar::isLowSurrogate(charAt(end).unicode()))
        ++end;
    return end;
}

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

std::optional<LineBreak> ownBreakOf(const QTextBlock &block)
{
    const QVariant kind = block.blockFormat().property(LinePieces::kLineBreakProperty);
    if (!kind.isValid())
        return std::nullopt;
    return LineBreak(kind.toInt());
}

// The numbers kept for the blocks firstNumber to lastBefore (before a change
// that added `added` blocks) give way to found; those after them move.
template <typename T, typename NumberOf>
void renumber(std::vector<T> &kept, int firstNumber, int lastBefore, int added,
              const std::vector<T> &found, NumberOf numberOf)
{
    auto from = std::lower_bound(kept.begin(), kept.end(), firstNumber,
                                 [&](T &item, int n) { return numberOf(item) < n; });
    auto to = std::upper_bound(from, kept.end(), lastBefore,
                               [&](int n, T &item) { return n < numberOf(item); });
    for (auto later = to; later != kept.end(); ++later)
        numberOf(*later) += added;
    from = kept.erase(from, to);
    kept.insert(from, found.begin(), found.end());
}

// The raw text of blocks from firstBlock on, each paragraph separator
// replaced by what breakBefore gives for the block after it.
template <typename BreakBefore>
QString joinLines(QStringView raw, qsizetype reserve, int firstBlock, BreakBefore breakBefore)
{
    QString text;
    text.reserve(reserve);
    int block = firstBlock;
    qsizetype from = 0;
    for (;;) {
        const qsizetype separator = raw.indexOf(QChar(QChar::ParagraphSeparator), from);
        if (separator < 0) {
            text += raw.sliced(from);
            return text;
        }
        text += raw.sliced(from, separator - from);
        text += breakBefore(++block);
        from = separator + 1;
    }
}

} // namespace

// Gives the page back the main line break it had before an edit that
// changed it, and again on redo.
class MainBreakChange : public QAbstractUndoItem {
public:
    MainBreakChange(LinePieces *pieces, LineBreak before, LineBreak after)
        : m_pieces(pieces)
        , m_before(before)
        , m_after(after)
    {}
    void undo() override { set(m_before); }
    void redo() override { set(m_after); }

private:
    void set(LineBreak kind)
    {
        m_pieces->m_mainBreak = kind;
        if (m_pieces->m_breaksChanged)
            m_pieces->m_breaksChanged();
    }
    LinePieces *m_pieces;
    LineBreak m_before;
    LineBreak m_after;
};

LinePieces::LinePieces(QTextDocument *document)
    : QObject(document)
    , m_document(document)
    , m_watch(document)
{
    connect(document, &QTextDocument::contentsChange, this, &LinePieces::contentsChange);
}

bool LinePieces::isContinuation(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(kContinuationProperty);
}

bool LinePieces::endsLine(const QTextBlock &block)
{
    return !isContinuation(block.next());
}

int LinePieces::continuationsUpTo(int blockNumber) const
{
    if (m_continuations.empty())
        return 0;
    return int(std::upper_bound(m_continuations.begin(), m_continuations.end(), blockNumber) -
               m_continuations.begin());
}

void LinePieces::contentsChange(int position, int charsRemoved, int charsAdded)
{
    ++m_changes;
    const BlockWatch::Step step = m_watch.step(charsRemoved, charsAdded);
    const int added = step.blocksAdded;
    m_lastChange = {position, charsRemoved, charsAdded, !step.blocksKept};
    if (m_loading || (m_continuations.empty() && m_breakMarks.empty() && !m_mayHaveMarks))
        return;
    const QTextBlock first = m_document->findBlock(position);
    QTextBlock last = m_document->findBlock(position + charsAdded);
    if (!last.isValid())
        last = m_document->lastBlock();
    // A change within one block neither adds nor removes a boundary; only a
    // new format (a mark set or cleared) may change what it holds.
    if (added == 0 && first == last) {
        const int number = first.blockNumber();
        const BreakMark *mark = breakMarkBefore(number);
        const auto keepsItsBreak = [&] {
            const std::optional<LineBreak> own = ownBreakOf(first);
            return mark ? own && *own == mark->kind : !own;
        };
        if (isContinuation(first) ==
                std::binary_search(m_continuations.begin(), m_continuations.end(), number) &&
            (number == 0 || keepsItsBreak()))
            return;
    }

    // The blocks first to last now stand where first to lastBefore stood:
    // their marks are read again, those after them move by the blocks added.
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    const int lastBefore = lastNumber - added;
    const size_t breaksBefore = m_breakMarks.size();
    std::vector<int> marked;
    std::vector<BreakMark> breaks;
    int number = firstNumber;
    for (QTextBlock block = first;; block = block.next(), ++number) {
        if (isContinuation(block))
            marked.push_back(number);
        else if (const std::optional<LineBreak> kind =
                     number > 0 ? ownBreakOf(block) : std::nullopt)
            breaks.push_back({number, *kind});
        if (block == last)
            break;
    }
    renumber(m_continuations, firstNumber, lastBefore, added, marked,
             [](int &n) -> int & { return n; });
    renumber(m_breakMarks, firstNumber, lastBefore, added, breaks,
             [](BreakMark &mark) -> int & { return mark.block; });
    if (m_breakMarks.size() != breaksBefore && m_breaksChanged)
        m_breaksChanged();
}

LineBreak LinePieces::breakBefore(const QTextBlock &block) const
{
    return ownBreakOf(block).value_or(m_mainBreak);
}

int LinePieces::oddBreakCount() const
{
    return int(m_breakMarks.size());
}

const LinePieces::BreakMark *LinePieces::breakMarkBefore(int blockNumber) const
{
    const auto found =
        std::lower_bound(m_breakMarks.begin(), m_breakMarks.end(), blockNumber,
                         [](const BreakMark &mark, int number) { return mark.block < number; });
    return found != m_breakMarks.end() && found->block == blockNumber ? &*found : nullptr;
}

void LinePieces::setMarks(const QTextBlock &block, bool continuation,
                          std::optional<LineBreak> ownBreak)
{
    QTextBlockFormat format = block.blockFormat();
    if (continuation)
        format.setProperty(kContinuationProperty, true);
    else
        format.clearProperty(kContinuationProperty);
    if (ownBreak)
        format.setProperty(kLineBreakProperty, int(*ownBreak));
    else
        format.clearProperty(kLineBreakProperty);
    QTextCursor(block).setBlockFormat(format);
}

void LinePieces::unifyBreaks(LineBreak to)
{
    if (m_breakMarks.empty() && to == m_mainBreak)
        return;
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    // The numbers are read again when the edit ends.
    for (const BreakMark &mark : m_breakMarks) {
        const QTextBlock block = m_document->findBlockByNumber(mark.block);
        setMarks(block, isContinuation(block), std::nullopt);
    }
    m_document->appendUndoItem(new MainBreakChange(this, m_mainBreak, to));
    m_mainBreak = to;
    cursor.endEditBlock();
    if (m_breaksChanged)
        m_breaksChanged();
}

void LinePieces::markBreaks(const std::vector<LineBreaks::Odd> &odd)
{
    if (odd.empty())
        return;
    m_mayHaveMarks = true;
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    // The break that ends line n is marked on the first block of line n + 1.
    QTextBlock block = m_document->begin();
    qsizetype line = 0;
    for (const LineBreaks::Odd &oddBreak : odd) {
        while (block.isValid() && line < oddBreak.line + 1) {
            block = block.next();
            while (block.isValid() && isContinuation(block))
                block = block.next();
            ++line;
        }
        if (!block.isValid())
            break;
        setMarks(block, false, oddBreak.kind);
    }
    cursor.endEditBlock();
    if (m_breaksChanged)
        m_breaksChanged();
}

QString LinePieces::pageText(QStringView raw) const
{
    return pageText(raw, 0, m_document->blockCount() - 1);
}

QString LinePieces::pageText(QStringView raw, int firstBlock, int separators) const
{
    const QStringView mainBreak = LineBreaks::text(m_mainBreak);
    auto continuation =
        std::upper_bound(m_continuations.begin(), m_continuations.end(), firstBlock);
    auto mark =
        std::lower_bound(m_breakMarks.begin(), m_breakMarks.end(), firstBlock + 1,
                         [](const BreakMark &kept, int block) { return kept.block < block; });
    // An odd break is longer than the main one by a character at most.
    const qsizetype reserve = raw.size() + qsizetype(separators) * (mainBreak.size() - 1) +
                              qMin(qsizetype(separators), qsizetype(m_breakMarks.size()));
    return joinLines(raw, reserve, firstBlock, [&](int block) {
        while (mark != m_breakMarks.end() && mark->block < block)
            ++mark;
        if (continuation != m_continuations.end() && *continuation == block) {
            ++continuation;
            return QStringView();
        }
        if (mark != m_breakMarks.end() && mark->block == block)
            return LineBreaks::text(mark->kind);
        return mainBreak;
    });
}

QString LinePieces::joined(QStringView raw, int firstBlock, int separators,
                           QStringView lineBreak) const
{
    auto next = std::upper_bound(m_continuations.begin(), m_continuations.end(), firstBlock);
    return joinLines(raw, raw.size() + qsizetype(separators) * (lineBreak.size() - 1), firstBlock,
                     [&](int block) {
                         if (next != m_continuations.end() && *next == block) {
                             ++next;
                             return QStringView();
                         }
                         return lineBreak;
                     });
}

int LinePieces::joinedPosition(int widgetPosition) const
{
    if (m_continuations.empty())
        return widgetPosition;
    return widgetPosition - continuationsUpTo(m_document->findBlock(widgetPosition).blockNumber());
}

int LinePieces::widgetPosition(int joinedPosition, bool atPieceEnd) const
{
    // The continuations that start before the position (or at it), each of
    // which adds its boundary to the widget position.
    int low = 0;
    int high = int(m_continuations.size());
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int start =
            m_document->findBlockByNumber(m_continuations[middle]).position() - (middle + 1);
        if (start < joinedPosition || (start == joinedPosition && !atPieceEnd))
            low = middle + 1;
        else
            high = middle;
    }
    return joinedPosition + low;
}

void LinePieces::insertText(QTextCursor &cursor, QStringView text)
{
    cursor.beginEditBlock();
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
        keepMark(cursor.position());
    }
    const int start = cursor.position();
    std::optional<QTextBlockFormat> lineStart;
    qsizetype from = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && !isBreak(text[at]))
            continue;
        if (at > from)
            cursor.insertText(text.sliced(from, at - from).toString());
        if (at < text.size()) {
            if (!lineStart) {
                lineStart = cursor.blockFormat();
                lineStart->clearProperty(kContinuationProperty);
                lineStart->clearProperty(kLineBreakProperty);
            }
            cursor.insertBlock(*lineStart);
        }
        from = at + 1;
    }
    dropEmptyPieces(start, cursor.position());
    cutLongBlocks(qMin(start, cursor.position()), cursor.position());
    cursor.endEditBlock();
}

void LinePieces::keepMark(int position)
{
    if (m_continuations.empty() && m_breakMarks.empty() && !m_mayHaveMarks)
        return;
    // Until the edit block ends the numbers kept are those from before the
    // edit; the blocks before position kept their numbers.
    const QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        return;
    const int number = block.blockNumber();
    const bool marked = std::binary_search(m_continuations.begin(), m_continuations.end(), number);
    const BreakMark *before = breakMarkBefore(number);
    const std::optional<LineBreak> ownBreak =
        before ? std::optional<LineBreak>(before->kind) : std::nullopt;
    if (isContinuation(block) == marked && ownBreakOf(block) == ownBreak)
        return;
    setMarks(block, marked, ownBreak);
}

void LinePieces::dropEmptyPieces(int firstPosition, int lastPosition)
{
    if (m_continuations.empty() && !m_mayHaveMarks)
        return;
    for (QTextBlock block = m_document->findBlock(firstPosition);
         block.isValid() && block.position() <= lastPosition; block = block.next()) {
        if (block.length() > 1 || !(isContinuation(block) || isContinuation(block.next())))
            continue;
        // A later piece goes into the piece before it, the first piece of a
        // line into the one after it; the piece that stays keeps the format
        // (and the mark) of the earlier of the two.
        const bool first = !isContinuation(block);
        const QTextBlockFormat format =
            first ? block.blockFormat() : block.previous().blockFormat();
        QTextCursor cursor(block);
        if (first)
            cursor.deleteChar();
        else
            cursor.deletePreviousChar();
        if (cursor.blockFormat() != format)
            cursor.setBlockFormat(format);
        --lastPosition;
        block = cursor.block();
    }
}

void LinePieces::cutLongBlocks(int firstPosition, int lastPosition)
{
    QTextBlock block = m_document->findBlock(firstPosition);
    // Most edits stay within one block of ordinary length.
    if (block.length() - 1 <= kLongestPiece && block.position() + block.length() > lastPosition)
        return;
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    for (; block.isValid() && block.position() <= lastPosition; block = block.next()) {
        while (block.length() - 1 > kLongestPiece) {
            const int start = block.position();
            const int end =
                start + pieceEnd([&](int i) { return m_document->characterAt(start + i); });
            QTextBlockFormat format = block.blockFormat();
            format.setProperty(kContinuationProperty, true);
            format.clearProperty(kLineBreakProperty);
            m_mayHaveMarks = true;
            cursor.setPosition(end);
            cursor.insertBlock(format);
            ++lastPosition;
            block = cursor.block();
        }
    }
    cursor.endEditBlock();
}

void LinePieces::load(QString text, const std::function<void(const QString &)> &setPlainText,
                      LineBreak main, const std::vector<LineBreaks::Odd> &odd)
{
    // The lines too long, and where each starts.
    std::vector<int> continuations;
    QString cut;
    int block = 0;
    qsizetype copied = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        if (end - start > kLongestPiece) {
            if (cut.isEmpty())
                cut.reserve(text.size() + text.size() / kPieceLength + 1);
            cut += QStringView(text).sliced(copied, start - copied);
            qsizetype at = start;
            while (end - at > kLongestPiece) {
                const int length = pieceEnd([&](int i) { return text.at(at + i); });
                cut += QStringView(text).sliced(at, length);
                cut += u'\n';
                at += length;
                continuations.push_back(++block);
            }
            copied = at;
        }
        ++block;
        start = end + 1;
    }
    m_continuations.clear();
    m_breakMarks.clear();
    m_mainBreak = main;
    m_mayHaveMarks = !continuations.empty() || !odd.empty();
    m_loading = true;
    if (continuations.empty()) {
        setPlainText(text);
    } else {
        cut += QStringView(text).sliced(copied);
        text = QString();
        setPlainText(cut);
        cut = QString();
    }
    text = QString();
    if (!m_mayHaveMarks) {
        m_loading = false;
        return;
    }

    const bool undo = m_document->isUndoRedoEnabled();
    m_document->setUndoRedoEnabled(false);
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    QTextBlock piece = m_document->begin();
    int number = 0;
    for (const int continuation : continuations) {
        for (; number < continuation; ++number)
            piece = piece.next();
        QTextBlockFormat format = piece.blockFormat();
        format.setProperty(kContinuationProperty, true);
        cursor.setPosition(piece.position());
        cursor.setBlockFormat(format);
    }
    // The break that ends line n stands before the first block of line
    // n + 1, which the continuations before it push further down.
    std::vector<BreakMark> breaks;
    breaks.reserve(odd.size());
    piece = m_document->begin();
    number = 0;
    size_t cuts = 0;
    for (const LineBreaks::Odd &oddBreak : odd) {
        const qsizetype line = oddBreak.line + 1;
        while (cuts < continuations.size() && continuations[cuts] - qsizetype(cuts) - 1 < line)
            ++cuts;
        const int target = int(line + qsizetype(cuts));
        for (; number < target && piece.isValid(); ++number)
            piece = piece.next();
        if (!piece.isValid())
            break;
        QTextBlockFormat format = piece.blockFormat();
        format.setProperty(kLineBreakProperty, int(oddBreak.kind));
        cursor.setPosition(piece.position());
        cursor.setBlockFormat(format);
        breaks.push_back({target, oddBreak.kind});
    }
    cursor.endEditBlock();
    m_document->setUndoRedoEnabled(undo);
    m_document->setModified(false);
    m_continuations = std::move(continuations);
    m_breakMarks = std::move(breaks);
    m_loading = false;
}
