#pragma once

#include <QTextCursor>

class QTextDocument;

// Word moves and selections over a line held as several pieces (see
// LinePieces), as Qt makes them over a line held in one block: the pieces
// around the position are read as one line into a scratch document, where
// Qt's own cursor finds the words, so that a long line keeps the rules of
// every other line. A word longer than the pieces read takes more of them.
// Positions are the widget's.
namespace LineWords {

// Where a word move (QTextCursor::WordLeft or WordRight) from position
// ends, or -1 at the line's end it moves away from: there it crosses the line
// break, as in any line.
int move(const QTextDocument *document, int position, QTextCursor::MoveOperation operation);

// The word at position, as QTextCursor::select(WordUnderCursor) finds it in
// a line of one block: start and end, equal where there is no word.
std::pair<int, int> wordAt(const QTextDocument *document, int position);

// The whole line at position and its line break, as a triple click selects a
// block.
std::pair<int, int> lineAt(const QTextDocument *document, int position);

} // namespace LineWords
