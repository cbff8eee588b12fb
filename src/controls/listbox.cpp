#include "controls/listbox.h"

#include "controls/controlaccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr int kTextMargin = 2;

} // namespace

ListBox::ListBox(QWidget *parent)
    : QFrame(parent)
    , m_bar(new QScrollBar(Qt::Vertical, this))
{
    installControlAccessibility();
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->hide();
    connect(m_bar, &QScrollBar::valueChanged, this, [this] { update(rowsArea()); });
}

void ListBox::clear()
{
    m_items.clear();
    m_widest = 0;
    m_current = -1;
    layOut();
    update();
}

void ListBox::addItem(const QString &text)
{
    m_items.append(text);
    if (m_measuredIn == font())
        m_widest = qMax(m_widest, fontMetrics().horizontalAdvance(text));
    layOut();
    update(itemRect(count() - 1));
}

void ListBox::setCurrentIndex(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index == m_current)
        return;
    update(itemRect(m_current));
    m_current = index;
    if (index >= 0) {
        const int rows = visibleRows();
        if (index < m_bar->value())
            m_bar->setValue(index);
        else if (index >= m_bar->value() + rows)
            m_bar->setValue(index - rows + 1);
        update(itemRect(index));
    }
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::Selection);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
}

int ListBox::rowHeight() const
{
    return fontMetrics().height() + 2;
}

QSize ListBox::sizeFor(int rows, int minimumWidth) const
{
    if (m_measuredIn != font()) {
        m_measuredIn = font();
        m_widest = 0;
        for (const QString &item : m_items)
            m_widest = qMax(m_widest, fontMetrics().horizontalAdvance(item));
    }
    const int frame = 2 * frameWidth();
    int width = frame + 2 * kTextMargin + m_widest + 1;
    if (count() > rows)
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_bar);
    return {qMax(width, minimumWidth), frame + rows * rowHeight()};
}

QRect ListBox::rowsArea() const
{
    QRect area = contentsRect();
    if (!m_bar->isHidden())
        area.setRight(m_bar->geometry().left() - 1);
    return area;
}

int ListBox::visibleRows() const
{
    return qMax(1, contentsRect().height() / rowHeight());
}

QRect ListBox::itemRect(int index) const
{
    const int row = index - m_bar->value();
    if (index < 0 || index >= count() || row < 0 || row > visibleRows())
        return {};
    const QRect area = rowsArea();
    return QRect(area.left(), area.top() + row * rowHeight(), area.width(), rowHeight())
        .intersected(area);
}

int ListBox::indexAt(const QPoint &point) const
{
    const QRect area = rowsArea();
    if (!area.contains(point))
        return -1;
    const int index = m_bar->value() + (point.y() - area.top()) / rowHeight();
    return index < count() ? index : -1;
}

// The scroll bar shows when the entries do not all fit.
void ListBox::layOut()
{
    const QRect area = contentsRect();
    const int rows = visibleRows();
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_bar);
    m_bar->setGeometry(area.right() - width + 1, area.top(), width, area.height());
    m_bar->setRange(0, qMax(0, count() - rows));
    m_bar->setPageStep(rows);
    m_bar->setVisible(count() > rows);
}

void ListBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = rowsArea();
    painter.setClipRect(area.intersected(event->rect()));
    const int first = m_bar->value();
    const int last = qMin(count() - 1, first + visibleRows());
    for (int index = first; index <= last; ++index) {
        const QRect row = itemRect(index);
        if (!row.intersects(event->rect()))
            continue;
        const bool selected = index == m_current;
        if (selected)
            painter.fillRect(row, palette().color(QPalette::Highlight));
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(row.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_items[index]);
    }
}

void ListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int index = indexAt(event->position().toPoint());
        if (index >= 0)
            setCurrentIndex(index);
    }
    QFrame::mousePressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QFrame::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void ListBox::wheelEvent(QWheelEvent *event)
{
    if (m_bar->isHidden()) {
        QFrame::wheelEvent(event);
        return;
    }
    QApplication::sendEvent(m_bar, event);
}

void ListBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layOut();
}

void ListBox::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layOut();
}
