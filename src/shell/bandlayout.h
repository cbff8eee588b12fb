#pragma once

#include <QRect>
#include <array>

// The main window's five bands stacked top to bottom: strip 0, strip 1, the
// editing area, strip 2 and the status bar. All measures are in twips.
namespace BandLayout {

struct Input {
    int outerWidth = 0;                // the window's outer width (W)
    int innerWidth = 0;                // its client width (SW)
    int innerHeight = 0;               // its client height (SH)
    std::array<int, 3> stripHeights{}; // each strip's own height
    std::array<bool, 3> stripVisible{};
    int statusHeight = 0;      // B
    QRect previousEditingArea; // kept when the window is too small for it
};

struct Result {
    std::array<QRect, 3> strips;
    QRect editingArea;
    QRect statusBar;
    int comYuansuLeft = 0; // left edge of ComYuansuVisible on strip 2
};

// A hidden strip takes no room; the editing area takes the height the other
// bands leave, and keeps its previous place and size when that would be
// negative.
Result compute(const Input &input);

} // namespace BandLayout
