#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {

double perPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int toPixels(double twips)
{
    return int(std::lround(twips / perPixel()));
}

double fromPixels(int pixels)
{
    return pixels * perPixel();
}

} // namespace Twips
