#pragma once

#include <QObject>
#include <functional>

class QWidget;

// The main window's own keys (F1 to F4, F9, the save keys, Ctrl+F), seen
// before the control that has the focus sees them, wherever in the window
// that control is: the editing area, a strip's button, list or field, the
// status bar. Keys typed in another window (a dialog, the find window, a
// pop-up menu) are not looked at. A key whose code the handler sets to 0
// goes no further.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    // Keys as virtual-key codes with the shift state 1 Shift, 2 Ctrl, 4 Alt.
    using Handler = std::function<void(int &keyCode, int shift)>;

    // Watches the application's key presses for window, which owns it.
    WindowKeys(QWidget &window, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    Handler m_handler;
};
