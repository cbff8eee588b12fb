#pragma once

#include "editor/blockwatch.h"
#include "platform/linebreak.h"

#include <QObject>
#include <QString>
#include <QStringView>
#include <QTextFormat>
#include <functional>
#include <optional>
#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;

// A long line of the page is held as several blocks of the editing area's
// document, each after the first marked as the continuation of the block
// before it. Qt lays out and paints a whole block on every change and every
// blink of the caret, so short blocks keep the cost of a keystroke the same
// however long its line is. Between two pieces of a line there is no line
// break: the text, positions, line numbers and byte counts join them.
//
// The mark is a property of the block's format, so it travels with the block
// through edits, undo and redo. Two kinds of edit would move a mark where it
// does not belong, and every edit that may do either runs through this class
// or keepMark: a block made by a real line break must be inserted unmarked
// (Qt copies the current block's format into a new block), and a removal
// that starts at the start of a block and spans a boundary leaves the block
// with the format of the last block it reached, where the mark of the first
// one belongs.
//
// LinePieces keeps the numbers of the continuation blocks, so that counting
// them before a block costs a binary search. A page whose lines are all short
// has none and pays nothing for them.
//
// The line breaks of the page's file are kept the same way: a block whose
// line break before it is not of the page's main kind (a CR LF page with
// some LF lines) carries its kind in its format, a block without one has a
// break of the main kind. A line break typed or inserted is of the main kind.
// The same edits that would move a continuation mark would move these, and
// the same repairs keep them.
class LinePieces : public QObject {
public:
    // Long lines are cut into pieces of this many characters; a piece that
    // grows past kLongestPiece is cut again.
    static constexpr int kPieceLength = 256;
    static constexpr int kLongestPiece = 2 * kPieceLength;
    static constexpr int kContinuationProperty = QTextFormat::UserProperty + 0x4C50;
    static constexpr int kLineBreakProperty = QTextFormat::UserProperty + 0x4C42;

    explicit LinePieces(QTextDocument *document);

    static bool isContinuation(const QTextBlock &block);
    // Whether a line break follows the block, and not another piece of its
    // line.
    static bool endsLine(const QTextBlock &block);

    // The kind of the line break before the block: its own, else the main
    // one. Meaningless for a continuation and the first block.
    LineBreak breakBefore(const QTextBlock &block) const;
    LineBreak mainBreak() const { return m_mainBreak; }
    // Line breaks of another kind than the main one.
    int oddBreakCount() const;
    // Makes every line break of kind to, as one edit that undoes with the
    // main kind it had.
    void unifyBreaks(LineBreak to);
    // Gives the lines after odd breaks their own kind again, as one edit
    // (after the page's text was put in with breaks of the main kind).
    void markBreaks(const std::vector<LineBreaks::Odd> &odd);
    // Called when the main kind changes or line breaks of another kind come
    // or go.
    void setBreaksChanged(std::function<void()> changed) { m_breaksChanged = std::move(changed); }

    // Continuation blocks among the blocks 0 to blockNumber.
    int continuationsUpTo(int blockNumber) const;
    // What a position in the block numbered so counts more in the text with
    // CR LF line breaks than in the widget: every earlier line break adds the
    // LF of its CR LF, every boundary between pieces takes away the separator
    // that stands for it.
    int modelOffset(int blockNumber) const
    {
        return blockNumber - 2 * continuationsUpTo(blockNumber);
    }
    int continuationCount() const { return int(m_continuations.size()); }
    // Counts the document's changes, so that what was read of it can be
    // known to be current.
    quint64 changes() const { return m_changes; }
    // The last of them: where it was, the characters it took and gave, and
    // whether blocks came or went (or the whole text was set anew).
    struct Change {
        int position = 0;
        int removed = 0;
        int added = 0;
        bool blocksChanged = true;
    };
    const Change &lastChange() const { return m_lastChange; }

    // The widget's raw text of a range that starts in block firstBlock, with
    // each line break (paragraph separator) written as lineBreak and the
    // boundaries between pieces left out.
    // separators is the number of paragraph separators in raw.
    QString joined(QStringView raw, int firstBlock, int separators, QStringView lineBreak) const;

    // The document's raw text (toRawText) as the page's file holds it: each
    // line break of its own kind, the pieces of a line joined.
    QString pageText(QStringView raw) const;
    // The same for raw text from a position in block firstBlock on, which
    // holds separators paragraph separators.
    QString pageText(QStringView raw, int firstBlock, int separators) const;

    // Positions in the document's text with the piece boundaries left out.
    int joinedPosition(int widgetPosition) const;
    // At a piece boundary: the end of the earlier piece when atPieceEnd,
    // else the start of the later one.
    int widgetPosition(int joinedPosition, bool atPieceEnd) const;

    // Replaces the cursor's selection by text (line breaks as LF; CR and the
    // paragraph separator count as breaks too), as one edit: every line
    // break starts an unmarked block, and blocks grown too long are cut.
    void insertText(QTextCursor &cursor, QStringView text);

    // After a removal that started at position, inside the edit block that
    // made it: gives the block there back the mark the block at position had
    // before the edit.
    void keepMark(int position);

    // Joins every empty piece among the blocks from the one at firstPosition
    // through the one at lastPosition to its neighbour in its line: an empty
    // piece would show as a blank row that is no line. Within an edit block
    // of the caller's.
    void dropEmptyPieces(int firstPosition, int lastPosition);

    // Cuts every block from the one at firstPosition through the one at
    // lastPosition that is longer than kLongestPiece. Within an edit block of
    // the caller's, so that the cut undoes with the edit that needed it.
    void cutLongBlocks(int firstPosition, int lastPosition);

    // Loads text (line breaks as LF) as the whole document through load,
    // which sets the widget's text; the lines longer than kLongestPiece
    // arrive cut, without an undo step. The line breaks are of kind main
    // but for those in odd.
    void load(QString text, const std::function<void(const QString &)> &setPlainText,
              LineBreak main = LineBreak::CrLf, const std::vector<LineBreaks::Odd> &odd = {});

private:
    friend class MainBreakChange;
    struct BreakMark {
        int block;
        LineBreak kind;
    };
    void contentsChange(int position, int charsRemoved, int charsAdded);
    // The mark a block carried before the edit under way, from the numbers
    // kept.
    const BreakMark *breakMarkBefore(int blockNumber) const;
    // Sets or clears the continuation mark and the line break of one block.
    static void setMarks(const QTextBlock &block, bool continuation,
                         std::optional<LineBreak> ownBreak);

    QTextDocument *m_document;
    // Block numbers of the continuation blocks, ascending.
    std::vector<int> m_continuations;
    // The blocks with a line break of their own before them, ascending.
    std::vector<BreakMark> m_breakMarks;
    LineBreak m_mainBreak = LineBreak::CrLf;
    BlockWatch m_watch;
    quint64 m_changes = 0;
    Change m_lastChange;
    // False while no continuation can exist, not even in the undo history.
    bool m_mayHaveMarks = false;
    std::function<void()> m_breaksChanged;
    bool m_loading = false;
};
