#pragma once

#include "tagpairs/tagscan.h"

#include <QTextBlock>
#include <optional>
#include <vector>

class LinePieces;
class SyntaxBlocks;
class QTextDocument;

// Finds the partner of a tag and the elements around a place in the page by
// the HTML standard's rules: void elements have no end tag, an element whose
// end tag may be left out ends where the next one of its kind (or its
// parent) does, the text of <script>, <style>, <textarea> and <title> and
// comments hold no tags, names compare without case. Only the stretch of
// the page between a tag and its partner is read, from the states the
// colouring keeps; a search gives up after reading a budget of characters.
class TagMatcher {
public:
    TagMatcher(const QTextDocument &document, const LinePieces &pieces, SyntaxBlocks &states);

    // What reading backwards from a block found beyond the first run of
    // blocks before it, kept from one search to the next while the page
    // before that run stays as it was (the keeper calls changed()).
    class Memo {
    public:
        void changed(int widgetPosition)
        {
            if (widgetPosition < m_guard)
                clear();
        }
        void clear()
        {
            m_loads.clear();
            m_block = -1;
            m_guard = -1;
        }

    private:
        friend class TagMatcher;
        struct Load {
            std::vector<Tag> tags;
            qsizetype read = 0;
            qsizetype limit = 0;
            QTextBlock next;
        };
        const QTextDocument *m_document = nullptr;
        int m_block = -1;
        qsizetype m_budget = 0;
        int m_guard = -1; // no change before this widget position
        std::vector<Load> m_loads;
    };
    void setMemo(Memo *memo) { m_memo = memo; }

    // Characters read at most in each direction by one search.
    void setBudget(qsizetype characters) { m_budget = characters; }

    // The tag whose name (or its "<" or "</") the position is in or right
    // after; positions as in Tag.
    std::optional<Tag> tagAt(qsizetype position);

    enum class Status {
        Paired,   // the partner is the tag's own end or start tag
        Void,     // an element without end tag
        Implied,  // closed where the standard closes it, without an end tag
        Unclosed, // never closed
        Unknown,  // not settled within the budget
        Stray,    // an end tag with nothing to close
    };
    struct Element {
        Tag start; // the start tag, or the end tag of a stray one
        std::optional<Tag> end;
        Status status = Status::Unclosed;
        // From the start tag's "<" to after the end tag's ">" (or to where
        // the element was closed without one).
        qsizetype from = -1;
        qsizetype to = -1;
    };
    // The element of a start or end tag.
    Element elementOf(const Tag &tag);
    // The innermost element that holds the stretch from..to with its tags
    // and is larger than it; nothing at the top.
    std::optional<Element> enclosing(qsizetype from, qsizetype to);
    // The tags read from the block of the position on, until tags after it.
    std::vector<Tag> tagsAround(qsizetype position);
    // The innermost element open at the position (for "</").
    std::optional<Tag> openAt(qsizetype position);

private:
    class Backward;
    class Simulation;
    class Bulk;
    QTextBlock blockAt(qsizetype position) const;
    Element forward(const Tag &start);

    const QTextDocument &m_document;
    const LinePieces &m_pieces;
    SyntaxBlocks &m_states;
    qsizetype m_budget = 32 * 1024 * 1024;
    Memo *m_memo = nullptr;
    PageText *m_page = nullptr; // during a search without a near budget
};
