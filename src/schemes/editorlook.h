#pragma once

#include <QFont>
#include <QString>

// The editing area's font and background as the settings file gives them,
// with the defaults standing in for values that cannot be used (a size that
// is not a positive number, a colour that is not a number, a font the system
// does not have).
struct EditorLook {
    static constexpr const char *kDefaultFont = "宋体";
    static constexpr double kDefaultSize = 9;
    static constexpr quint32 kDefaultColor = 11315101;

    QString fontName;
    double fontSize = kDefaultSize;
    quint32 backColor = kDefaultColor; // Windows colour value 0x00BBGGRR

    // Reads WorkTable/fontname, fontsize and TableColor.
    static EditorLook fromSettings();

    QFont font() const;
};

// Maps the Windows font names that pages and settings files use ("宋体",
// "SimSun", "黑体", ...) to installed fonts of the same kind. Run once at
// start-up.
void installFontSubstitutions();
