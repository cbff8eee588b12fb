#pragma once

#include <QString>

// Upper and lower case of a whole text, as QString::toUpper and toLower give
// them (full mappings: "ß" becomes "SS"), but quick for the usual page of
// ASCII markup and Chinese text: those are converted in place in one pass.
// Text is taken by value so that a page handed over with std::move is not
// copied.
namespace LetterCase {

QString upper(QString text);
QString lower(QString text);

} // namespace LetterCase
