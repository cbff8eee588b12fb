#pragma once

#include <QString>
#include <optional>

class RichText;

// Upper or lower case for the tag and attribute names only: text, attribute
// values, comments, scripts and style sheets stay as they are. The page is
// read as a browser would read it, from its start, so a selection that
// begins inside a comment or a script changes nothing there.
namespace TagCase {

// What changes: length characters from start give way to text.
struct Change {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// The change that puts the names between from and to (indexes into text)
// in upper or lower case, or nothing when they already are. Line breaks may
// be CR, LF or the document's block separator.
std::optional<Change> change(QStringView text, qsizetype from, qsizetype to, bool upper);

// Converts the names of the selection, or of the whole page when nothing is
// selected, in one edit that a single undo takes back. The selection stays.
void apply(RichText &richText, bool upper);

} // namespace TagCase
