#include "shell/windowkeys.h"

#include "platform/virtualkey.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

WindowKeys::WindowKeys(QWidget &window, Handler handler)
    : QObject(&window)
    , m_window(window)
    , m_handler(std::move(handler))
{
    // Seen before any filter of the controls themselves, the editing
    // area's key commands included.
    QCoreApplication::instance()->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // Once per key: where it is delivered first (the window's focus
    // widget, or the window itself), not again as an unused key travels up
    // to the parents.
    QWidget *first = m_window.focusWidget();
    if (watched != (first ? first : &m_window) ||
        static_cast<QWidget *>(watched)->window() != &m_window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    int keyCode = VirtualKey::fromKeyEvent(key);
    if (keyCode == 0)
        return false;
    m_handler(keyCode, VirtualKey::shiftState(key->modifiers()));
    return keyCode == 0;
}
