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

} // namespace

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
    if (m_loading || (m_continuations.empty() && !m_mayHaveMarks))
        return;
    const QTextBlock first = m_document->findBlock(position);
    QTextBlock last = m_document->findBlock(position + charsAdded);
    if (!last.isValid())
        last = m_document->lastBlock();
    // A change within one block neither adds nor removes a boundary.
    if (added == 0 && first == last)
        return;

    // The blocks first to last now stand where first to lastBefore stood:
    // their marks are read again, those after them move by the blocks added.
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    const int lastBefore = lastNumber - added;
    auto from = std::lower_bound(m_continuations.begin(), m_continuations.end(), firstNumber);
    auto to = std::upper_bound(from, m_continuations.end(), lastBefore);
    for (auto later = to; later != m_continuations.end(); ++later)
        *later += added;
    std::vector<int> marked;
    int number = firstNumber;
    for (QTextBlock block = first;; block = block.next(), ++number) {
        if (isContinuation(block))
            marked.push_back(number);
        if (block == last)
            break;
    }
    from = m_continuations.erase(from, to);
    m_continuations.insert(from, marked.begin(), marked.end());
}

QString LinePieces::joined(QStringView raw, int firstBlock, int separators,
                           QStringView lineBreak) const
{
    QString text;
    text.reserve(raw.size() + qsizetype(separators) * (lineBreak.size() - 1));
    auto next = std::upper_bound(m_continuations.begin(), m_continuations.end(), firstBlock);
    int block = firstBlock;
    qsizetype from = 0;
    for (;;) {
        const qsizetype separator = raw.indexOf(QChar(QChar::ParagraphSeparator), from);
        if (separator < 0) {
            text += raw.sliced(from);
            return text;
        }
        text += raw.sliced(from, separator - from);
        ++block;
        if (next != m_continuations.end() && *next == block)
            ++next;
        else
            text += lineBreak;
        from = separator + 1;
    }
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
    if (m_continuations.empty() && !m_mayHaveMarks)
        return;
    // Until the edit block ends the numbers kept are those from before the
    // edit; the blocks before position kept their numbers.
    const QTextBlock block = m_document->findBlock(position);
    const bool marked =
        std::binary_search(m_continuations.begin(), m_continuations.end(), block.blockNumber());
    if (!block.isValid() || isContinuation(block) == marked)
        return;
    QTextBlockFormat format = block.blockFormat();
    if (marked)
        format.setProperty(kContinuationProperty, true);
    else
        format.clearProperty(kContinuationProperty);
    QTextCursor(block).setBlockFormat(format);
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
            m_mayHaveMarks = true;
            cursor.setPosition(end);
            cursor.insertBlock(format);
            ++lastPosition;
            block = cursor.block();
        }
    }
    cursor.endEditBlock();
}

void LinePieces::load(QString text, const std::function<void(const QString &)> &setPlainText)
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
    m_mayHaveMarks = !continuations.empty();
    if (continuations.empty()) {
        setPlainText(text);
        return;
    }
    cut += QStringView(text).sliced(copied);
    text = QString();

    m_loading = true;
    setPlainText(cut);
    cut = QString();
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
    cursor.endEditBlock();
    m_document->setUndoRedoEnabled(undo);
    m_document->setModified(false);
    m_continuations = std::move(continuations);
    m_loading = false;
}
