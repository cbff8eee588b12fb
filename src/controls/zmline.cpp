#include "controls/zmline.h"

#include "platform/twips.h"
#include "platform/wincolor.h"

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
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        if (height() != thick)
            resize(width(), thick);
    } else {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        if (width() != thick)
            resize(thick, height());
    }
    updateGeometry();
    update();
}

void ZMLine::paintEvent(QPaintEvent *)
{
    // The light line lies 10 twips below or 15 twips right of the dark one.
    const bool horizontal = m_drawnStyle == 0;
    const int offset = Twips::toPixels(horizontal ? 10 : 15);
    const QLine dark = horizontal ? QLine(0, 0, width(), 0) : QLine(0, 0, 0, height());
    QPainter painter(this);
    painter.setPen(WinColor::toColor(WinColor::kButtonShadow, palette()));
    painter.drawLine(dark);
    painter.setPen(WinColor::toColor(WinColor::kButtonHighlight, palette()));
    painter.drawLine(horizontal ? dark.translated(0, offset) : dark.translated(offset, 0));
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
