#include "editor/linenumbers.h"

#include "editor/linepieces.h"
#include "editor/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

namespace {

constexpr int kPadding = 4;

QColor mixed(const QColor &from, const QColor &to, double amount)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * amount),
                            float(from.greenF() + (to.greenF() - from.greenF()) * amount),
                            float(from.blueF() + (to.blueF() - from.blueF()) * amount));
}

} // namespace

LineNumbers::LineNumbers(RichTextBox &area)
    : QWidget(&area)
    , m_area(area)
{
    setObjectName(QStringLiteral("LineNumbers"));
    setAccessibleName(QStringLiteral("行号"));
    hide();
    area.installEventFilter(this);
    connect(&area, &QPlainTextEdit::updateRequest, this, &LineNumbers::areaUpdated);
    connect(&area, &QPlainTextEdit::blockCountChanged, this, [this] {
        if (!m_on)
            return;
        fitWidth();
        update();
    });
    connect(&area, &QPlainTextEdit::cursorPositionChanged, this, &LineNumbers::caretMoved);
}

void LineNumbers::setOn(bool on)
{
    m_on = on;
    setVisible(on);
    m_digits = 0;
    if (on) {
        fitWidth();
        place();
        update();
    } else {
        m_area.setLeftMargin(0);
    }
}

int LineNumbers::numberOf(int blockNumber) const
{
    const QTextBlock block = m_area.document()->findBlockByNumber(blockNumber);
    if (!block.isValid() || LinePieces::isContinuation(block))
        return 0;
    return blockNumber - m_area.pieces().continuationsUpTo(blockNumber) + 1;
}

void LineNumbers::fitWidth()
{
    int digits = 2;
    for (int lines = m_area.GetLineCount(); lines >= 100; lines /= 10)
        ++digits;
    if (digits == m_digits)
        return;
    m_digits = digits;
    const int width = fontMetrics().horizontalAdvance(QString(digits, u'9')) + 2 * kPadding;
    m_area.setLeftMargin(width);
    place();
}

void LineNumbers::place()
{
    const QRect inside = m_area.contentsRect();
    setGeometry(inside.left(), inside.top(), m_area.viewport()->x() - inside.left(),
                inside.height());
}

void LineNumbers::areaUpdated(const QRect &rect, int dy)
{
    if (!m_on)
        return;
    if (dy != 0)
        scroll(0, dy);
    else if (rect.contains(m_area.viewport()->rect()))
        update();
}

void LineNumbers::caretMoved()
{
    if (!m_on)
        return;
    const int line = m_area.GetCurrentLine();
    if (line == m_caretLine)
        return;
    m_caretLine = line;
    update();
}

bool LineNumbers::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_area && m_on &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        if (event->type() == QEvent::FontChange) {
            setFont(m_area.font());
            m_digits = 0;
            fitWidth();
        }
        place();
    }
    return false;
}

void LineNumbers::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QColor base = m_area.palette().color(QPalette::Base);
    const QColor text = m_area.palette().color(QPalette::Text);
    painter.fillRect(event->rect(), mixed(base, text, 0.06));
    const QTextDocument *document = m_area.document();
    QTextBlock block = document->findBlockByLineNumber(m_area.verticalScrollBar()->value());
    if (!block.isValid())
        return;
    int number = numberOf(block.blockNumber());
    if (number == 0) // the view begins within a long line
        number = block.blockNumber() - m_area.pieces().continuationsUpTo(block.blockNumber()) + 1;
    qreal top = m_area.cursorRect(QTextCursor(block)).top() + m_area.viewport()->y() - y();
    const int caretLine = m_area.GetCurrentLine();
    QFont bold = font();
    bold.setBold(true);
    const QColor quiet = mixed(base, text, 0.55);
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    const int right = width() - kPadding;
    while (block.isValid() && top <= event->rect().bottom()) {
        const qreal height = layout->blockBoundingRect(block).height();
        const bool first = !LinePieces::isContinuation(block);
        if (first && top + height >= event->rect().top()) {
            const bool current = number == caretLine;
            painter.setFont(current ? bold : font());
            painter.setPen(current ? text : quiet);
            painter.drawText(QRectF(0, top, right, height), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(number));
        }
        block = block.next();
        if (block.isValid() && !LinePieces::isContinuation(block))
            ++number;
        top += height;
    }
}
