#include "snippets/tagcase.h"

#include "editor/htmlscanner.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "snippets/lettercase.h"

#include <QTextCursor>

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

std::vector<InPlaceEdits::Edit> renamings(QStringView text, qsizetype from, qsizetype to,
                                          bool upper)
{
    std::vector<HtmlScanner::Kind> kinds(size_t(text.size()), HtmlScanner::Plain);
    HtmlScanner::scan(text, {}, false, kinds.data());

    from = qBound(qsizetype(0), from, text.size());
    to = qBound(from, to, text.size());
    std::vector<InPlaceEdits::Edit> edits;
    for (qsizetype at = from; at < to;) {
        if (!isName(kinds[size_t(at)])) {
            ++at;
            continue;
        }
        qsizetype end = at + 1;
        while (end < to && isName(kinds[size_t(end)]))
            ++end;
        const QStringView name = text.mid(at, end - at);
        if (!unchanged(name, upper))
            edits.push_back(
                {at, end - at,
                 upper ? LetterCase::upper(name.toString()) : LetterCase::lower(name.toString())});
        at = end;
    }
    return edits;
}

void apply(RichTextBox &box, bool upper)
{
    const qsizetype selStart = box.SelStart();
    const qsizetype selLength = box.SelLength();
    const QTextCursor cursor = box.textCursor();
    const LinePieces &pieces = box.pieces();
    const QString text = InPlaceEdits::documentText(box);
    const bool wholePage = selLength == 0;
    const std::vector<InPlaceEdits::Edit> edits =
        renamings(text, wholePage ? 0 : pieces.joinedPosition(cursor.selectionStart()),
                  wholePage ? text.size() : pieces.joinedPosition(cursor.selectionEnd()), upper);
    if (edits.empty())
        return;
    qsizetype grown = 0;
    for (const InPlaceEdits::Edit &edit : edits)
        grown += edit.text.size() - edit.length;
    InPlaceEdits::apply(box, text, edits);
    // The selection (or the caret) where it was; a name that grew makes the
    // selection longer.
    box.setSelStart(selStart);
    if (!wholePage)
        box.setSelLength(selLength + grown);
}

} // namespace TagCase
