#pragma once

class QWidget;

// The main window's rectangle and state across runs, in twips, under the
// settings section "arer".
namespace WindowPlacement {

// Design-time rectangle of the main window, in twips.
constexpr double kDesignLeft = 3540;
constexpr double kDesignTop = 1845;
constexpr double kDesignWidth = 10500;
constexpr double kDesignHeight = 6690;

// Moves the window to the stored rectangle, the window's current values
// standing in for any that are missing or unreadable. Returns whether the
// window is to open maximised.
bool restore(QWidget *window);

// Stores the rectangle of a normal window and its state (0 normal,
// 1 minimised, 2 maximised); for a minimised or maximised window only the
// state, so the last normal rectangle stays.
void store(const QWidget *window);

} // namespace WindowPlacement
