#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

// Colours as the program stores them: Windows colour values 0x00BBGGRR, or
// 0x80000000 plus an index for one of the system's colours, which follow the
// desktop's palette here.
namespace WinColor {

inline constexpr quint32 kSystemFlag = 0x80000000u;

// The window-text colour, the default text colour of labels.
inline constexpr quint32 kWindowText = kSystemFlag + 8;
// The button-shadow colour (dark edge of sunken panels).
inline constexpr quint32 kButtonShadow = kSystemFlag + 16;
// The 3-D highlight colour (light edge of sunken panels).
inline constexpr quint32 kButtonHighlight = kSystemFlag + 20;

// The colour value for display, with system colours taken from palette.
QColor toColor(quint32 value, const QPalette &palette);
// The same, with the application's palette.
QColor toColor(quint32 value);

// The Windows colour value of a plain colour.
quint32 fromColor(const QColor &color);

} // namespace WinColor
