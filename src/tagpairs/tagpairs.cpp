#include "tagpairs/tagpairs.h"

#include "editor/inplaceedits.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "editor/syntaxblocks.h"
#include "editor/syntaxpalette.h"
#include "editor/tagrules.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// How far the highlight (and the check for an end tag already there) looks
// for a partner, in characters each way: a few thousand lines, read in a
// few milliseconds. A partner beyond is not said to be missing; Ctrl+J and
// the selection look through the whole page.
constexpr qsizetype kHighlightReach = 256 * 1024;

// While a name is renamed with its partner, the search that makes sure they
// are still partners waits for a pause in the typing (ms).
constexpr int kTypingPause = 300;

// A background for marked names: the area's own, turned towards hue as far
// as the text on it stays readable.
QColor markOn(const QColor &background, const QColor &hue, const QColor &text)
{
    QColor best = background;
    for (double amount = 0.15; amount <= 0.6; amount += 0.05) {
        const QColor mixed = QColor::fromRgbF(
            float(background.redF() + (hue.redF() - background.redF()) * amount),
            float(background.greenF() + (hue.greenF() - background.greenF()) * amount),
            float(background.blueF() + (hue.blueF() - background.blueF()) * amount));
        if (SyntaxPalette::contrast(text, mixed) < 3.0)
            break;
        best = mixed;
        if (SyntaxPalette::contrast(mixed, background) >= 1.3)
            break;
    }
    return best;
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':' || c == u'.';
}

} // namespace

TagPairs::TagPairs(RichTextBox &area)
    : QObject(&area)
    , m_area(area)
    , m_fill(new SummaryFill(*area.document(), area.pieces(), this))
{
    m_caretStop.setSingleShot(true);
    m_caretStop.setInterval(0);
    connect(&m_caretStop, &QTimer::timeout, this, &TagPairs::showHighlight);
    connect(&area, &QPlainTextEdit::cursorPositionChanged, this, &TagPairs::caretMoved);
    connect(area.document(), &QTextDocument::contentsChange, this, [this](int position, int, int) {
        m_memo.changed(position);
        // An edit other than a renaming key's (an undo, a paste) ends it.
        if (m_rename && !m_renaming)
            endRename();
    });
    area.installEventFilter(this);
}

TagMatcher TagPairs::matcher() const
{
    TagMatcher matcher(*m_area.document(), m_area.pieces(), *SyntaxBlocks::of(m_area.document()));
    matcher.setMemo(&m_memo);
    return matcher;
}

qsizetype TagPairs::joined(int widgetPosition) const
{
    return m_area.pieces().joinedPosition(widgetPosition);
}

int TagPairs::widget(qsizetype joinedPosition, bool atPieceEnd) const
{
    return m_area.pieces().widgetPosition(int(joinedPosition), atPieceEnd);
}

// The text between two positions, as typed; a tag's name has no line break.
QString TagPairs::textOf(qsizetype from, qsizetype to) const
{
    QTextCursor cursor(m_area.document());
    cursor.setPosition(widget(from));
    cursor.setPosition(widget(to, true), QTextCursor::KeepAnchor);
    return cursor.selectedText().remove(QChar::ParagraphSeparator);
}

bool TagPairs::fresh() const
{
    return m_shownAt == m_area.pieces().changes() && m_shownCaret == m_area.textCursor().position();
}

void TagPairs::caretMoved()
{
    if (m_rename && !m_renaming && !inRenamedName())
        endRename();
    m_caretStop.start(m_rename ? kTypingPause : 0);
}

