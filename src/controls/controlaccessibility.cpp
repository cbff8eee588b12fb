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

// A window made straight from QWidget (the main window, the find window, the
// key-code tester) would read as an anonymous panel: it reads as a window,
// or as a dialog when it is one, named by its caption.
QAccessibleInterface *plainWindow(QWidget *widget)
{
    if (!widget->isWindow() || widget->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    const Qt::WindowType type = widget->windowType();
    const bool dialog = type == Qt::Dialog || type == Qt::Tool || type == Qt::Sheet;
    return new QAccessibleWidget(widget, dialog ? QAccessible::Dialog : QAccessible::Window);
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
    // Asked for the object's own class first, then for each base class.
    if (className == QLatin1String(object->metaObject()->className()))
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
