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

int fromPixelsRounded(int pixels)
{
    return int(std::lround(fromPixels(pixels)));
}

QRect toPixels(const QRect &twips)
{
    return QRect(toPixels(twips.x()), toPixels(twips.y()), toPixels(twips.width()),
                 toPixels(twips.height()));
}

QRect fromPixels(const QRect &pixels)
{
    const auto whole = [](int value) { return int(fromPixels(value)); };
    return QRect(whole(pixels.x()), whole(pixels.y()), whole(pixels.width()),
                 whole(pixels.height()));
}

} // namespace Twips