void TagPairs::refresh()
{
    m_shownAt = m_area.pieces().changes();
    m_shownCaret = m_area.textCursor().position();
    m_shown.reset();
    const QTextCursor cursor = m_area.textCursor();
    if (cursor.hasSelection())
        return;
    TagMatcher tags = matcher();
    tags.setBudget(kHighlightReach);
    const std::optional<Tag> tag = tags.tagAt(joined(cursor.position()));
    if (tag)
        m_shown = Shown{*tag, tags.elementOf(*tag)};
    // A rename goes on while the names are still partners; a new name that
    // the standard pairs otherwise (a <pre> made a <p>) ends it.
    if (m_rename) {
        const bool still =
            m_shown && m_shown->element.status == TagMatcher::Status::Paired &&
            m_shown->tag.nameBegin == joined(m_rename->name.selectionStart()) &&
            (m_shown->tag.end ? m_shown->element.start : *m_shown->element.end).nameBegin ==
                joined(m_rename->partner.selectionStart());
        if (!still)
            endRename();
    }
}

void TagPairs::showHighlight()
{
    refresh();
    QList<QTextCursor> names;
    bool paired = false;
    if (m_shown) {
        const auto name = [this](const Tag &tag) {
            QTextCursor cursor(m_area.document());
            cursor.setPosition(widget(tag.nameBegin));
            cursor.setPosition(widget(tag.nameEnd, true), QTextCursor::KeepAnchor);
            return cursor;
        };
        // A partner too far to be looked for is not said to be missing.
        const TagMatcher::Status status = m_shown->element.status;
        paired = status == TagMatcher::Status::Paired || status == TagMatcher::Status::Unknown;
        names.append(name(m_shown->tag));
        if (status == TagMatcher::Status::Paired)
            names.append(name(m_shown->tag.end ? m_shown->element.start : *m_shown->element.end));
    }
    showMarks(names, paired);
}

void TagPairs::showMarks(const QList<QTextCursor> &names, bool paired)
{
    QList<RichTextBox::Underlay> marks;
    if (!names.isEmpty()) {
        const QColor background = m_area.palette().color(QPalette::Base);
        if (background != m_marksOn) {
            const QColor text = SyntaxPalette(background).color(HtmlScanner::Tag);
            m_marksOn = background;
            m_pairedMark = markOn(background, QColor(0xFFD700), text);
            m_aloneMark = markOn(background, QColor(0xFF4040), text);
        }
        for (const QTextCursor &name : names)
            marks.append({name, paired ? m_pairedMark : m_aloneMark});
    }
    m_area.setUnderlays(marks);
}

bool TagPairs::jumpToPartner()
{
    TagMatcher tags = matcher();
    const QTextCursor cursor = m_area.textCursor();
    const std::optional<Tag> tag = tags.tagAt(joined(cursor.position()));
    if (!tag)
        return false;
    const TagMatcher::Element element = tags.elementOf(*tag);
    if (element.status != TagMatcher::Status::Paired)
        return false;
    const Tag &partner = tag->end ? element.start : *element.end;
    QTextCursor moved = m_area.textCursor();
    moved.setPosition(widget(partner.nameBegin));
    m_area.setTextCursor(moved);
    m_area.ensureCursorVisible();
    return true;
}

bool TagPairs::selectElement()
{
    TagMatcher tags = matcher();
    const QTextCursor cursor = m_area.textCursor();
    const qsizetype from = joined(cursor.selectionStart());
    const qsizetype to = joined(cursor.selectionEnd());
    std::optional<TagMatcher::Element> element;
    if (from == to) {
        if (const std::optional<Tag> tag = tags.tagAt(from))
            element = tags.elementOf(*tag);
    }
    if (!element || element->status == TagMatcher::Status::Stray)
        element = tags.enclosing(from, to);
    if (!element)
        return false;
    QTextCursor selection = m_area.textCursor();
    selection.setPosition(widget(element->from));
    selection.setPosition(widget(element->to, true), QTextCursor::KeepAnchor);
    m_area.setTextCursor(selection);
    m_area.ensureCursorVisible();
    return true;
}

