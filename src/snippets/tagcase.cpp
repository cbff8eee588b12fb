#include "snippets/tagcase.h"

#include "editor/htmlscanner.h"
#include "snippets/lettercase.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <vector>

namespace TagCase {

namespace {

bool isName(HtmlScanner::Kind kind)
{
    return kind == HtmlScanner::Tag || kind == HtmlScanner::Attribute;
}

// Whether the case change leaves the name as it is; quick for ASCII.
bool unchanged(QStringView name, bool upper)
{
    for (const QChar c : name) {
        if (c.unicode() >= 0x80)
            return (upper ? LetterCase::upper(name.toString())
                          : LetterCase::lower(name.toString())) == name;
        if (upper ? (c >= u'a' && c <= u'z') : (c >= u'A' && c <= u'Z'))
            return false;
    }
    return true;
}

} // namespace

std::optional<Change> change(QStringView text, qsizetype from, qsizetype to, bool upper)
{
    std::vector<HtmlScanner::Kind> kinds(size_t(text.size()), HtmlScanner::Plain);
    HtmlScanner::scan(text, {}, false, kinds.data());

    from = qBound(qsizetype(0), from, text.size());
    to = qBound(from, to, text.size());
    std::optional<Change> result;
    qsizetype copied = from; // text before this is in result->text
    for (qsizetype at = from; at < to;) {
        if (!isName(kinds[size_t(at)])) {
            ++at;
            continue;
        }
        qsizetype end = at + 1;
        while (end < to && isName(kinds[size_t(end)]))
            ++end;
        const QStringView name = text.mid(at, end - at);
        if (!unchanged(name, upper)) {
            if (!result) {
                result = Change{at, 0, {}};
                result->text.reserve(to - at);
                copied = at;
            }
            result->text += text.mid(copied, at - copied);
            result->text +=
                upper ? LetterCase::upper(name.toString()) : LetterCase::lower(name.toString());
            copied = end;
            result->length = end - result->start;
        }
        at = end;
    }
    return result;
}

void apply(QPlainTextEdit &edit, bool upper)
{
    // The raw text, line breaks as the document's block separators: the
    // plain text would have non-breaking spaces turned into spaces.
    const QString text = edit.document()->toRawText();
    QTextCursor cursor = edit.textCursor();
    const int selStart = cursor.selectionStart();
    const int selEnd = cursor.selectionEnd();
    const bool wholePage = selStart == selEnd;
    const std::optional<Change> found =
        change(text, wholePage ? 0 : selStart, wholePage ? text.size() : selEnd, upper);
    if (!found)
        return;
    QTextCursor replace(edit.document());
    replace.setPosition(int(found->start));
    replace.setPosition(int(found->start + found->length), QTextCursor::KeepAnchor);
    replace.beginEditBlock();
    replace.insertText(found->text);
    replace.endEditBlock();

    // The selection (or the caret) where it was; a name that grew makes
    // the selection longer.
    const int end = edit.document()->characterCount() - 1;
    cursor.setPosition(qMin(selStart, end));
    if (!wholePage)
        cursor.setPosition(qMin(selEnd + int(found->text.size() - found->length), end),
                           QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

} // namespace TagCase
