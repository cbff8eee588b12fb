#include "snippets/lettercase.h"

namespace LetterCase {

namespace {

// Whether a character outside ASCII may change with the case: a cased letter
// (whose full mapping may differ from its simple one, "ß" -> "SS"), any other
// character with a mapping (Roman numerals, circled letters), or half of a
// surrogate pair, which is not looked at alone.
bool mayChangeCase(char16_t c)
{
    // Chinese and Japanese characters and their punctuation have no case.
    if (c >= 0x3000 && c <= 0x9FFF)
        return false;
    if (QChar::isSurrogate(c))
        return true;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
        return true;
    default:
        return QChar::toUpper(c) != c || QChar::toLower(c) != c;
    }
}

template <char16_t From, char16_t To>
QString convert(QString text, QString (QString::*fallback)() &&)
{
    if (text.isEmpty())
        return text;
    QChar *const begin = text.data();
    QChar *const end = begin + text.size();
    for (QChar *p = begin; p != end; ++p) {
        const char16_t c = p->unicode();
        if (c < 0x80) {
            if (c >= From && c < From + 26)
                *p = QChar(char16_t(c - From + To));
        } else if (mayChangeCase(c)) {
            // The rest needs the full Unicode rules; what is done so far is
            // already in its final case.
            return (std::move(text).*fallback)();
        }
    }
    return text;
}

} // namespace

QString upper(QString text)
{
    return convert<u'a', u'A'>(std::move(text), &QString::toUpper);
}

QString lower(QString text)
{
    return convert<u'A', u'a'>(std::move(text), &QString::toLower);
}

} // namespace LetterCase
