#pragma once

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;
class SnippetLists;
class TagToolbar;

// The controls of the tag buttons and the fragment lists, created on the
// three toolbar strips. Each is named like the control it stands for
// ("selbutton(3)", "noselbutton(8)", "noselect(0)", "insert1", "Combo1",
// "Text1") and stands at its default place.
struct SnippetWidgets {
    std::array<QPushButton *, 11> selbutton{};
    std::array<QPushButton *, 9> noselbutton{};
    std::array<QPushButton *, 3> noselect{};
    QPushButton *insert1 = nullptr;
    QPushButton *insert2 = nullptr;
    QPushButton *insert3 = nullptr;
    QPushButton *insert4 = nullptr;
    QComboBox *Combo1 = nullptr;
    QComboBox *Combo2 = nullptr;
    QComboBox *Combo3 = nullptr;
    QLineEdit *Text1 = nullptr;
};

// Creates the controls as children of the function bar (Picback(0)), the
// shortcut bar (Picback(1)) and the special bar (Picback(2)), at their design
// places, sizes, captions, fonts and colours. Clicks go to tags and lists,
// mouse moves over a button write its hint, and lists reads the texts of
// Combo1 to Combo3 and Text1. tags and lists must outlive the controls.
SnippetWidgets createSnippetWidgets(QWidget *functionBar, QWidget *shortcutBar, QWidget *specialBar,
                                    TagToolbar &tags, SnippetLists &lists);
