#pragma once

#include "editor/inplaceedits.h"

#include <QString>
#include <QStringView>
#include <vector>

class RichTextBox;

// Upper and lower case of a whole text, as QString::toUpper and toLower give
// them (full mappings: "ß" becomes "SS"), but quick for the usual page of
// ASCII markup and Chinese text: those are converted in place in one pass.
// Text is taken by value so that a page handed over with std::move is not
// copied.
namespace LetterCase {

QString upper(QString text);
QString lower(QString text);

// The edits that put the characters from to to of a document's text
// (InPlaceEdits::documentText) in upper or lower case: one for each line
// that changes, from its first to its last changed character.
std::vector<InPlaceEdits::Edit> edits(QStringView text, qsizetype from, qsizetype to, bool upper);

// The selection of the box, or the whole page when nothing is selected, in
// upper or lower case as one undoable edit that keeps every line where it is
// (with its own line break). A selection leaves the caret after it, the
// whole page leaves the caret where it was.
void convert(RichTextBox &box, bool upper);

} // namespace LetterCase
