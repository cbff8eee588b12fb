#include "controls/listbox.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown box of 30 entries, a few rows high.
struct Box {
    ListBox box;
    Box()
    {
        box.resize(120, 100);
        for (int i = 0; i < 30; ++i)
            box.addItem(QStringLiteral("<e%1>").arg(i));
        box.show();
    }
};

} // namespace

class TestListBox : public QObject {
    Q_OBJECT
private slots:
    void selectionScrollsIntoView_data();
    void selectionScrollsIntoView();
    void mouseSelectsAndDoubleClicks();
    void scrollBarOnlyWhenNeeded();
    void readByAssistiveTechnology();
};

void TestListBox::selectionScrollsIntoView_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<int>("selected");

    QTest::newRow("first") << QList<int>{0} << 0;
    QTest::newRow("far down") << QList<int>{25} << 25;
    QTest::newRow("back up") << QList<int>{29, 3} << 3;
    QTest::newRow("the last") << QList<int>{29} << 29;
    QTest::newRow("past the last selects none") << QList<int>{4, 30} << -1;
    QTest::newRow("none") << QList<int>{4, -1} << -1;
}

void TestListBox::selectionScrollsIntoView()
{
    QFETCH(QList<int>, indexes);
    QFETCH(int, selected);
    Box list;
    QVERIFY(list.box.scrollBar()->isVisible());
    for (const int index : indexes)
        list.box.setCurrentIndex(index);
    QCOMPARE(list.box.currentIndex(), selected);
    if (selected < 0)
        return;
    // Wholly in view.
    const QRect row = list.box.itemRect(selected);
    QCOMPARE(row.height(), list.box.fontMetrics().height() + 2);
    QVERIFY(list.box.contentsRect().contains(row));
    QCOMPARE(list.box.indexAt(row.center()), selected);
}

void TestListBox::mouseSelectsAndDoubleClicks()
{
    Box list;
    QSignalSpy doubleClicks(&list.box, &ListBox::doubleClicked);
    QTest::mouseClick(&list.box, Qt::LeftButton, {}, list.box.itemRect(2).center());
    QCOMPARE(list.box.currentIndex(), 2);
    QTest::mouseDClick(&list.box, Qt::LeftButton, {}, list.box.itemRect(1).center());
    QCOMPARE(doubleClicks.count(), 1);
    // A right click selects nothing.
    QTest::mouseClick(&list.box, Qt::RightButton, {}, list.box.itemRect(4).center());
    QCOMPARE(list.box.currentIndex(), 1);
}

// Entries that all fit need no scroll bar and have the whole width; the
// wheel scrolls a longer list without moving its selection.
void TestListBox::scrollBarOnlyWhenNeeded()
{
    ListBox few;
    few.resize(120, 100);
    few.addItem(QStringLiteral("<a>"));
    few.addItem(QStringLiteral("<b>"));
    few.show();
    QVERIFY(few.scrollBar()->isHidden());
    QCOMPARE(few.itemRect(1).width(), few.contentsRect().width());

    Box list;
    list.box.setCurrentIndex(1);
    QWheelEvent wheel(QPointF(10, 10), list.box.mapToGlobal(QPointF(10, 10)), {}, {0, -120},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&list.box, &wheel);
    QVERIFY(list.box.scrollBar()->value() > 0);
    QCOMPARE(list.box.currentIndex(), 1);
    QVERIFY(list.box.itemRect(1).isEmpty());
    QCOMPARE(list.box.indexAt(list.box.itemRect(list.box.scrollBar()->value()).center()),
             list.box.scrollBar()->value());
}

void TestListBox::readByAssistiveTechnology()
{
    Box list;
    list.box.setCurrentIndex(2);
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(&list.box);
    QVERIFY(box);
    QCOMPARE(box->role(), QAccessible::List);
    QCOMPARE(box->childCount(), 30);
    QAccessibleInterface *entry = box->child(5);
    QCOMPARE(entry->role(), QAccessible::ListItem);
    QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("<e5>"));
    QCOMPARE(box->child(5), entry);
    QCOMPARE(box->indexOfChild(entry), 5);
    QCOMPARE(entry->parent(), box);
    QVERIFY(!entry->state().selected);
    QVERIFY(box->child(2)->state().selected);
    // Selected through its action, as through the mouse.
    entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(list.box.currentIndex(), 5);
    QVERIFY(entry->state().selected);
    QVERIFY(!box->child(2)->state().selected);
    // An entry out of view reads as off screen.
    QVERIFY(box->child(29)->state().offscreen);
}

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