bool TagPairs::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_area || m_handling)
        return false;
    QString typed;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        typed = key->text();
        if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
            typed = QStringLiteral("\b");
        else if (typed.isEmpty() || !typed.front().isPrint())
            return false;
    } else if (event->type() == QEvent::InputMethod) {
        typed = static_cast<QInputMethodEvent *>(event)->commitString();
        if (typed.isEmpty())
            return false;
    } else {
        return false;
    }
    // A key that edits a name with a partner: the partner's name follows in
    // the same undo step as the key's own edit.
    if (m_syncRename && !m_area.textCursor().hasSelection()) {
        if (m_rename && !inRenamedName())
            endRename();
        if (!m_rename) {
            if (!fresh())
                refresh();
            if (m_shown && m_shown->element.status == TagMatcher::Status::Paired)
                startRename(*m_shown);
        }
        if (m_rename)
            return renameWith(event);
    }
    if (m_rename)
        endRename();
    if (!m_autoClose || (typed != u">" && typed != u"/"))
        return false;
    // The end tag goes in after the key, as an undo step of its own.
    const int before = m_area.textCursor().position();
    handle(event);
    const int typedAt = m_area.textCursor().position() - 1;
    if (typedAt == before && m_area.document()->characterAt(typedAt) == typed.front()) {
        if (typed == u">")
            closeStartTag(typedAt);
        else
            closeOpenElement(typedAt);
    }
    return true;
}

// The area handles the event as it would have without this filter (which
// the other filters of the area have seen before it).
void TagPairs::handle(QEvent *event)
{
    m_handling = true;
    static_cast<QObject &>(m_area).event(event);
    m_handling = false;
}

void TagPairs::startRename(const Shown &pair)
{
    const Tag &partner = pair.tag.end ? pair.element.start : *pair.element.end;
    const auto select = [this](const Tag &tag) {
        QTextCursor cursor(m_area.document());
        cursor.setPosition(widget(tag.nameBegin));
        cursor.setPosition(widget(tag.nameEnd, true), QTextCursor::KeepAnchor);
        return cursor;
    };
    m_rename = Rename{select(pair.tag), select(partner), pair.tag.end,
                      textOf(partner.nameBegin, partner.nameEnd)};
}

void TagPairs::endRename()
{
    if (!m_rename)
        return;
    m_rename.reset();
    // The highlight is worked out again as the caret stands.
    m_shownAt = ~quint64(0);
    m_caretStop.start(0);
}

bool TagPairs::inRenamedName() const
{
    const int caret = m_area.textCursor().position();
    return m_rename && !m_area.textCursor().hasSelection() &&
           caret >= m_rename->name.selectionStart() && caret <= m_rename->name.selectionEnd();
}

bool TagPairs::renameWith(QEvent *event)
{
    QTextDocument *document = m_area.document();
    const int lengthBefore = document->characterCount();
    const qsizetype nameBegin = joined(m_rename->name.selectionStart());
    const qsizetype nameLength = joined(m_rename->name.selectionEnd()) - nameBegin;
    const qsizetype lt = nameBegin - (m_rename->end ? 2 : 1);
    // The key's edit is a group of its own, which the partner's edit then
    // joins: one undo step, while each edit is told as an edit of its line.
    m_renaming = true;
    QTextCursor group(document);
    group.beginEditBlock();
    handle(event);
    group.endEditBlock();
    group.joinPreviousEditBlock();
    const bool renamed = renamePartner(lt, nameLength + document->characterCount() - lengthBefore);
    group.endEditBlock();
    m_renaming = false;
    if (!renamed) {
        endRename();
        return true;
    }
    showMarks({m_rename->name, m_rename->partner}, true);
    m_caretStop.start(kTypingPause);
    return true;
}

