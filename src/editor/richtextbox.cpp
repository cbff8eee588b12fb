#include "editor/richtextbox.h"

#include "editor/ansibytecounter.h"

#include <QDropEvent>
#include <QMouseEvent>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Model position of the first character of a block: every earlier block
// adds one character for the LF of its CR LF.
qsizetype modelStartOf(const QTextBlock &block)
{
    return qsizetype(block.position()) + block.blockNumber();
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_byteCounter(new AnsiByteCounter(document()))
{
    setObjectName(QStringLiteral("RichText"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, &RichTextBox::Change);
}

QString RichTextBox::normalizedLineBreaks(QString text)
{
    const qsizetype firstCr = text.indexOf(u'\r');
    if (firstCr < 0)
        return text;
    // One pass: CR LF and a lone CR both become LF. The result is never
    // longer than the text, so it is written over it.
    QChar *const begin = text.data();
    const QChar *const end = begin + text.size();
    const QChar *in = begin + firstCr;
    QChar *out = begin + firstCr;
    while (in != end) {
        const QChar c = *in++;
        if (c == u'\r') {
            *out++ = u'\n';
            if (in != end && *in == u'\n')
                ++in;
        } else {
            *out++ = c;
        }
    }
    text.truncate(out - begin);
    return text;
}

QString RichTextBox::Text() const
{
    // The raw text holds each line break as one paragraph separator, which
    // typed or inserted text can never contain itself.
    const QString raw = document()->toRawText();
    QString text(raw.size() + document()->blockCount() - 1, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    text.truncate(out - text.constData());
    return text;
}

void RichTextBox::setText(QString text)
{
    setPlainText(normalizedLineBreaks(std::move(text)));
}

qsizetype RichTextBox::textLength() const
{
    const QTextDocument *doc = document();
    return qsizetype(doc->characterCount()) - 1 + (doc->blockCount() - 1);
}

qsizetype RichTextBox::toModelPosition(int widgetPosition) const
{
    const QTextBlock block = document()->findBlock(widgetPosition);
    if (!block.isValid())
        return textLength();
    return qsizetype(widgetPosition) + block.blockNumber();
}

int RichTextBox::toWidgetPosition(qsizetype modelPosition) const
{
    const QTextDocument *doc = document();
    if (modelPosition <= 0)
        return 0;
    if (modelPosition >= textLength())
        return doc->characterCount() - 1;
    // The last block whose model start is at or before the position.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (modelStartOf(doc->findBlockByNumber(middle)) <= modelPosition)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const qsizetype offset =
        qMin(modelPosition - modelStartOf(block), qsizetype(block.length() - 1));
    return block.position() + int(offset);
}

qsizetype RichTextBox::SelStart() const
{
    return toModelPosition(textCursor().selectionStart());
}

void RichTextBox::setSelStart(qsizetype start)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(toWidgetPosition(start));
    setTextCursor(cursor);
}

qsizetype RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return toModelPosition(cursor.selectionEnd()) - toModelPosition(cursor.selectionStart());
}

void RichTextBox::setSelLength(qsizetype length)
{
    QTextCursor cursor = textCursor();
    const qsizetype start = toModelPosition(cursor.selectionStart());
    const qsizetype end = qBound(start, start + qMax(qsizetype(0), length), textLength());
    cursor.setPosition(cursor.selectionStart());
    cursor.setPosition(toWidgetPosition(end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

void RichTextBox::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(normalizedLineBreaks(text));
    setTextCursor(cursor);
}

bool RichTextBox::isModified() const
{
    return document()->isModified();
}

void RichTextBox::setModified(bool modified)
{
    document()->setModified(modified);
}

int RichTextBox::GetLineCount() const
{
    return document()->blockCount();
}

int RichTextBox::GetCurrentLine() const
{
    return document()->findBlock(textCursor().selectionStart()).blockNumber() + 1;
}

qsizetype RichTextBox::GetLineStart(int line) const
{
    const QTextBlock block = document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid())
        return -1;
    return modelStartOf(block);
}

qint64 RichTextBox::ansiByteCount() const
{
    return m_byteCounter->bytes();
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    emit MouseDown(event->button());
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit MouseUp(event->button(), event->globalPosition().toPoint());
}

// The edit menu comes from the right-button release and the menu key, not
// from the widget's own menu.
void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
    emit OLEDragOver(event);
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
    emit OLEDragOver(event);
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    event->ignore();
    emit OLEDragDrop(event);
}
