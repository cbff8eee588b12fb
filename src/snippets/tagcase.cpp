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
        const QString name = text.mid(at, end - at).toString();
        const QString converted = upper ? LetterCase::upper(name) : LetterCase::lower(name);
        if (converted != name) {
            if (!result) {
                result = Change{at, 0, {}};
                copied = at;
            }
            result->text += text.mid(copied, at - copied);
            result->text += converted;
            copied = end;
            result->length = end - result->start;
        }
        at = end;
    }
    return result;
}

void apply(QPlainTextEdit &edit, bool upper)
{
    const QString text = edit.toPlainText();
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
