#include "editor/richtextbox.h"

#include "editor/ansibytecounter.h"
#include "editor/colouringlayout.h"
#include "editor/glyphcache.h"
#include "editor/linepieces.h"
#include "editor/linewords.h"
#include "editor/slicedtextcopy.h"
#include "editor/undocarets.h"

#include <QApplication>
#include <QDateTime>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

bool matchesAny(const QKeyEvent *event, std::initializer_list<QKeySequence::StandardKey> keys)
{
    for (const QKeySequence::StandardKey key : keys) {
        if (event->matches(key))
            return true;
    }
    return false;
}

bool isCharacterMove(const QKeyEvent *event)
{
    return matchesAny(event, {QKeySequence::MoveToNextChar, QKeySequence::MoveToPreviousChar,
                              QKeySequence::SelectNextChar, QKeySequence::SelectPreviousChar});
}

bool isHome(const QKeyEvent *event)
{
    return matchesAny(event, {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine});
}

bool isEnd(const QKeyEvent *event)
{
    return matchesAny(event, {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine});
}

// Typed text, as the widget would insert it.
bool typesText(const QKeyEvent *event)
{
    const QString text = event->text();
    return !text.isEmpty() && (text.front().isPrint() || text.front() == u'\t');
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_layout(ColouringLayout::installIn(this))
    , m_pieces(new LinePieces(document()))
    , m_byteCounter(new AnsiByteCounter(document()))
    , m_glyphs(new GlyphCache(document()))
    , m_undoCarets(new UndoCarets(document()))
{
    setObjectName(QStringLiteral("RichText"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, &RichTextBox::Change);
    m_pieces->setBreaksChanged([this] {
        m_byteCounter->setMainBreak(m_pieces->mainBreak());
        emit LineBreaksChanged();
    });
}

QString RichTextBox::normalizedLineBreaks(QString text)
{
    return LineBreaks::split(std::move(text)).text;
}

QString RichTextBox::Text() const
{
    // The raw text holds each block boundary as one paragraph separator,
    // which typed or inserted text can never contain itself.
    return m_pieces->joined(document()->toRawText(), 0, document()->blockCount() - 1, u"\r\n");
}

std::unique_ptr<TextCopy> RichTextBox::copyPageText() const
{
    return std::make_unique<SlicedTextCopy>(document(), *m_pieces);
}

void RichTextBox::setText(QString text)
{
    const LineBreak main = m_pieces->mainBreak();
    const bool wasMixed = hasMixedLineBreaks();
    m_pieces->load(
        normalizedLineBreaks(std::move(text)),
        [this](const QString &plain) { setPlainText(plain); }, main);
    if (wasMixed)
        emit LineBreaksChanged();
}

QString RichTextBox::pageText() const
{
    return m_pieces->pageText(document()->toRawText());
}

void RichTextBox::setPageText(LineBreaks::Split page)
{
    m_pieces->load(
        std::move(page.text), [this](const QString &plain) { setPlainText(plain); }, page.main,
        page.odd);
    m_byteCounter->setMainBreak(page.main);
    emit LineBreaksChanged();
}

LineBreak RichTextBox::mainLineBreak() const
{
    return m_pieces->mainBreak();
}

bool RichTextBox::hasMixedLineBreaks() const
{
    return m_pieces->oddBreakCount() > 0;
}

void RichTextBox::unifyLineBreaks(LineBreak to)
{
    m_pieces->unifyBreaks(to);
}

void RichTextBox::replacePage(LineBreaks::Split page)
{
    QTextCursor edit(document());
    edit.beginEditBlock();
    setSelStart(0);
    setSelLength(textLength());
    setSelText(page.text);
    if (m_pieces->mainBreak() != page.main)
        m_pieces->unifyBreaks(page.main);
    m_pieces->markBreaks(page.odd);
    edit.endEditBlock();
}

qsizetype RichTextBox::textLength() const
{
    const QTextDocument *doc = document();
    return qsizetype(doc->characterCount()) - 1 + (doc->blockCount() - 1) -
           2 * m_pieces->continuationCount();
}

qsizetype RichTextBox::toModelPosition(int widgetPosition) const
{
    const QTextBlock block = document()->findBlock(widgetPosition);
    if (!block.isValid())
        return textLength();
    return qsizetype(widgetPosition) + m_pieces->modelOffset(block.blockNumber());
}

int RichTextBox::toWidgetPosition(qsizetype modelPosition) const
{
    const QTextDocument *doc = document();
    if (modelPosition <= 0)
        return 0;
    if (modelPosition >= textLength())
        return doc->characterCount() - 1;
    const auto modelStartOf = [this, doc](int number) {
        return qsizetype(doc->findBlockByNumber(number).position()) + m_pieces->modelOffset(number);
    };
    // The last block whose model start is at or before the position.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (modelStartOf(middle) <= modelPosition)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const qsizetype offset = qMin(modelPosition - modelStartOf(low), qsizetype(block.length() - 1));
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

QString RichTextBox::selectedText(const QTextCursor &cursor, QStringView lineBreak) const
{
    const QTextDocument *doc = document();
    const int first = doc->findBlock(cursor.selectionStart()).blockNumber();
    const int last = doc->findBlock(cursor.selectionEnd()).blockNumber();
    return m_pieces->joined(cursor.selectedText(), first, last - first, lineBreak);
}

QString RichTextBox::SelText() const
{
    return selectedText(textCursor(), u"\r\n");
}

void RichTextBox::setSelText(const QString &text)
{
    insertKeepingPieces(normalizedLineBreaks(text));
}

void RichTextBox::insertKeepingPieces(QStringView text)
{
    QTextCursor cursor = textCursor();
    const int from = m_undoCarets->steps();
    const int before = cursor.position();
    m_pieces->insertText(cursor, text);
    setTextCursor(cursor);
    m_undoCarets->record(from, before, cursor.position());
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
    return document()->blockCount() - m_pieces->continuationCount();
}

int RichTextBox::GetCurrentLine() const
{
    const int block = document()->findBlock(textCursor().selectionStart()).blockNumber();
    return block - m_pieces->continuationsUpTo(block) + 1;
}

qsizetype RichTextBox::GetLineStart(int line) const
{
    const QTextDocument *doc = document();
    // The line's first block is the lowest block number at which the lines
    // begun so far (blocks less continuations) reach it.
    const auto linesBefore = [this](int block) {
        return block - m_pieces->continuationsUpTo(block);
    };
    int low = line;
    int high = qMin(doc->blockCount() - 1, line + m_pieces->continuationCount());
    if (line < 0 || low > high)
        return -1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (linesBefore(middle) >= line)
            high = middle;
        else
            low = middle + 1;
    }
    if (linesBefore(low) != line)
        return -1;
    return doc->findBlockByNumber(low).position() + m_pieces->modelOffset(low);
}

bool RichTextBox::isContinuation(const QTextBlock &block) const
{
    return LinePieces::isContinuation(block);
}

bool RichTextBox::mayJoinOrLengthen(qsizetype inserted, bool removesSelection, int key) const
{
    const QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    const bool piece = isContinuation(block) || isContinuation(block.next());
    if (cursor.hasSelection()) {
        const QTextDocument *doc = document();
        const QTextBlock first = doc->findBlock(cursor.selectionStart());
        if (removesSelection && (first != doc->findBlock(cursor.selectionEnd()) ||
                                 (piece && cursor.selectedText().size() == first.length() - 1)))
            return true;
    } else if ((key == Qt::Key_Backspace && cursor.atBlockStart()) ||
               (key == Qt::Key_Delete && cursor.atBlockEnd()) ||
               (piece && block.length() == 2 &&
                (key == Qt::Key_Backspace || key == Qt::Key_Delete))) {
        return true;
    }
    return inserted > 0 && block.length() - 1 + inserted > LinePieces::kLongestPiece;
}

void RichTextBox::editKeepingPieces(const std::function<void()> &edit, bool typing)
{
    // A copy of the caret begins the step: undo puts the caret back where
    // the step began it.
    QTextCursor group = textCursor();
    const bool joins = typing && !group.hasSelection() && group.position() == m_run.end &&
                       m_undoCarets->steps() == m_run.steps && m_pieces->changes() == m_run.changes;
    if (joins) {
        group.joinPreviousEditBlock();
    } else {
        group.beginEditBlock();
        m_run.fromSteps = m_undoCarets->steps();
        m_run.before = group.position();
    }
    const QTextCursor before = textCursor();
    edit();
    // A removal starts at the selection's start, or where a deletion left
    // the caret.
    const int caret = textCursor().position();
    const int removedAt = before.hasSelection() ? before.selectionStart() : caret;
    m_pieces->keepMark(removedAt);
    m_pieces->dropEmptyPieces(qMin(removedAt, caret), caret);
    m_pieces->cutLongBlocks(qMin(removedAt, caret), textCursor().position());
    group.endEditBlock();
    const int after = textCursor().position();
    m_undoCarets->record(m_run.fromSteps, m_run.before, after);
    m_run.steps = typing ? m_undoCarets->steps() : -1;
    m_run.end = after;
    m_run.changes = m_pieces->changes();
    ensureCursorVisible();
}

void RichTextBox::stepIntoPieceBeforeDeleting(const QKeyEvent *event)
{
    // Backspace at the start of a piece deletes the last character of the
    // piece before, Delete at its end the first one of the piece after: the
    // boundary itself is no character.
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return;
    const int position = cursor.position();
    if (event->key() == Qt::Key_Backspace) {
        while (cursor.atBlockStart() && isContinuation(cursor.block()))
            cursor.setPosition(cursor.position() - 1);
    } else if (event->key() == Qt::Key_Delete) {
        while (cursor.atBlockEnd() && isContinuation(cursor.block().next()))
            cursor.setPosition(cursor.position() + 1);
    }
    if (cursor.position() != position)
        setTextCursor(cursor);
}

void RichTextBox::moveOverBoundary(QKeyEvent *event, bool characterMove)
{
    const int before = textCursor().position();
    QPlainTextEdit::keyPressEvent(event);
    // Without long lines there is no boundary to cross.
    if (m_pieces->continuationCount() == 0)
        return;
    if (characterMove) {
        // A step that only crossed a boundary between pieces is taken again.
        const qsizetype model = toModelPosition(before);
        int position = before;
        for (int step = 0; step < 8; ++step) {
            const int now = textCursor().position();
            if (now == position || toModelPosition(now) != model)
                return;
            position = now;
            QPlainTextEdit::keyPressEvent(event);
        }
        return;
    }
    // Home and End go to the start and end of the piece first, and from
    // there to those of the whole line.
    QTextCursor cursor = textCursor();
    if (cursor.position() != before)
        return;
    QTextBlock block = cursor.block();
    int target = before;
    if (isHome(event) && cursor.atBlockStart()) {
        while (isContinuation(block))
            block = block.previous();
        target = block.position();
    } else if (isEnd(event) && cursor.atBlockEnd()) {
        while (isContinuation(block.next()))
            block = block.next();
        target = block.position() + block.length() - 1;
    }
    if (target == before)
        return;
    const bool select =
        matchesAny(event, {QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine});
    cursor.setPosition(target, select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool RichTextBox::wordKey(QKeyEvent *event)
{
    const bool deletes =
        matchesAny(event, {QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord});
    const bool moves =
        matchesAny(event, {QKeySequence::MoveToNextWord, QKeySequence::MoveToPreviousWord,
                           QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord});
    if (!(deletes || moves) || m_pieces->continuationCount() == 0)
        return false;
    QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    if (!isContinuation(block) && !isContinuation(block.next()))
        return false;
    if (deletes && (cursor.hasSelection() || isReadOnly()))
        return false;
    const bool right =
        matchesAny(event, {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord,
                           QKeySequence::DeleteEndOfWord});
    const int target = LineWords::move(document(), cursor.position(),
                                       right ? QTextCursor::WordRight : QTextCursor::WordLeft);
    if (target < 0)
        return false;
    const bool select = deletes || matchesAny(event, {QKeySequence::SelectNextWord,
                                                      QKeySequence::SelectPreviousWord});
    cursor.setPosition(target, select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    if (!deletes) {
        setTextCursor(cursor);
        ensureCursorVisible();
        return true;
    }
    if (!right) {
        // The caret stays where the removal begins, as a Backspace leaves it.
        const int anchor = cursor.anchor();
        cursor.setPosition(target);
        cursor.setPosition(anchor, QTextCursor::KeepAnchor);
    }
    editKeepingPieces([&] {
        QTextCursor removal = cursor;
        removal.removeSelectedText();
        setTextCursor(removal);
    });
    return true;
}

void RichTextBox::undoOrRedo(QKeyEvent *event)
{
    const bool undo = event->matches(QKeySequence::Undo);
    const int steps = m_undoCarets->steps();
    const int before = undo ? m_undoCarets->beforeUndo() : -1;
    QPlainTextEdit::keyPressEvent(event);
    if (m_undoCarets->steps() == steps)
        return;
    const int caret = undo ? before : m_undoCarets->afterRedo();
    if (caret < 0)
        return;
    QTextCursor cursor = textCursor();
    cursor.setPosition(qMin(caret, document()->characterCount() - 1));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::InsertParagraphSeparator) && !isReadOnly()) {
        // A line break of the user's own never continues a line.
        insertKeepingPieces(u"\n");
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (matchesAny(event, {QKeySequence::Undo, QKeySequence::Redo})) {
        undoOrRedo(event);
        return;
    }
    if (wordKey(event))
        return;
    const bool characterMove = isCharacterMove(event);
    if (characterMove || isHome(event) || isEnd(event)) {
        moveOverBoundary(event, characterMove);
        return;
    }
    stepIntoPieceBeforeDeleting(event);
    const bool types = typesText(event) && !isReadOnly();
    const bool removes = types || event->key() == Qt::Key_Backspace ||
                         event->key() == Qt::Key_Delete || event->matches(QKeySequence::Cut);
    if (types)
        editKeepingPieces([&] { QPlainTextEdit::keyPressEvent(event); }, true);
    else if (mayJoinOrLengthen(0, removes, event->key()))
        editKeepingPieces([&] { QPlainTextEdit::keyPressEvent(event); });
    else
        QPlainTextEdit::keyPressEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (mayJoinOrLengthen(commit.size(), !commit.isEmpty(), 0))
        editKeepingPieces([&] { QPlainTextEdit::inputMethodEvent(event); });
    else
        QPlainTextEdit::inputMethodEvent(event);
}

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(selectedText(textCursor(), u"\n"));
    return data;
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    insertKeepingPieces(normalizedLineBreaks(source->text()));
    ensureCursorVisible();
}

qint64 RichTextBox::ansiByteCount() const
{
    return m_byteCounter->bytes();
}

void RichTextBox::setByteMeasure(const TextCodec *codec, qint64 bytesAroundText)
{
    m_byteCounter->setMeasure(codec, bytesAroundText);
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    // The blocks in view, looked for again only when the view may show
    // others: a keystroke or a blink of the caret does not walk the view.
    const QTextBlock first = firstVisibleBlock();
    const int bottom = viewport()->height();
    const GlyphView view{first.blockNumber(), bottom, document()->blockCount()};
    if (view != m_glyphView) {
        m_glyphView = view;
        qreal top = blockBoundingGeometry(first).translated(contentOffset()).top();
        int count = 0;
        for (QTextBlock block = first; block.isValid() && top <= bottom; block = block.next()) {
            top += blockBoundingRect(block).height();
            ++count;
        }
        m_glyphs->keep(first, count);
    }
    if (!m_underlays.isEmpty()) {
        QPainter painter(viewport());
        painter.setClipRect(event->rect());
        for (const Underlay &underlay : std::as_const(m_underlays)) {
            for (const QRectF &rect : underlayRects(underlay.range))
                painter.fillRect(rect, underlay.colour);
        }
    }
    QPlainTextEdit::paintEvent(event);
    if (m_pieces->continuationCount() > 0)
        paintContinuations(event->rect());
    if (m_overlay) {
        QPainter painter(viewport());
        m_overlay(painter);
    }
}

void RichTextBox::paintContinuations(const QRect &area)
{
    // A row that goes on in the next row ends in a small hook, and the rows
    // of one line are joined by a bar in the margin on their left.
    QPainter painter(viewport());
    painter.setClipRect(area);
    QColor mark = palette().color(QPalette::Text);
    mark.setAlphaF(0.45f);
    painter.setPen(QPen(mark, 1));
    const QPointF offset = contentOffset();
    const int bottom = area.bottom();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > bottom)
            break;
        const bool continued = isContinuation(block.next());
        if (!continued && !isContinuation(block))
            continue;
        const qreal top = isContinuation(block) ? rect.top() : rect.top() + rect.height() / 2;
        const qreal foot = continued ? rect.bottom() : rect.top() + rect.height() / 2;
        painter.drawLine(QPointF(1.5, top), QPointF(1.5, foot));
        const QTextLayout *layout = block.layout();
        if (!continued || !layout || layout->lineCount() == 0)
            continue;
        // The hook: down from the middle of the row's end, then back left.
        const QTextLine line = layout->lineAt(layout->lineCount() - 1);
        const qreal x = rect.left() + layout->position().x() + line.naturalTextWidth() + 3;
        const qreal y = rect.top() + layout->position().y() + line.y();
        const qreal h = line.height();
        const qreal w = qMax(4.0, h / 3);
        painter.drawLine(QPointF(x + w, y + h * 0.3), QPointF(x + w, y + h * 0.7));
        painter.drawLine(QPointF(x + w, y + h * 0.7), QPointF(x, y + h * 0.7));
        painter.drawLine(QPointF(x, y + h * 0.7), QPointF(x + w / 2, y + h * 0.55));
        painter.drawLine(QPointF(x, y + h * 0.7), QPointF(x + w / 2, y + h * 0.85));
    }
}

void RichTextBox::setOverlay(std::function<void(QPainter &)> overlay)
{
    m_overlay = std::move(overlay);
    viewport()->update();
}

void RichTextBox::setUnderlays(QList<Underlay> underlays)
{
    // Only the rows of those that change are drawn again.
    const auto same = [](const Underlay &a, const Underlay &b) {
        return a.colour == b.colour && a.range.selectionStart() == b.range.selectionStart() &&
               a.range.selectionEnd() == b.range.selectionEnd();
    };
    const auto update = [this](const Underlay &underlay) {
        for (const QRectF &rect : underlayRects(underlay.range))
            viewport()->update(rect.toAlignedRect());
    };
    for (const Underlay &old : std::as_const(m_underlays)) {
        if (std::none_of(underlays.cbegin(), underlays.cend(),
                         [&](const Underlay &now) { return same(old, now); }))
            update(old);
    }
    for (const Underlay &now : std::as_const(underlays)) {
        if (std::none_of(m_underlays.cbegin(), m_underlays.cend(),
                         [&](const Underlay &old) { return same(old, now); }))
            update(now);
    }
    m_underlays = std::move(underlays);
}

// Where the selection of range lies in the view, a rectangle a row; none
// for rows out of view or not laid out.
QList<QRectF> RichTextBox::underlayRects(const QTextCursor &range) const
{
    QList<QRectF> rects;
    const int from = range.selectionStart();
    const int to = range.selectionEnd();
    const int height = viewport()->height();
    // Blocks further from the first in view than rows fit are not measured.
    const int first = firstVisibleBlock().blockNumber();
    const int rows = height / qMax(1, QFontMetrics(document()->defaultFont()).lineSpacing()) + 2;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int number = block.blockNumber();
        if (number < first)
            continue;
        if (number > first + rows)
            break;
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > height)
            break;
        const QTextLayout *layout = block.layout();
        if (box.bottom() < 0 || !layout || !block.isVisible())
            continue;
        const int start = qMax(from - block.position(), 0);
        const int end = qMin(to - block.position(), block.length() - 1);
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int lineStart = qMax(start, line.textStart());
            const int lineEnd = qMin(end, line.textStart() + line.textLength());
            if (lineStart >= lineEnd)
                continue;
            const qreal left = line.cursorToX(lineStart);
            const qreal right = line.cursorToX(lineEnd);
            rects.append(QRectF(qMin(left, right), line.y(), qAbs(right - left), line.height())
                             .translated(box.topLeft()));
        }
    }
    return rects;
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    // The widget's triple click selects a block and its line break: in a
    // long line, every piece of the line.
    const bool tripleClick = event->button() == Qt::LeftButton && m_doubleClickTime >= 0 &&
                             QDateTime::currentMSecsSinceEpoch() - m_doubleClickTime <=
                                 QApplication::doubleClickInterval() &&
                             (event->position().toPoint() - m_doubleClickPoint).manhattanLength() <
                                 QApplication::startDragDistance();
    m_doubleClickTime = -1;
    if (tripleClick && m_pieces->continuationCount() > 0) {
        const auto [start, end] = LineWords::lineAt(document(), textCursor().selectionStart());
        QTextCursor cursor = textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        setTextCursor(cursor);
    }
    emit MouseDown(event->button());
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_doubleClickTime = QDateTime::currentMSecsSinceEpoch();
    m_doubleClickPoint = event->position().toPoint();
    // In a line of several pieces the word is looked for in the whole line.
    QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    if (!cursor.hasSelection() || (!isContinuation(block) && !isContinuation(block.next())))
        return;
    const auto [start, end] =
        LineWords::wordAt(document(), cursorForPosition(m_doubleClickPoint).position());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    // The view stays where it was clicked, ready for a third click.
    const int scrolled = horizontalScrollBar()->value();
    setTextCursor(cursor);
    horizontalScrollBar()->setValue(scrolled);
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
