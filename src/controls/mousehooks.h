#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Small mouse hooks for controls whose handlers are plain functions: a hint
// when the mouse moves over the control, an action on a right-button press.
class MouseHooks : public QObject {
    Q_OBJECT
public:
    // Runs hint on every mouse move (or hover move) over the control.
    static void onMouseMove(QWidget *control, std::function<void()> hint);
    // Runs action when the right button goes down on the control.
    static void onRightPress(QWidget *control, std::function<void()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MouseHooks(QWidget *control, int eventType, std::function<void()> action);

    int m_eventType;
    std::function<void()> m_action;
};
