#include "snippets/tagcase.h"

#include "editor/htmlscanner.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "snippets/lettercase.h"

#include <QTextCursor>
#include <optional>

namespace TagCase {

namespace {

bool isName(HtmlScanner::Kind kind)
{
    return kind == HtmlScanner::Tag || kind == HtmlScanner::Attribute;
}

// The name in the other case; nothing when that leaves it as it is, found
// without converting when the name is ASCII.
std::optional<QString> renamed(QStringView name, bool upper)
{
    for (const QChar c : name) {
        if (c.unicode() >= 0x80 || (upper ? (c >= u'a' && c <= u'z') : (c >= u'A' && c <= u'Z'))) {
            QString result =
                upper ? LetterCase::upper(name.toString()) : LetterCase::lower(name.toString());
            if (result == name)
                return std::nullopt;
            return result;
        }
    }
    return std::nullopt;
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
        if (std::optional<QString> name = renamed(text.mid(at, end - at), upper))
            edits.push_back({at, end - at, std::move(*name)});
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
