#pragma once

#include "editor/inplaceedits.h"

#include <QStringView>
#include <vector>

class RichTextBox;

// Upper or lower case for the tag and attribute names only: text, attribute
// values, comments, scripts and style sheets stay as they are. The page is
// read as a browser would read it, from its start, so a selection that
// begins inside a comment or a script changes nothing there.
namespace TagCase {

// The edits that put the names between from and to (indexes into text) in
// upper or lower case, ascending; none when they already are. Line breaks
// may be CR, LF or the document's block separator.
std::vector<InPlaceEdits::Edit> renamings(QStringView text, qsizetype from, qsizetype to,
                                          bool upper);

// Converts the names of the selection, or of the whole page when nothing is
// selected, in one edit that a single undo takes back. Only the names are
// written again, in place. The selection stays.
void apply(RichTextBox &box, bool upper);

} // namespace TagCase
