#include "dialogs/fraabouticon.h"

#include "shell/caption.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Draws the icon into a square of side size at the painter's origin.
void drawIcon(QPainter &painter, double size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);

    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(0x3a, 0x8d, 0xde));
    tile.setColorAt(1, QColor(0x15, 0x4a, 0x9e));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    // The tag: "<", "/" and ">" as thick white strokes.
    QPen stroke(Qt::white, 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    QPainterPath open;
    open.moveTo(92, 78);
    open.lineTo(44, 128);
    open.lineTo(92, 178);
    painter.drawPath(open);
    QPainterPath close;
    close.moveTo(164, 78);
    close.lineTo(212, 128);
    close.lineTo(164, 178);
    painter.drawPath(close);
    stroke.setColor(QColor(0xff, 0xd5, 0x4a));
    painter.setPen(stroke);
    painter.drawLine(QPointF(142, 64), QPointF(114, 192));
    painter.restore();
}

} // namespace

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawIcon(painter, size);
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}

QPixmap AboutBanner()
{
    QPixmap banner(256, 54);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 256, 0);
    back.setColorAt(0, QColor(0x15, 0x4a, 0x9e));
    back.setColorAt(1, QColor(0x6f, 0xb3, 0xf0));
    painter.fillRect(banner.rect(), back);
    painter.translate(7, 7);
    drawIcon(painter, 40);
    painter.resetTransform();

    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setBold(true);
    title.setPixelSize(17);
    painter.setFont(title);
    painter.drawText(QRect(54, 4, 198, 26), Qt::AlignLeft | Qt::AlignVCenter, ProductName());
    QFont small = painter.font();
    small.setBold(false);
    small.setPixelSize(11);
    painter.setFont(small);
    painter.drawText(QRect(54, 30, 198, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("访问我们的网站"));
    return banner;
}
