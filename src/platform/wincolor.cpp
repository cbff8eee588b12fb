#include "platform/wincolor.h"

#include <QGuiApplication>

namespace WinColor {

namespace {

struct SystemColour {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colours by index, as the nearest palette entries.
SystemColour systemColour(quint32 index)
{
    switch (index) {
    case 0:  // scroll bar
    case 15: // button face
        return {QPalette::Active, QPalette::Button};
    case 1:  // desktop
    case 4:  // menu
    case 10: // active border
    case 11: // inactive border
    case 30: // menu bar
        return {QPalette::Active, QPalette::Window};
    case 2:  // active caption
    case 13: // highlight
    case 27: // active caption gradient
    case 29: // menu highlight
        return {QPalette::Active, QPalette::Highlight};
    case 3:  // inactive caption
    case 28: // inactive caption gradient
        return {QPalette::Inactive, QPalette::Highlight};
    case 5: // window
        return {QPalette::Active, QPalette::Base};
    case 6:  // window frame
    case 21: // 3-D dark shadow
        return {QPalette::Active, QPalette::Shadow};
    case 7: // menu text
    case 8: // window text
        return {QPalette::Active, QPalette::WindowText};
    case 9:  // caption text
    case 14: // highlighted text
        return {QPalette::Active, QPalette::HighlightedText};
    case 12: // application workspace
        return {QPalette::Active, QPalette::Mid};
    case 16: // button shadow
        return {QPalette::Active, QPalette::Dark};
    case 17: // grey text
        return {QPalette::Disabled, QPalette::Text};
    case 18: // button text
        return {QPalette::Active, QPalette::ButtonText};
    case 19: // inactive caption text
        return {QPalette::Disabled, QPalette::WindowText};
    case 20: // button highlight
        return {QPalette::Active, QPalette::Light};
    case 22: // 3-D light
        return {QPalette::Active, QPalette::Midlight};
    case 23: // tooltip text
        return {QPalette::Active, QPalette::ToolTipText};
    case 24: // tooltip background
        return {QPalette::Active, QPalette::ToolTipBase};
    case 26: // hot-tracked item
        return {QPalette::Active, QPalette::Link};
    default:
        return {QPalette::Active, QPalette::WindowText};
    }
}

} // namespace

QColor toColor(quint32 value, const QPalette &palette)
{
    if (value & kSystemFlag) {
        const SystemColour entry = systemColour(value & 0xffu);
        return palette.color(entry.group, entry.role);
    }
    return QColor(int(value & 0xffu), int((value >> 8) & 0xffu), int((value >> 16) & 0xffu));
}

QColor toColor(quint32 value)
{
    return toColor(value, QGuiApplication::palette());
}

quint32 fromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

} // namespace WinColor
