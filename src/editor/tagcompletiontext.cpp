#include "editor/tagcompletiontext.h"

#include "editor/linepieces.h"
#include "editor/richtextbox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr int kCharByChar = RichTextBoxCaretText::kCharByChar;

// The caret's block, where it starts and its text, read once per change.
struct Hint {
    const QTextBlock &block;
    int start;
    const QString &text;

    bool holds(int position) const
    {
        return position >= start && position < start + block.length();
    }
    QString textOf(const QTextBlock &other) const { return other == block ? text : other.text(); }
};

// The block at position: the hint's when it holds it, else the one the
// document finds.
QTextBlock blockAt(const QTextDocument *document, int position, const Hint &hint)
{
    return hint.holds(position) ? hint.block : document->findBlock(position);
}

// The widget's text between two positions, each line break as CR LF.
QString widgetText(const QTextDocument *document, int from, int to, const Hint &hint)
{
    if (to <= from)
        return QString();
    // Within one line of ordinary length, the line's own text is the
    // cheapest way to it.
    const QTextBlock block = blockAt(document, from, hint);
    if (block.isValid() && block.length() <= kCharByChar) {
        const int start = block == hint.block ? hint.start : block.position();
        if (to < start + block.length()) {
            const QString line = hint.textOf(block);
            return QStringView(line).sliced(from - start, to - from).toString();
        }
    }
    QString text;
    text.reserve(to - from + 16);
    if (to - from <= kCharByChar) {
        for (int position = from; position < to; ++position) {
            const QChar c = document->characterAt(position);
            if (c != QChar::ParagraphSeparator)
                text += c;
            else if (LinePieces::endsLine(document->findBlock(position)))
                text += QLatin1String("\r\n");
        }
        return text;
    }
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int start = block.position();
        const QString line = block.text();
        const int lineEnd = start + int(line.size());
        text += QStringView(line).sliced(qMax(from, start) - start,
                                         qMin(to, lineEnd) - qMax(from, start));
        if (lineEnd < to && LinePieces::endsLine(block))
            text += QLatin1String("\r\n");
    }
    return text;
}

// Widget position of the last wanted character before end; -1 when none.
int lastBefore(const QTextDocument *document, QChar wanted, int end, const Hint &hint)
{
    if (end <= 0)
        return -1;
    // The caret's line, when it is of ordinary length, is searched in one go.
    const QTextBlock caretBlock = blockAt(document, end - 1, hint);
    if (caretBlock.isValid() && caretBlock.length() <= kCharByChar) {
        const int start = caretBlock.position();
        const QString line = hint.textOf(caretBlock);
        const int inLine = qMin(end - start, int(line.size()));
        if (end - start > line.size() && wanted == QChar::ParagraphSeparator &&
            LinePieces::endsLine(caretBlock))
            return start + int(line.size());
        const qsizetype found = QStringView(line).first(inLine).lastIndexOf(wanted);
        if (found >= 0)
            return start + int(found);
        end = start; // go on before the line
        if (end <= 0)
            return -1;
    }
    const int near = qMax(0, end - kCharByChar);
    for (int position = end - 1; position >= near; --position) {
        if (document->characterAt(position) == wanted &&
            (wanted != QChar::ParagraphSeparator ||
             LinePieces::endsLine(document->findBlock(position))))
            return position;
    }
    if (near == 0)
        return -1;
    for (QTextBlock block = document->findBlock(near); block.isValid(); block = block.previous()) {
        const int start = block.position();
        // Characters of this line still to look at: those before near, and
        // its line break when that lies before near too.
        const int count = near - start;
        if (count <= 0)
            continue;
        const QString line = block.text();
        if (count > line.size() && wanted == QChar::ParagraphSeparator &&
            LinePieces::endsLine(block))
            return start + int(line.size());
        const qsizetype found =
            QStringView(line).first(qMin<qsizetype>(count, line.size())).lastIndexOf(wanted);
        if (found >= 0)
            return start + int(found);
    }
    return -1;
}

} // namespace

RichTextBoxCaretText::RichTextBoxCaretText(RichTextBox &richText)
    : m_richText(richText)
{}

qsizetype RichTextBoxCaretText::SelStart() const
{
    return caretLine().model;
}

