#pragma once

#include <QString>
#include <QStringView>
#include <vector>

class RichTextBox;

// Replacements made where they stand in the editing area's document, as one
// undo step. Rewriting the whole page would remove and insert every line;
// edits in place touch only the lines that change.
//
// Positions count in the document's text as documentText() gives it: one
// paragraph separator per line break, the pieces of a long line joined.
namespace InPlaceEdits {

// length characters from start give way to text.
struct Edit {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// The edit that makes after of before, which stands at start: what the two
// have alike at their start and end stays (a surrogate pair goes whole).
Edit difference(qsizetype start, QStringView before, QStringView after);

// The document's text in the positions that edits count in.
QString documentText(const RichTextBox &box);

// Makes edits (ascending, not overlapping, none taking a line break) in text,
// the box's documentText(). Neighbours on one line go in as one edit.
void apply(RichTextBox &box, QStringView text, const std::vector<Edit> &edits);

} // namespace InPlaceEdits
