#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <vector>

// The program's icon as shapes on a canvas of 256 by 256: a rounded tile
// shaded from top to bottom, and the tag "</>" as thick strokes with round
// ends. The window icon and the icon files the install puts in place are
// all drawn from it.
namespace ProgramIconShape {

inline constexpr double kCanvas = 256;

struct Tile {
    QRectF rect;
    double radius;
    QColor top;
    QColor bottom;
};

struct Stroke {
    QColor color;
    std::vector<QPointF> points;
};

inline constexpr double kStrokeWidth = 26;

inline Tile tile()
{
    return {QRectF(8, 8, 240, 240), 44, QColor(0x3a, 0x8d, 0xde), QColor(0x15, 0x4a, 0x9e)};
}

inline std::vector<Stroke> strokes()
{
    const QColor white(Qt::white);
    return {
        {white, {{92, 78}, {44, 128}, {92, 178}}},
        {white, {{164, 78}, {212, 128}, {164, 178}}},
        {QColor(0xff, 0xd5, 0x4a), {{142, 64}, {114, 192}}},
    };
}

} // namespace ProgramIconShape
