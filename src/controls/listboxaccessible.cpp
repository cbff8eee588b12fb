#include "controls/listboxaccessible.h"

#include "controls/listbox.h"

#include <QPointer>

namespace {

class ListBoxItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ListBoxItemAccessible(ListBox *box, int index)
        : m_box(box)
        , m_index(index)
    {}

    bool isValid() const override { return m_box && m_index < m_box->count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_box ? m_box->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_box.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_box->item(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect row = m_box->itemRect(m_index);
        return row.isEmpty() ? QRect() : QRect(m_box->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        if (!isValid())
            return state;
        state.selected = m_box->currentIndex() == m_index;
        state.invisible = !m_box->isVisible();
        state.offscreen = m_box->itemRect(m_index).isEmpty();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == toggleAction() && isValid())
            m_box->setCurrentIndex(m_index);
    }

private:
    QPointer<ListBox> m_box;
    int m_index;
};

} // namespace

ListBoxAccessible::ListBoxAccessible(ListBox *box)
    : QAccessibleWidget(box, QAccessible::List)
{}

ListBoxAccessible::~ListBoxAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_items))
        QAccessible::deleteAccessibleInterface(id);
}

ListBox *ListBoxAccessible::box() const
{
    return static_cast<ListBox *>(widget());
}

int ListBoxAccessible::childCount() const
{
    return box()->count();
}

QAccessibleInterface *ListBoxAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    // Entries are only ever all taken away and put in again.
    if (m_itemsFor != childCount()) {
        for (const QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
        m_items.clear();
        m_itemsFor = childCount();
    }
    QAccessible::Id &id = m_items[index];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new ListBoxItemAccessible(box(), index));
    return QAccessible::accessibleInterface(id);
}

int ListBoxAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    return m_items.key(id, -1);
}

QAccessibleInterface *ListBoxAccessible::childAt(int x, int y) const
{
    const int index = box()->indexAt(box()->mapFromGlobal(QPoint(x, y)));
    return index >= 0 ? child(index) : QAccessibleWidget::childAt(x, y);
}
