#include "controls/controlaccessibility.h"

#include "controls/listbox.h"
#include "controls/listboxaccessible.h"
#include "controls/sizegrip.h"
#include "controls/zmbutton.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class FlatButtonAccessible : public QAccessibleWidget {
public:
    explicit FlatButtonAccessible(zmBUTTon *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("click()"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? button()->Text() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction()) {
            if (widget()->isEnabled())
                button()->performClick();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    zmBUTTon *button() const { return static_cast<zmBUTTon *>(widget()); }
};

// A window of the program's own (the main window, the find window, the
// key-code tester) would read as an anonymous panel: it reads as a window,
// or as a dialog when it is one, named by its caption. Pop-ups, tool tips
// and the like are no windows to the user and stay as they are.
QAccessibleInterface *plainWindow(QWidget *widget)
{
    if (!widget->isWindow())
        return nullptr;
    switch (widget->windowType()) {
    case Qt::Window:
        return new QAccessibleWidget(widget, QAccessible::Window);
    case Qt::Dialog:
    case Qt::Tool:
    case Qt::Sheet:
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    default:
        return nullptr;
    }
}

QAccessibleInterface *controlFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("zmBUTTon"))
        return new FlatButtonAccessible(static_cast<zmBUTTon *>(object));
    if (className == QLatin1String("ListBox"))
        return new ListBoxAccessible(static_cast<ListBox *>(object));
    if (className == QLatin1String("SizeGrip"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grip);
    // Asked for the object's own class first, then for each base class in
    // turn: by the time QWidget is asked for, no factory (Qt's own for its
    // menus, dialogs and main windows included) has taken the object.
    if (className == QLatin1String("QWidget"))
        return plainWindow(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(controlFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
