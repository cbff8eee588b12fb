#include "editor/inplaceedits.h"

#include "editor/linepieces.h"
#include "editor/richtextbox.h"

#include <QTextCursor>
#include <QTextDocument>

namespace InPlaceEdits {

namespace {

// Edits closer together than this on one line go in as one: far fewer edits
// on pages with many of them, little text inserted again.
constexpr qsizetype kMaxJoinedGap = 1024;

} // namespace

Edit difference(qsizetype start, QStringView before, QStringView after)
{
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (head > 0 && QChar::isHighSurrogate(before[head - 1].unicode()))
        --head;
    if (tail > 0 && QChar::isLowSurrogate(before[before.size() - tail].unicode()))
        --tail;
    return {start + head, before.size() - head - tail,
            after.sliced(head, after.size() - head - tail).toString()};
}

QString documentText(const RichTextBox &box)
{
    const QTextDocument *document = box.document();
    const LinePieces &pieces = box.pieces();
    const QString raw = document->toRawText();
    if (pieces.continuationCount() == 0)
        return raw;
    return pieces.joined(raw, 0, document->blockCount() - 1, QStringView(u"\u2029"));
}

void apply(RichTextBox &box, QStringView text, const std::vector<Edit> &edits)
{
    // The edits' ends in the widget's positions, taken before any edit; an
    // edit across the boundary of two pieces of a line takes the boundary
    // with it.
    LinePieces &pieces = box.pieces();
    const size_t count = edits.size();
    std::vector<int> starts(count);
    std::vector<int> ends(count);
    for (size_t k = 0; k < count; ++k) {
        starts[k] = pieces.widgetPosition(int(edits[k].start), false);
        ends[k] = pieces.widgetPosition(int(edits[k].start + edits[k].length), true);
    }
    // A copy of the caret begins the step, so that undo puts the caret back
    // where it stood.
    QTextCursor cursor = box.textCursor();
    cursor.beginEditBlock();
    // From the last edit back, so that the positions taken stay valid.
    QString joined;
    for (size_t last = count; last > 0;) {
        size_t first = last - 1;
        while (first > 0) {
            const qsizetype gapStart = edits[first - 1].start + edits[first - 1].length;
            const QStringView gap = text.sliced(gapStart, edits[first].start - gapStart);
            if (gap.size() > kMaxJoinedGap || gap.contains(QChar::ParagraphSeparator))
                break;
            --first;
        }
        joined.clear();
        for (size_t k = first; k < last; ++k) {
            if (k > first) {
                const qsizetype gapStart = edits[k - 1].start + edits[k - 1].length;
                joined += text.sliced(gapStart, edits[k].start - gapStart);
            }
            joined += edits[k].text;
        }
        cursor.setPosition(starts[first]);
        cursor.setPosition(ends[last - 1], QTextCursor::KeepAnchor);
        pieces.insertText(cursor, joined);
        last = first;
    }
    cursor.endEditBlock();
}

} // namespace InPlaceEdits
