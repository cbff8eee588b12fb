#pragma once

#include <QLatin1StringView>
#include <QString>

namespace Checker {

// The message for a parse error of the tokenizer, by its name in the HTML
// standard; what names the tag or character concerned.
QString tokenMessage(QLatin1StringView code, const QString &what = QString());

// A character as messages name it: “x”（U+XXXX）, or just U+XXXX for one
// that cannot be shown.
QString characterName(char32_t c);

} // namespace Checker
