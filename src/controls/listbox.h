#pragma once

#include <QFrame>
#include <QStringList>

class QScrollBar;

// A light list box of one-line strings with at most one selected entry, for
// a list that shows and hides while the user types. A QListWidget is a
// handful of widgets, and it styles whole items whenever its selection
// moves; this is one widget and a scroll bar, and a new selection repaints
// two rows.
//
// It never takes the keyboard focus: the mouse selects (a click) and
// double-clicks, and the owner moves the selection. Assistive technology
// sees a list whose entries are its items, the selected one marked, each
// of which can be selected through its action.
class ListBox : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int count READ count)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex)
public:
    explicit ListBox(QWidget *parent = nullptr);

    void clear();
    void addItem(const QString &text);
    int count() const { return int(m_items.size()); }
    QString item(int index) const { return m_items.value(index); }

    // -1 when no entry is selected. Setting an index that is no entry's
    // selects none; a selected entry is scrolled into view.
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);

    // The entry's row, in the box's coordinates; empty when it is out of
    // view.
    QRect itemRect(int index) const;
    // The entry at the point, or -1.
    int indexAt(const QPoint &point) const;

    QScrollBar *scrollBar() const { return m_bar; }

    // The height of one entry's row, from the font's metrics.
    int rowHeight() const;
    // The smallest size, at least minimumWidth wide, that shows rows whole
    // entries and the widest entry unclipped (beside the scroll bar when
    // the entries do not all fit).
    QSize sizeFor(int rows, int minimumWidth) const;

signals:
    // A double-click anywhere on the box.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int visibleRows() const;
    QRect rowsArea() const;
    void layOut();

    QStringList m_items;
    // The widest entry's text in pixels of the font it was measured in.
    mutable int m_widest = 0;
    mutable QFont m_measuredIn;
    int m_current = -1;
    QScrollBar *m_bar;
};
