#pragma once

#include <QString>

class RichTextBox;
class StatusLine;

// The document totals and the caret's place on the status line, written when
// a mouse button is released over the editing area and when Enter is pressed.
namespace CaretStatus {

// "总共:    12行数    345字节   "
QString totalsText(int lines, qint64 bytes);
// The totals followed by "当前:    Ln 3,Col 5".
QString caretText(int lines, qint64 bytes, int line, qint64 column);

// Totals with the caret (mouse released).
void refreshWithCaret(const RichTextBox &richText, StatusLine &status);
// Totals only (Enter).
void refreshTotals(const RichTextBox &richText, StatusLine &status);

} // namespace CaretStatus
