#include "settings/colorswatch.h"

#include "platform/twips.h"
#include "platform/wincolor.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

ColorSwatch::ColorSwatch(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setColor(0);
}

void ColorSwatch::setColor(quint32 color)
{
    m_color = color;
    // Screen readers hear the colour as red, green and blue.
    const QColor shown = WinColor::toColor(color, palette());
    setAccessibleDescription(
        QStringLiteral("红 %1 绿 %2 蓝 %3").arg(shown.red()).arg(shown.green()).arg(shown.blue()));
    update();
}

void ColorSwatch::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, readOnly);
}

QSize ColorSwatch::sizeHint() const
{
    return QSize(Twips::toPixels(1215), Twips::toPixels(255));
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, WinColor::toColor(m_color, palette()));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(box);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
