#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Finds another program's top-level window by its title and brings it to
// the front. Tests script what is found.
class WindowFinder {
public:
    // The desktop's identifier of a window (an X11 window id).
    using WindowId = quint64;

    virtual ~WindowFinder() = default;

    // A top-level window whose title is exactly title, or nothing when there
    // is none or the desktop gives no list of its windows.
    virtual std::optional<WindowId> find(const QString &title) = 0;

    // Asks the desktop to activate the window: raise it, show it if it is
    // minimised and give it the keyboard focus.
    virtual void activate(WindowId window) = 0;
};

// The desktop's window list. On X11 this is the window manager's list of
// client windows and their names; where no such list can be read (Wayland,
// the offscreen platform, no window manager) nothing is ever found.
class DesktopWindowFinder final : public WindowFinder {
public:
    std::optional<WindowId> find(const QString &title) override;
    void activate(WindowId window) override;
};