// After a key in the name: when it edited the name alone, the partner's
// name is made the same. False when the key did something else.
bool TagPairs::renamePartner(qsizetype lt, qsizetype nameLength)
{
    TagMatcher tags = matcher();
    // Only an edit within the name renames: the tag is where it was, and
    // its name took up all the change.
    const std::optional<Tag> now = tags.tagAt(lt + (m_rename->end ? 2 : 1));
    const qsizetype caret = joined(m_area.textCursor().position());
    if (!now || now->lt != lt || now->end != m_rename->end ||
        now->nameEnd - now->nameBegin != nameLength || caret < now->nameBegin ||
        caret > now->nameEnd)
        return false;
    const QString newName = textOf(now->nameBegin, now->nameEnd);
    if (newName.isEmpty() || !std::all_of(newName.begin(), newName.end(), isNameChar))
        return false;
    QTextCursor &partner = m_rename->partner;
    const qsizetype partnerBegin = joined(partner.selectionStart());
    if (textOf(partnerBegin, joined(partner.selectionEnd())) != m_rename->partnerName)
        return false;
    // The name's place moves with the partner's edit when that comes first.
    m_rename->name.setPosition(widget(now->nameBegin));
    m_rename->name.setPosition(widget(now->nameEnd, true), QTextCursor::KeepAnchor);
    // Only the characters that differ change: the layout then redraws the
    // partner's line alone, not the view from it on.
    const InPlaceEdits::Edit change =
        InPlaceEdits::difference(partnerBegin, m_rename->partnerName, newName);
    QTextCursor edit(m_area.document());
    edit.setPosition(widget(change.start));
    if (change.length > 0) {
        edit.setPosition(widget(change.start + change.length, true), QTextCursor::KeepAnchor);
        m_area.pieces().insertText(edit, {});
    }
    m_area.pieces().insertText(edit, change.text);
    partner.setPosition(widget(partnerBegin));
    partner.setPosition(widget(partnerBegin + newName.size(), true), QTextCursor::KeepAnchor);
    m_rename->partnerName = newName;
    return true;
}

void TagPairs::insertAt(int position, const QString &text, int caretAfter)
{
    QTextCursor cursor(m_area.document());
    cursor.setPosition(position);
    cursor.beginEditBlock();
    m_area.pieces().insertText(cursor, text);
    cursor.endEditBlock();
    QTextCursor caret = m_area.textCursor();
    caret.setPosition(caretAfter);
    m_area.setTextCursor(caret);
}

void TagPairs::closeStartTag(int gtPosition)
{
    if (m_area.document()->characterAt(gtPosition) != u'>')
        return;
    TagMatcher tags = matcher();
    tags.setBudget(kHighlightReach);
    const qsizetype gt = joined(gtPosition);
    std::optional<Tag> closed;
    for (const Tag &tag : tags.tagsAround(gt)) {
        if (tag.gt == gt)
            closed = tag;
    }
    if (!closed || closed->end || closed->selfClosing || TagRules::isVoid(closed->name))
        return;
    if (tags.elementOf(*closed).status == TagMatcher::Status::Paired)
        return;
    insertAt(gtPosition + 1,
             QStringLiteral("</") + textOf(closed->nameBegin, closed->nameEnd) + u'>',
             gtPosition + 1);
}

void TagPairs::closeOpenElement(int slashPosition)
{
    const QTextDocument *document = m_area.document();
    if (slashPosition < 1 || document->characterAt(slashPosition) != u'/' ||
        document->characterAt(slashPosition - 1) != u'<' ||
        isNameChar(document->characterAt(slashPosition + 1)))
        return;
    // Only where "<" starts markup: not in a comment, a value, a script.
    const QTextBlock block = document->findBlock(slashPosition);
    const int at = slashPosition - block.position();
    if (at < 1)
        return;
    std::vector<HtmlScanner::Kind> kinds(size_t(at + 1), HtmlScanner::Plain);
    SyntaxBlocks *states = SyntaxBlocks::of(m_area.document());
    HtmlScanner::scan(QStringView(block.text()).left(at + 1),
                      states->stateBefore(block, block.blockNumber()), false, kinds.data());
    if (kinds[size_t(at)] != HtmlScanner::Tag || kinds[size_t(at - 1)] != HtmlScanner::Tag)
        return;
    TagMatcher tags = matcher();
    const std::optional<Tag> open = tags.openAt(joined(slashPosition - 1));
    if (!open)
        return;
    const QString text = textOf(open->nameBegin, open->nameEnd) + u'>';
    insertAt(slashPosition + 1, text, slashPosition + 1 + int(text.size()));
}
