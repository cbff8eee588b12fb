#include "snippets/lettercase.h"

#include "editor/linepieces.h"
#include "editor/richtextbox.h"

#include <QTextCursor>

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

namespace LetterCase {

std::vector<InPlaceEdits::Edit> edits(QStringView text, qsizetype from, qsizetype to, bool upper)
{
    std::vector<InPlaceEdits::Edit> edits;
    for (qsizetype start = from; start <= to;) {
        qsizetype end = text.sliced(0, to).indexOf(QChar::ParagraphSeparator, start);
        if (end < 0)
            end = to;
        const QStringView line = text.sliced(start, end - start);
        const QString converted =
            upper ? LetterCase::upper(line.toString()) : LetterCase::lower(line.toString());
        // Only what changed goes in again: the same start and end stay.
        if (converted != line)
            edits.push_back(InPlaceEdits::difference(start, line, converted));
        start = end + 1;
    }
    return edits;
}

void convert(RichTextBox &box, bool upper)
{
    const qsizetype caret = box.SelStart();
    const qsizetype selected = box.SelLength();
    const QTextCursor cursor = box.textCursor();
    const LinePieces &pieces = box.pieces();
    const QString text = InPlaceEdits::documentText(box);
    const qsizetype from = selected ? pieces.joinedPosition(cursor.selectionStart()) : 0;
    const qsizetype to = selected ? pieces.joinedPosition(cursor.selectionEnd()) : text.size();
    const std::vector<InPlaceEdits::Edit> found = edits(text, from, to, upper);
    qsizetype grown = 0;
    for (const InPlaceEdits::Edit &edit : found)
        grown += edit.text.size() - edit.length;
    if (!found.empty())
        InPlaceEdits::apply(box, text, found);
    // A converted selection leaves the caret after it, as any insertion
    // does; the whole page leaves it where it was.
    box.setSelStart(selected ? caret + selected + grown : qMin(caret, box.textLength()));
}

} // namespace LetterCase
