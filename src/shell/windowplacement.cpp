#include "shell/windowplacement.h"

#include "platform/settingsfile.h"
#include "platform/twips.h"

#include <QWidget>
#include <utility>

namespace WindowPlacement {

namespace {

double readTwips(const char *key, double current)
{
    const QString stored =
        ReadSetting(QStringLiteral("arer"), QLatin1String(key), SettingValue::fromNumber(current));
    return SettingValue::toNumber(stored, current);
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
    window->move(Twips::toPixels(left), Twips::toPixels(top));
    window->resize(Twips::toPixels(width), Twips::toPixels(height));

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
