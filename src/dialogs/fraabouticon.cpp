#include "dialogs/fraabouticon.h"

#include "dialogs/programiconshape.h"
#include "platform/caption.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Draws the icon into a square of side size at the painter's origin.
void drawIcon(QPainter &painter, double size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / ProgramIconShape::kCanvas, size / ProgramIconShape::kCanvas);

    const ProgramIconShape::Tile tile = ProgramIconShape::tile();
    QLinearGradient shade(0, 0, 0, ProgramIconShape::kCanvas);
    shade.setColorAt(0, tile.top);
    shade.setColorAt(1, tile.bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(tile.rect, tile.radius, tile.radius);

    painter.setBrush(Qt::NoBrush);
    for (const ProgramIconShape::Stroke &stroke : ProgramIconShape::strokes()) {
        painter.setPen(QPen(stroke.color, ProgramIconShape::kStrokeWidth, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        QPainterPath path(stroke.points.front());
        for (std::size_t i = 1; i < stroke.points.size(); ++i)
            path.lineTo(stroke.points[i]);
        painter.drawPath(path);
    }
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
