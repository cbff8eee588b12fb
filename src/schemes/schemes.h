#pragma once

#include <QString>
#include <functional>

class QAction;
class QWidget;
struct EditorLook;

// The two toolbar schemes and the toolbar layout. The default scheme shows
// every button of the first two toolbars, the custom scheme the buttons
// ticked in the settings dialog; either one then packs both chains from the
// left and applies the editing area's font and colour. The check marks live
// on the two menu items given; the controls are found by object name.
class Schemes {
public:
    struct Host {
        // The toolbar control with this object name ("func(0)", "Combo1").
        std::function<QWidget *(const QString &name)> control;
        // Font, size and background of the editing area.
        std::function<void(const EditorLook &look)> applyLook;
        // Makes the main window visible.
        std::function<void()> showWindow;
    };

    Schemes(QAction *menfdafealt, QAction *menfdiy, Host host);

    void menfdafealt_Click();
    void menfdiy_Click();
    // Start-up: the stored scheme, the custom one for any non-zero faceing.
    void runStoredScheme();
    // Runs whichever scheme carries the check mark.
    void runActiveScheme();

    void SetScheme();

    // Room a control takes in its chain, in twips: its width less 15 when it
    // is visible, else nothing.
    static int ButtonAdvance(bool visible, int widthTwips);

    // "自定义" becomes "自定义       F4"; longer names are cut to 4 characters.
    static QString customCaption(const QString &name);

private:
    // Ticks the scheme's item, stores it as the one to start with, shows
    // the chains' controls for it and runs SetScheme.
    void runScheme(bool custom);

    QAction *m_menfdafealt;
    QAction *m_menfdiy;
    Host m_host;
};
