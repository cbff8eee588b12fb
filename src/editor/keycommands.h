#pragma once

#include <QString>
#include <functional>

class RichText;
class TagCompletion;

// The operations the key commands reach outside the editing area. A hook
// left empty does nothing; an empty clipboardText reads the system clipboard.
struct KeyCommandHooks {
    // The tag toolbar's wrapping and inserting buttons, by index.
    std::function<void(int)> selbutton;
    std::function<void(int)> noselbutton;
    // The document totals on the status line.
    std::function<void()> refreshTotals;
    // The edit menu at the mouse pointer.
    std::function<void()> popupEditMenu;
    // The clipboard as plain text; empty when it holds no text.
    std::function<QString()> clipboardText;
    // The tag pairs: to the partner tag, and the element selected.
    std::function<void()> jumpToPartner;
    std::function<void()> selectElement;
};

// The editing area's key-down handler: the completion list's keys and the
// HTML editing shortcuts. Keys are Windows virtual-key codes with the shift
// state 1 Shift, 2 Ctrl, 4 Alt; a row applies only to its exact shift state.
// A consumed key has its code set to 0 and must not reach the editing area.
// Every Alt command is consumed: passed on, the editing area would type the
// letter as well.
class KeyCommands {
public:
    // The image tag of Alt+M.
    static const QString kImageTag;

    KeyCommands(RichText &richText, TagCompletion &completion, KeyCommandHooks hooks = {});

    void setHooks(KeyCommandHooks hooks) { m_hooks = std::move(hooks); }
    const KeyCommandHooks &hooks() const { return m_hooks; }

    void RichText_KeyDown(int &keyCode, int shift);

    // Whether a row of the table takes this key now (with the list in its
    // present state); such keys go to the editing area before any shortcut.
    bool hasCommand(int keyCode, int shift) const;

private:
    void runRow(int &keyCode, int shift);
    void selbutton(int index);
    void noselbutton(int index);
    void refreshTotals();

    RichText &m_richText;
    TagCompletion &m_completion;
    KeyCommandHooks m_hooks;
};
