#include "controls/sizegrip.h"

#include "controls/controlaccessibility.h"
#include "platform/twips.h"
#include "platform/wincolor.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

bool hasMarlett()
{
    static const bool found = QFontDatabase::families().contains(QStringLiteral("Marlett"));
    return found;
}

} // namespace

SizeGrip::SizeGrip(QWidget *parent)
    : QWidget(parent)
{
    installControlAccessibility();
    setObjectName(QStringLiteral("LabJiao"));
    setAccessibleName(QStringLiteral("调整窗口大小"));
    setCursor(Qt::SizeFDiagCursor);
    resize(sizeHint());
}

QSize SizeGrip::sizeHint() const
{
    return QSize(Twips::toPixels(240), Twips::toPixels(240));
}

void SizeGrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor grey = WinColor::toColor(kGlyphColor);
    if (hasMarlett()) {
        QFont font(QStringLiteral("Marlett"));
        font.setPointSize(12);
        painter.setFont(font);
        painter.setPen(grey);
        painter.drawText(rect(), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("p"));
        return;
    }
    // Three pairs of diagonal lines in the bottom-right corner.
    const int right = width() - 1;
    const int bottom = height() - 1;
    const int reach = qMin(width(), height()) - 2;
    painter.setPen(grey);
    for (int d = 3; d <= reach; d += 4) {
        painter.drawLine(right - d, bottom, right, bottom - d);
        painter.drawLine(right - d + 1, bottom, right, bottom - d + 1);
    }
}

void SizeGrip::beginResize(const QPoint &globalPos)
{
    QWidget *top = window();
    if (top == this || m_resizing)
        return;
    m_resizing = true;
    QWindow *handle = top->windowHandle();
    if (handle && handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge)) {
        m_followMouse = false;
        return;
    }
    m_followMouse = true;
    m_startPos = globalPos;
    m_startSize = top->size();
}

void SizeGrip::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        beginResize(event->globalPosition().toPoint());
}

void SizeGrip::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint pos = event->globalPosition().toPoint();
    if (!m_resizing) {
        beginResize(pos);
        return;
    }
    if (m_followMouse) {
        const QSize size = m_startSize + QSize(pos.x() - m_startPos.x(), pos.y() - m_startPos.y());
        window()->resize(size.expandedTo(window()->minimumSize()));
    }
}

void SizeGrip::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        m_resizing = false;
        m_followMouse = false;
    }
}

void SizeGrip::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}
