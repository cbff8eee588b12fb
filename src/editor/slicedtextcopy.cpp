#include "editor/slicedtextcopy.h"

#include "editor/linepieces.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

SlicedTextCopy::SlicedTextCopy(QTextDocument *document, const LinePieces &pieces)
    : m_document(document)
    , m_pieces(pieces)
    , m_characters(document->characterCount())
    , m_mainBreak(pieces.mainBreak())
{
    connect(document, &QTextDocument::contentsChange, this, &SlicedTextCopy::contentsChange);
}

void SlicedTextCopy::contentsChange(int position, int charsRemoved, int /*charsAdded*/)
{
    // What the text grew by, from the document itself: what a change reports
    // may be more than it did, never less.
    const int characters = m_document->characterCount();
    const int grown = characters - m_characters;
    m_characters = characters;
    const int end = copiedTo();
    if (m_parts.empty() || position > end)
        return;
    // The parts that the change touches, a part's end (the line break after
    // it, or the end of its last block's text) counted with it.
    const int changeEnd = position + qMax(charsRemoved, 0);
    size_t first = m_parts.size();
    size_t last = 0;
    int start = 0;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        const int partEnd = start + m_parts[i].length;
        if (partEnd >= position && start <= changeEnd) {
            first = qMin(first, i);
            last = i;
        }
        start = partEnd;
    }
    const auto from = m_parts.begin() + qsizetype(first);
    // The end of the copy itself changed: it goes back to where those parts
    // began, which no change reached.
    if (changeEnd > end) {
        m_parts.erase(from, m_parts.end());
        return;
    }
    // They are merged into one stale part, which ends where the part after
    // them begins, at the same line break as before.
    int length = grown;
    for (size_t i = first; i <= last; ++i)
        length += m_parts[i].length;
    m_parts.erase(from + 1, m_parts.begin() + qsizetype(last) + 1);
    *from = Part{qMax(length, 0), QString(), true};
}

SlicedTextCopy::Part SlicedTextCopy::copyFrom(int from, int limit) const
{
    // The text of the blocks, paragraph separators between them and before
    // the first unless it begins the page, as the raw text would hold them.
    QTextBlock block = from == 0 ? m_document->begin() : m_document->findBlock(from).next();
    const int before = from == 0 ? 0 : block.blockNumber() - 1;
    QString raw;
    raw.reserve(kPartLength + LinePieces::kLongestPiece + 1);
    int blocks = 0;
    // raw stands for the widget positions from `from` on, one for one.
    for (; block.isValid(); block = block.next()) {
        if (from > 0 || blocks > 0)
            raw += QChar(QChar::ParagraphSeparator);
        raw += block.text();
        ++blocks;
        if (from + raw.size() >= limit || raw.size() >= kPartLength || blocks >= kPartBlocks)
            break;
    }
    const int separators = from == 0 ? blocks - 1 : blocks;
    return {int(raw.size()), m_pieces.pageText(raw, before, separators), false};
}

int SlicedTextCopy::copiedTo() const
{
    int end = 0;
    for (const Part &part : m_parts)
        end += part.length;
    return end;
}

bool SlicedTextCopy::complete() const
{
    if (m_pieces.mainBreak() != m_mainBreak)
        return false;
    int end = 0;
    for (const Part &part : m_parts) {
        if (part.stale)
            return false;
        end += part.length;
    }
    const int textEnd = m_document->characterCount() - 1;
    return end >= textEnd && (!m_parts.empty() || textEnd == 0);
}

bool SlicedTextCopy::copyMore()
{
    // Two parts of work: an edit made between two slices makes at most one
    // part stale, so that copying goes on however fast the keys come.
    for (int work = 0; work < kPartsPerSlice; ++work) {
        if (!copyPart())
            break;
    }
    return complete();
}

bool SlicedTextCopy::copyPart()
{
    if (m_pieces.mainBreak() != m_mainBreak) {
        m_parts.clear();
        m_mainBreak = m_pieces.mainBreak();
    }
    // Stale parts first, a part's worth of each at a time.
    int start = 0;
    for (auto part = m_parts.begin(); part != m_parts.end(); ++part) {
        if (part->stale) {
            Part copied = copyFrom(start, start + part->length);
            if (copied.length > part->length) {
                // Not a part's end after all: copied again from here on.
                m_parts.erase(part, m_parts.end());
            } else if (copied.length < part->length) {
                part->length -= copied.length;
                m_parts.insert(part, std::move(copied));
            } else {
                *part = std::move(copied);
            }
            return true;
        }
        start += part->length;
    }
    if (complete())
        return false;
    m_parts.push_back(copyFrom(start, m_document->characterCount() - 1));
    return true;
}

std::vector<QString> SlicedTextCopy::takeParts()
{
    std::vector<QString> parts;
    parts.reserve(m_parts.size());
    for (Part &part : m_parts)
        parts.push_back(std::move(part.text));
    m_parts.clear();
    return parts;
}
