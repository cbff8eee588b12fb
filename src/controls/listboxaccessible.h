#pragma once

#include <QAccessibleWidget>
#include <QHash>

class ListBox;

// The list box as assistive technology sees it: a list whose children are
// its entries, named by their text; the selected one reads as selected,
// and each can be selected through its action.
class ListBoxAccessible : public QAccessibleWidget {
public:
    explicit ListBoxAccessible(ListBox *box);
    ~ListBoxAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

private:
    ListBox *box() const;
    // One interface per entry, registered with Qt's cache so that it keeps
    // its identity; dropped when the entries change.
    mutable QHash<int, QAccessible::Id> m_items;
    mutable int m_itemsFor = -1;
};