const RichTextBoxCaretText::CaretLine &RichTextBoxCaretText::caretLine() const
{
    // The change rule asks several times after each key: the document's
    // block tree is walked once.
    const int caret = m_richText.textCursor().selectionStart();
    const LinePieces &pieces = m_richText.pieces();
    const quint64 changes = pieces.changes();
    if (m_line.block.isValid() && changes == m_line.changes) {
        if (caret != m_line.caret)
            return moveCaretOnLine(caret);
        return m_line;
    }
    // A keystroke changes the caret's block and no other: the block keeps
    // its place among the blocks, and only its text is read again. The
    // block is not touched before that is known: a text set anew frees
    // every block.
    const LinePieces::Change &change = pieces.lastChange();
    if (m_line.block.isValid() && changes == m_line.changes + 1 && !change.blocksChanged) {
        // The block's text ended here before the change.
        const int textEnd =
            m_line.start + m_line.block.length() - 1 - change.added + change.removed;
        if (change.position >= m_line.start && change.position + change.removed <= textEnd) {
            m_line.changes = changes;
            m_line.text = m_line.block.length() <= kCharByChar ? m_line.block.text() : QString();
            return moveCaretOnLine(caret);
        }
    }
    const QTextBlock block = m_richText.document()->findBlock(caret);
    const int number = block.blockNumber();
    const qsizetype offset = pieces.modelOffset(number);
    m_line = {caret,
              block,
              block.position(),
              caret + offset,
              offset,
              changes,
              block.length() <= kCharByChar ? block.text() : QString()};
    return m_line;
}

const RichTextBoxCaretText::CaretLine &RichTextBoxCaretText::moveCaretOnLine(int caret) const
{
    if (caret < m_line.start || caret >= m_line.start + m_line.block.length()) {
        m_line.block = QTextBlock();
        return caretLine();
    }
    m_line.caret = caret;
    m_line.model = caret + m_line.offset;
    return m_line;
}

RichTextBoxCaretText::Place RichTextBoxCaretText::place(const CaretLine &line,
                                                        qsizetype model) const
{
    // Most positions asked for lie in the caret's block, before the caret or
    // a few characters after it: there both counts differ by the same number
    // of line breaks.
    const qsizetype back = line.model - model;
    const int textEnd = line.start + line.block.length() - 1;
    if (back >= qsizetype(line.caret) - textEnd && back <= line.caret - line.start)
        return {line.caret - int(back), false};
    // The line break at its end: between its CR and LF, or just after it.
    const qsizetype pastText = -back - (textEnd - line.caret);
    if ((pastText == 1 || pastText == 2) && line.block.next().isValid() &&
        LinePieces::endsLine(line.block))
        return {textEnd + int(pastText) - 1, pastText == 1};
    const int widget = m_richText.toWidgetPosition(model);
    return {widget, m_richText.toModelPosition(widget) < model};
}

QString RichTextBoxCaretText::Mid(qsizetype position, qsizetype length) const
{
    const qsizetype first = qMax(qsizetype(0), position - 1);
    const qsizetype last = qMin(m_richText.textLength(), first + qMax(qsizetype(0), length));
    if (last <= first)
        return QString();
    // A model position between the CR and the LF of a line break maps to
    // the end of its line; the half of the break it cuts is added by hand.
    const CaretLine &line = caretLine();
    Place from = place(line, first);
    QString head;
    if (from.insideBreak) {
        head = QStringLiteral("\n");
        ++from.widget;
    }
    const Place to = place(line, last);
    QString text = widgetText(m_richText.document(), from.widget, qMax(from.widget, to.widget),
                              Hint{line.block, line.start, line.text});
    if (!head.isEmpty())
        text.prepend(head);
    if (to.insideBreak)
        text += u'\r';
    return text;
}

qsizetype RichTextBoxCaretText::lastIndexOf(QChar ch, qsizetype count) const
{
    if (count <= 0)
        return 0;
    const CaretLine &line = caretLine();
    const Place end = place(line, count);
    // With count inside a line break, only the CR of it is among the
    // first count characters.
    if (ch == u'\r' && end.insideBreak)
        return count;
    const bool lineBreak = ch == u'\r' || ch == u'\n';
    const int found =
        lastBefore(m_richText.document(), lineBreak ? QChar(QChar::ParagraphSeparator) : ch,
                   end.widget, Hint{line.block, line.start, line.text});
    if (found < 0)
        return 0;
    // On the caret's line both counts differ by the same number of breaks.
    const qsizetype model = found >= line.start && found <= line.caret
                                ? line.model - (line.caret - found)
                                : m_richText.toModelPosition(found);
    // A line break found for CR is its first character, for LF its second.
    return model + (ch == u'\n' ? 2 : 1);
}

void RichTextBoxCaretText::setSelStart(qsizetype start)
{
    m_richText.setSelStart(start);
}

void RichTextBoxCaretText::setSelLength(qsizetype length)
{
    m_richText.setSelLength(length);
}

void RichTextBoxCaretText::setSelText(const QString &text)
{
    m_richText.setSelText(text);
}
