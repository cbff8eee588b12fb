#include "controls/controlaccessibility.h"

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

QAccessibleInterface *controlFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("zmBUTTon"))
        return new FlatButtonAccessible(static_cast<zmBUTTon *>(object));
    if (className == QLatin1String("SizeGrip"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grip);
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
