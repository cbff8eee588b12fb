#include "shell/windowplacement.h"

#include "platform/settingsfile.h"
#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

namespace WindowPlacement {

namespace {

// Beyond any screen; a stored value past it (or no number at all, such as
// "inf" or "nan") is as good as none.
constexpr double kFarthest = 1e7;

double readTwips(const char *key, double current)
{
    const QString stored =
        ReadSetting(QStringLiteral("arer"), QLatin1String(key), SettingValue::fromNumber(current));
    const double value = SettingValue::toNumber(stored, current);
    return std::isfinite(value) && std::abs(value) <= kFarthest ? value : current;
}

// The rectangle moved and shrunk as far as needed to be seen on the screen
// it opens on: no larger than its free area, with its top on it and at least
// kGrip pixels of it across.
QRect keptOnScreen(QRect wanted, const QWidget *window)
{
    const QScreen *screen = QGuiApplication::screenAt(wanted.topLeft());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QRect free = screen->availableGeometry();
    constexpr int kGrip = 100;
    wanted.setSize(wanted.size().boundedTo(free.size()));
    const int grip = std::min(kGrip, wanted.width());
    wanted.moveLeft(
        std::clamp(wanted.left(), free.left() - wanted.width() + grip, free.right() + 1 - grip));
    wanted.moveTop(std::clamp(wanted.top(), free.top(), free.bottom() + 1 - kGrip / 2));
    return wanted;
}

} // namespace

bool restore(QWidget *window)
{
    const double left = readTwips("left", Twips::fromPixels(window->x()));
    const double top = readTwips("top", Twips::fromPixels(window->y()));
    double width = readTwips("width", Twips::fromPixels(window->width()));
    double height = readTwips("height", Twips::fromPixels(window->height()));
    // A rectangle without area cannot be shown; keep the current size then.
    if (width <= 0)
        width = Twips::fromPixels(window->width());
    if (height <= 0)
        height = Twips::fromPixels(window->height());
    const QRect place = keptOnScreen(QRect(Twips::toPixels(left), Twips::toPixels(top),
                                           Twips::toPixels(width), Twips::toPixels(height)),
                                     window);
    window->move(place.topLeft());
    window->resize(place.size());

    const QString state =
        ReadSetting(QStringLiteral("arer"), QStringLiteral("windowstate"), QStringLiteral("0"));
    return SettingValue::toNumber(state, 0) == 2;
}

void store(const QWidget *window)
{
    const QString section = QStringLiteral("Arer");
    if (window->isMinimized()) {
        WriteSetting(section, QStringLiteral("WindowState"), QStringLiteral("1"));
        return;
    }
    if (window->isMaximized()) {
        WriteSetting(section, QStringLiteral("WindowState"), QStringLiteral("2"));
        return;
    }
    const std::pair<const char *, int> measures[] = {
        {"Left", window->x()},
        {"Top", window->y()},
        {"Width", window->width()},
        {"Height", window->height()},
    };
    for (const auto &[key, pixels] : measures)
        WriteSetting(section, QLatin1String(key),
                     SettingValue::fromNumber(Twips::fromPixels(pixels)));
    WriteSetting(section, QStringLiteral("WindowState"), QStringLiteral("0"));
}

} // namespace WindowPlacement
