#pragma once

#include <QRect>

// Window measures are kept in twips: 1440 to the inch, 15 to a pixel at the
// usual 96 dots per inch. The screen's logical resolution decides the rest.
namespace Twips {

// Twips per pixel on the primary screen (15 at 96 dpi).
double perPixel();

int toPixels(double twips);
double fromPixels(int pixels);
// Whole twips, rounded.
int fromPixelsRounded(int pixels);

// Rectangles, corner and size converted alike.
QRect toPixels(const QRect &twips);
QRect fromPixels(const QRect &pixels);

} // namespace Twips
