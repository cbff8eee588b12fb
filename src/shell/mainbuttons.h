#pragma once

#include <array>

class QPushButton;
class QWidget;

// The buttons of the strips that belong to the document and tool functions:
// func(0..2), stolen, ysjm(0..1), toolbutt(0..2), shoot and aboutb, made
// with their design captions, sizes and places. The tag buttons and fragment
// lists are made with the snippets.
struct MainButtons {
    std::array<QPushButton *, 3> func{};
    QPushButton *stolen = nullptr;
    std::array<QPushButton *, 2> ysjm{};
    std::array<QPushButton *, 3> toolbutt{};
    QPushButton *shoot = nullptr;
    QPushButton *aboutb = nullptr;

    static MainButtons create(QWidget *functionBar, QWidget *shortcutBar, QWidget *specialBar);
};
