#include "snippets/tagcase.h"

#include "editor/htmlscanner.h"
#include "editor/richtext.h"
#include "snippets/lettercase.h"

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

void apply(RichText &richText, bool upper)
{
    // The page as the model gives it: the pieces of a long line joined, the
    // line breaks CR LF, and every character as it is.
    const QString text = richText.Text();
    const qsizetype selStart = richText.SelStart();
    const qsizetype selLength = richText.SelLength();
    const bool wholePage = selLength == 0;
    const std::optional<Change> found = change(
        text, wholePage ? 0 : selStart, wholePage ? text.size() : selStart + selLength, upper);
    if (!found)
        return;
    richText.setSelStart(found->start);
    richText.setSelLength(found->length);
    richText.setSelText(found->text);
    // The selection (or the caret) where it was; a name that grew makes the
    // selection longer.
    richText.setSelStart(selStart);
    if (!wholePage)
        richText.setSelLength(selLength + found->text.size() - found->length);
}

} // namespace TagCase
