#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The bar menu `poop`: the scheme submenu, the three strip toggles, the
// colouring switch and the two tag-name case items, the locked move item and
// the settings item. It pops up over the strips, their grips and the status
// bar.
class BarMenu : public QObject {
    Q_OBJECT
public:
    struct Host {
        std::function<void(int strip, bool visible)> setStripVisible;
        std::function<void()> defaultScheme; // the scheme commands
        std::function<void()> customScheme;
        std::function<void()> openSettings;
        std::function<void(bool on)> syntaxColor; // the colouring switched
        std::function<void(bool upper)> tagCase;  // tag and attribute names only
    };

    BarMenu(QWidget *parent, Host host);

    QMenu *poop() const { return m_poop; }
    void popup(const QPoint &globalPos);

    // Adds a switch of the editing area after the colouring switch (and
    // the switches added before it); switched gets the new state.
    QAction *addEditorSwitch(const char *name, const QString &caption, bool checked,
                             std::function<void(bool on)> switched);

    // Adds a submenu of other commands (the page's encoding, say) above the
    // settings item.
    void addCommandMenu(QMenu *menu);
    // Adds an item of other commands (a switch, say) there.
    void addCommandItem(QAction *item);
    // Adds a command item to the same group.
    QAction *addCommand(const QString &caption, const QString &name, std::function<void()> command);

    void mengongneng_Click();
    void menshortcut_Click();
    void menespecial_Click();
    void menuSETfavrit_Click();
    void menSyntaxColor_Click();

    QMenu *menfangan;
    QAction *menfdafealt;
    QAction *menfdiy;
    QAction *mengongneng;
    QAction *menshortcut;
    QAction *menespecial;
    QAction *menSyntaxColor;
    QAction *menTagLower;
    QAction *menTagUpper;
    QAction *menueee;
    QAction *menuSETfavrit;

private:
    void addEditorItems();
    // Where command items go: before the settings item's separator.
    QAction *commandPlace();
    // Inverts the strip's item, shows or hides the strip; true when it is
    // now shown.
    bool toggle(QAction *item, int strip);

    QMenu *m_poop;
    Host m_host;
    QAction *m_commandMenus = nullptr; // the separator before the command menus
    QAction *m_lastSwitch = nullptr;   // the editor switch added last
};
