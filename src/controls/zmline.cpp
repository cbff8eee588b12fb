#include "controls/zmline.h"

#include "platform/wincolor.h"
#include "platform/twips.h"

#include <QPainter>

ZMLine::ZMLine(QWidget *parent)
    : ZMLine(0, parent)
{}

ZMLine::ZMLine(int style, QWidget *parent)
    : QWidget(parent)
    , m_style(style)
    , m_drawnStyle(style)
{
    draw();
}

QSize ZMLine::sizeHint() const
{
    const int thick = Twips::toPixels(kThicknessTwips);
    return m_drawnStyle == 0 ? QSize(width() > 0 ? width() : 100, thick)
                             : QSize(thick, height() > 0 ? height() : 100);
}

QSize ZMLine::minimumSizeHint() const
{
    const int thick = Twips::toPixels(kThicknessTwips);
    return m_drawnStyle == 0 ? QSize(0, thick) : QSize(thick, 0);
}

void ZMLine::draw()
{
    m_drawnStyle = m_style;
    const int thick = Twips::toPixels(kThicknessTwips);
    if (m_drawnStyle == 0) {
        m_dark = QLine(0, 0, width(), 0);
        const int y = Twips::toPixels(10);
        m_light = QLine(0, y, width(), y);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        if (height() != thick)
            resize(width(), thick);
    } else {
        m_dark = QLine(0, 0, 0, height());
        const int x = Twips::toPixels(15);
        m_light = QLine(x, 0, x, height());
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        if (width() != thick)
            resize(thick, height());
    }
    updateGeometry();
    update();
}

void ZMLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(WinColor::toColor(WinColor::kButtonShadow, palette()));
    painter.drawLine(m_dark);
    painter.setPen(WinColor::toColor(WinColor::kButtonHighlight, palette()));
    painter.drawLine(m_light);
}

void ZMLine::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    draw();
}

void ZMLine::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    draw();
}
