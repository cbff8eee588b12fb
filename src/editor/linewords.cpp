#include "editor/linewords.h"

#include "editor/linepieces.h"

#include <QTextBlock>
#include <QTextDocument>

#include <functional>

namespace LineWords {

namespace {

// Pieces first to last of one line, read as one text.
class Window {
public:
    Window(QTextBlock first, QTextBlock last)
        : m_first(first)
        , m_last(last)
    {
        for (QTextBlock block = first;; block = block.next()) {
            m_text += block.text();
            if (block == last)
                break;
        }
    }

    const QString &text() const { return m_text; }
    bool startsLine() const { return !LinePieces::isContinuation(m_first); }
    bool endsLine() const { return LinePieces::endsLine(m_last); }

    // Takes in up to as many pieces again before (or after) it.
    Window widened(bool before) const
    {
        QTextBlock first = m_first;
        QTextBlock last = m_last;
        for (int pieces = 1; pieces <= count(); ++pieces) {
            if (before && LinePieces::isContinuation(first))
                first = first.previous();
            else if (!before && !LinePieces::endsLine(last))
                last = last.next();
        }
        return Window(first, last);
    }

    int offsetOf(int position) const
    {
        int offset = 0;
        for (QTextBlock block = m_first; block != m_last; block = block.next()) {
            if (position < block.position() + block.length())
                break;
            offset += block.length() - 1;
        }
        return offset + position - m_first.document()->findBlock(position).position();
    }

    // At a boundary between pieces, the start of the later one.
    int positionOf(int offset) const
    {
        QTextBlock block = m_first;
        while (block != m_last && offset >= block.length() - 1) {
            offset -= block.length() - 1;
            block = block.next();
        }
        return block.position() + offset;
    }

private:
    int count() const { return m_last.blockNumber() - m_first.blockNumber() + 1; }

    QTextBlock m_first;
    QTextBlock m_last;
    QString m_text;
};

// The block itself and up to one piece of its line on either side.
Window around(const QTextBlock &block)
{
    const QTextBlock first = LinePieces::isContinuation(block) ? block.previous() : block;
    const QTextBlock last = LinePieces::endsLine(block) ? block : block.next();
    return Window(first, last);
}

// Runs find (start, end of what it found, as offsets) in windows wider and
// wider until what it finds stops short of a window edge the line goes on
// past.
std::pair<int, int> findInLine(const QTextDocument *document, int position,
                               const std::function<std::pair<int, int>(QTextCursor &)> &find)
{
    Window window = around(document->findBlock(position));
    for (;;) {
        QTextDocument scratch;
        scratch.setPlainText(window.text());
        scratch.documentLayout();
        QTextCursor cursor(&scratch);
        cursor.setPosition(window.offsetOf(position));
        const auto [start, end] = find(cursor);
        const bool wantsBefore = start == 0 && !window.startsLine();
        const bool wantsAfter = end == window.text().size() && !window.endsLine();
        if (!wantsBefore && !wantsAfter)
            return {window.positionOf(start), window.positionOf(end)};
        if (wantsBefore)
            window = window.widened(true);
        if (wantsAfter)
            window = window.widened(false);
    }
}

} // namespace

int move(const QTextDocument *document, int position, QTextCursor::MoveOperation operation)
{
    const bool right = operation == QTextCursor::WordRight || operation == QTextCursor::NextWord;
    const QTextBlock block = document->findBlock(position);
    if (right ? position == block.position() + block.length() - 1 && LinePieces::endsLine(block)
              : position == block.position() && !LinePieces::isContinuation(block))
        return -1;
    const auto [start, end] = findInLine(document, position, [&](QTextCursor &cursor) {
        const int from = cursor.position();
        cursor.movePosition(operation);
        const int to = cursor.position();
        return std::pair<int, int>{qMin(from, to), qMax(from, to)};
    });
    return right ? end : start;
}

std::pair<int, int> wordAt(const QTextDocument *document, int position)
{
    return findInLine(document, position, [](QTextCursor &cursor) {
        cursor.select(QTextCursor::WordUnderCursor);
        return std::pair<int, int>{cursor.selectionStart(), cursor.selectionEnd()};
    });
}

std::pair<int, int> lineAt(const QTextDocument *document, int position)
{
    QTextBlock first = document->findBlock(position);
    while (LinePieces::isContinuation(first))
        first = first.previous();
    QTextBlock last = first;
    while (!LinePieces::endsLine(last))
        last = last.next();
    const int end = last.position() + last.length() - 1;
    return {first.position(), qMin(end + 1, document->characterCount() - 1)};
}

} // namespace LineWords
