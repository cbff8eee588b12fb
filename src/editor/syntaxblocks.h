#pragma once

#include "editor/blockwatch.h"
#include "editor/htmlscanner.h"

#include <QObject>
#include <QTextBlock>
#include <optional>
#include <utility>
#include <vector>

class QTextDocument;

// What the colouring keeps with each block of a document, in the block's
// user state: the scanner's state at the block's end, and two marks about
// the formats of its layout. The end states are known for the blocks before
// validBlocks(); the rest are worked out when a block that follows them is
// coloured, in one pass over their characters.
//
// An edit scans its line again at once; when that line's end state stays as
// it was, nothing after it changes. Otherwise statesChanged() tells the
// painter that the lines after it may need other colours, and the states
// after it are worked out again as they are needed, until one comes out as
// it was before.
class SyntaxBlocks : public QObject {
    Q_OBJECT
public:
    // A child of the document, following its changes.
    explicit SyntaxBlocks(QTextDocument *document);
    // The document's one instance, made when there is none: the colouring
    // and every other reader of the markup share its states.
    static SyntaxBlocks *of(QTextDocument *document);

    int validBlocks() const { return m_valid; }

    // The state where the block (whose number is given) begins, working out
    // the states before it when they are not known.
    HtmlScanner::State stateBefore(const QTextBlock &block, int number);
    // Records the end state of a block whose start state is known (it
    // follows validBlocks() or comes before it).
    void setStateAfter(QTextBlock &block, int number, HtmlScanner::State state);

    // Whether the layout's formats belong to the block's text and to the
    // state it begins in, and whether it holds any.
    static bool formatsCurrent(const QTextBlock &block);
    static bool hasFormats(const QTextBlock &block);
    void setFormatsMarks(QTextBlock &block, bool hasFormats);
    // Every block's formats are to be built again (new colours).
    void forgetFormats();
    // Takes every mark out of the document; the blocks whose layouts hold
    // formats are given to clear first.
    template <typename ClearFormats> void detach(ClearFormats clearFormats);

    // Connected to the document's contentsChange.
    void contentsChange(int position, int removed, int added);

    // The lines edited since the last call, each edit within one line; or,
    // when an edit took or made line breaks or there were many, linesMoved.
    struct Line {
        QTextBlock block;
        int number;
        bool operator==(const Line &) const = default;
    };
    struct Edits {
        std::vector<Line> lines;
        bool linesMoved = false;
    };
    Edits takeEdits() { return std::exchange(m_edits, Edits()); }
    // The number of a block edited since the last takeEdits(), with no lines
    // moved since; nothing for any other block.
    std::optional<int> editedNumber(const QTextBlock &block) const;

signals:
    void statesChanged(int firstBlock);

private:
    void scanUpTo(int number);
    // A line edited, or nothing for an edit that took or made line breaks.
    void noteEdit(const std::optional<Line> &line);

    QTextDocument *m_document;
    int m_valid = 0;
    // Blocks before this (and from validBlocks() on) hold end states worked
    // out from their present text, maybe from another start state.
    int m_computed = 0;
    BlockWatch m_watch;
    Edits m_edits;
};

namespace SyntaxMarks {
inline constexpr int kStateMask = (1 << HtmlScanner::State::kBits) - 1;
inline constexpr int kCurrent = 1 << HtmlScanner::State::kBits;
inline constexpr int kHasFormats = 1 << (HtmlScanner::State::kBits + 1);
} // namespace SyntaxMarks

template <typename ClearFormats> void SyntaxBlocks::detach(ClearFormats clearFormats)
{
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (block.userState() < 0)
            continue;
        if (block.userState() & SyntaxMarks::kHasFormats)
            clearFormats(block);
        block.setUserState(-1);
    }
    m_valid = 0;
    m_computed = 0;
}
