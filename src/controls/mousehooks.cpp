#include "controls/mousehooks.h"

#include <QMouseEvent>
#include <QWidget>

MouseHooks::MouseHooks(QWidget *control, int eventType, std::function<void()> action)
    : QObject(control)
    , m_eventType(eventType)
    , m_action(std::move(action))
{
    control->installEventFilter(this);
}

void MouseHooks::onMouseMove(QWidget *control, std::function<void()> hint)
{
    control->setMouseTracking(true);
    new MouseHooks(control, QEvent::MouseMove, std::move(hint));
}

void MouseHooks::onRightPress(QWidget *control, std::function<void()> action)
{
    new MouseHooks(control, QEvent::MouseButtonPress, std::move(action));
}

bool MouseHooks::eventFilter(QObject *, QEvent *event)
{
    const bool hover = m_eventType == QEvent::MouseMove && event->type() == QEvent::HoverMove;
    if (event->type() != m_eventType && !hover)
        return false;
    if (m_eventType == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() != Qt::RightButton)
            return false;
        m_action();
        return true;
    }
    m_action();
    return false;
}
