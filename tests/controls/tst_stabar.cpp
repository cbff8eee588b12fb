#include "controls/sizegrip.h"
#include "controls/stabar.h"
#include "platform/twips.h"
#include "platform/wincolor.h"

#include <QAccessible>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// A window with a bar along its bottom, as a main window holds one.
struct BarWindow {
    QWidget window;
    StaBar *bar;

    explicit BarWindow(int width, int height = 200)
        : bar(new StaBar(&window))
    {
        window.resize(width, height);
        bar->setGeometry(0, height - 22, width, 22);
    }
    void show()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void resizeTo(int width)
    {
        window.resize(width, window.height());
        bar->setGeometry(0, window.height() - 22, width, 22);
    }
};

void sendMouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button,
               const QPoint &pos = QPoint(2, 2), Qt::MouseButtons buttons = Qt::NoButton)
{
    if (type == QEvent::MouseButtonPress)
        buttons |= button;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void clickOn(QWidget *widget, Qt::MouseButton button)
{
    sendMouse(widget, QEvent::MouseButtonPress, button);
    sendMouse(widget, QEvent::MouseButtonRelease, button);
}

bool at96Dpi()
{
    return qFuzzyCompare(Twips::perPixel(), 15.0);
}

} // namespace

class TestStaBar : public QObject {
    Q_OBJECT
private slots:
    void geometryInTwips_data();
    void geometryInTwips();
    void pixelPositionsForWidth();
    void narrowWindowHidesRightText();
    void minimisedWindowLeavesBarAlone();
    void longTextHidesRightTextAtNextResize();
    void clicks_data();
    void clicks();
    void foreColorOnlyOnLeftText();
    void textsAreReadable();
    void gripDragResizesWindow();
};

void TestStaBar::geometryInTwips_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("leftWidth");
    QTest::addColumn<double>("leftHeight");
    QTest::addColumn<double>("textTop");
    QTest::addColumn<bool>("rightShown");
    // Text top: (H - label height + 60) rounded, halved with the remainder dropped.
    QTest::newRow("design height") << 9000.0 << 330.0 << 1530.0 << 180.0 << 105.0 << true;
    QTest::newRow("odd sum drops half") << 9000.0 << 331.0 << 1530.0 << 180.0 << 105.0 << true;
    QTest::newRow("fraction rounds first") << 9000.0 << 330.6 << 1530.0 << 180.0 << 105.0 << true;
    QTest::newRow("right text just fits") << 4480.0 << 330.0 << 1530.0 << 180.0 << 105.0 << true;
    QTest::newRow("right text one twip short")
        << 4479.0 << 330.0 << 1530.0 << 180.0 << 105.0 << false;
}

void TestStaBar::geometryInTwips()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, leftWidth);
    QFETCH(double, leftHeight);
    QFETCH(double, textTop);
    QFETCH(bool, rightShown);

    StaBarMeasures measures;
    measures.width = width;
    measures.height = height;
    measures.leftTextWidth = leftWidth;
    measures.leftTextHeight = leftHeight;
    const StaBarLayout layout = StaBarGeometry::layOut(measures);

    QCOMPARE(layout.panel[0], QLineF(30, 30, width - 500, 30));
    QCOMPARE(layout.panel[1], QLineF(width - 500, 30, width - 500, height - 30));
    QCOMPARE(layout.panel[2], QLineF(width - 500, height - 30, 30, height - 30));
    QCOMPARE(layout.panel[3], QLineF(30, height - 30, 30, 30));
    QCOMPARE(layout.grip, QPointF(width - 240 - 45, height - 240 - 40));
    QCOMPARE(layout.leftText, QPointF(90, textTop));
    QCOMPARE(layout.rightText, QPointF(width - 2950, textTop));
    QCOMPARE(layout.rightTextShown, rightShown);
    if (rightShown) {
        QCOMPARE(layout.groove[0], QLineF(width - 3020, 30, width - 3020, height - 30));
        QCOMPARE(layout.groove[1], QLineF(width - 3000, 30, width - 3000, height - 30));
    }
}

void TestStaBar::pixelPositionsForWidth()
{
    if (!at96Dpi())
        QSKIP("pixel positions are given for 96 dpi");
    BarWindow w(600);
    w.bar->setText(QStringLiteral("ZelmoHTML编辑器"));
    w.bar->setText2(QStringLiteral("欢迎使用ZelmoHTML编辑器"));
    w.show();

    QCOMPARE(w.bar->width(), 600);
    // Grip: 16 by 16 pixels, 3 from the right, 2.67 from the bottom.
    QCOMPARE(w.bar->grip()->geometry(), QRect(581, 3, 16, 16));
    QCOMPARE(w.bar->leftLabel()->x(), 6);
    QCOMPARE(w.bar->rightLabel()->x(), 403); // 9000 - 2950 twips
    QCOMPARE(w.bar->rightLabel()->width(), 160);
    QCOMPARE(w.bar->rightLabel()->y(), w.bar->leftLabel()->y());
    const int expectedTop = Twips::toPixels(
        double(qRound64(330 - Twips::fromPixels(w.bar->leftLabel()->height()) + 60) / 2));
    QCOMPARE(w.bar->leftLabel()->y(), expectedTop);
    QVERIFY(w.bar->rightLabel()->isVisible());

    // The bar follows the window's width, whatever it was given.
    w.window.resize(700, 200);
    w.bar->resize(650, 22);
    QCOMPARE(w.bar->width(), 700);
    QCOMPARE(w.bar->grip()->x(), 681);
}

void TestStaBar::narrowWindowHidesRightText()
{
    BarWindow w(500);
    w.bar->setText(QStringLiteral("这是一段相当长的提示文字，用来占满左边的位置"));
    w.show();
    QVERIFY(w.bar->rightLabel()->isVisible());
    QVERIFY(w.bar->currentLayout().rightTextShown);

    // Narrow enough that W - 2950 twips is left of the left text's end.
    const int narrow = Twips::toPixels(2950) + w.bar->leftLabel()->width() / 2;
    w.resizeTo(narrow);
    QVERIFY(!w.bar->rightLabel()->isVisible());
    QVERIFY(!w.bar->currentLayout().rightTextShown);
    // The grip stays in the corner.
    QCOMPARE(w.bar->grip()->x(), narrow - Twips::toPixels(45 + 240));

    w.resizeTo(500);
    QVERIFY(w.bar->rightLabel()->isVisible());
    QVERIFY(w.bar->currentLayout().rightTextShown);
}

void TestStaBar::minimisedWindowLeavesBarAlone()
{
    BarWindow w(500);
    w.show();
    const StaBarLayout before = w.bar->currentLayout();
    const QPoint gripBefore = w.bar->grip()->pos();

    w.window.setWindowState(Qt::WindowMinimized);
    QVERIFY(w.window.isMinimized());
    w.bar->setText(QStringLiteral("很长很长很长很长很长很长很长很长很长很长很长的提示文字"));
    w.resizeTo(230);
    QCOMPARE(w.bar->grip()->pos(), gripBefore);
    QCOMPARE(w.bar->currentLayout().panel[0], before.panel[0]);
    QCOMPARE(w.bar->currentLayout().rightTextShown, before.rightTextShown);

    // Restoring lays the bar out for its new width.
    w.window.setWindowState(Qt::WindowNoState);
    QCOMPARE(w.bar->grip()->x(), 230 - Twips::toPixels(45 + 240));
}

void TestStaBar::longTextHidesRightTextAtNextResize()
{
    BarWindow w(400);
    w.bar->setText(QStringLiteral("短"));
    w.show();
    QVERIFY(w.bar->rightLabel()->isVisible());

    w.bar->setText(
        QStringLiteral("一段很长很长的提示文字，一直写到状态栏右边的消息文字那里还不停"));
    QVERIFY(w.bar->leftLabel()->width() > w.bar->rightLabel()->x());
    QVERIFY(w.bar->rightLabel()->isVisible()); // nothing moves until the next resize

    w.resizeTo(401);
    QVERIFY(!w.bar->rightLabel()->isVisible());
}

void TestStaBar::clicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("secondClicks");
    QTest::addColumn<int>("rightClicks");
    QTest::newRow("left on left text") << "LabLib" << int(Qt::LeftButton) << 1 << 0 << 0;
    QTest::newRow("right on left text") << "LabLib" << int(Qt::RightButton) << 0 << 0 << 1;
    QTest::newRow("left on right text") << "Labright" << int(Qt::LeftButton) << 0 << 1 << 0;
    QTest::newRow("right on right text") << "Labright" << int(Qt::RightButton) << 0 << 0 << 1;
    QTest::newRow("middle on right text") << "Labright" << int(Qt::MiddleButton) << 0 << 0 << 0;
    QTest::newRow("left on bar") << "bar" << int(Qt::LeftButton) << 0 << 0 << 0;
    QTest::newRow("right on bar") << "bar" << int(Qt::RightButton) << 0 << 0 << 1;
    QTest::newRow("right on grip") << "LabJiao" << int(Qt::RightButton) << 0 << 0 << 0;
}

void TestStaBar::clicks()
{
    QFETCH(QString, target);
    QFETCH(int, button);
    QFETCH(int, clicks);
    QFETCH(int, secondClicks);
    QFETCH(int, rightClicks);

    BarWindow w(600);
    w.bar->setText(QStringLiteral("提示"));
    w.bar->setText2(QStringLiteral("消息"));
    w.show();
    QSignalSpy click(w.bar, &StaBar::click);
    QSignalSpy second(w.bar, &StaBar::SecondClick);
    QSignalSpy right(w.bar, &StaBar::RightClick);

    QWidget *widget = target == QLatin1String("bar") ? w.bar : w.bar->findChild<QWidget *>(target);
    QVERIFY(widget);
    clickOn(widget, Qt::MouseButton(button));
    QCOMPARE(click.count(), clicks);
    QCOMPARE(second.count(), secondClicks);
    QCOMPARE(right.count(), rightClicks);
}

void TestStaBar::foreColorOnlyOnLeftText()
{
    BarWindow w(600);
    QCOMPARE(w.bar->ForeColor(), WinColor::kWindowText);
    const QColor rightBefore = w.bar->rightLabel()->palette().color(QPalette::WindowText);

    w.bar->setForeColor(0x000000FFu); // red
    QCOMPARE(w.bar->ForeColor(), 0x000000FFu);
    QCOMPARE(w.bar->leftLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(w.bar->rightLabel()->palette().color(QPalette::WindowText), rightBefore);

    QFont font = w.bar->Font();
    font.setPointSize(font.pointSize() + 6);
    w.bar->setFont(font);
    QCOMPARE(w.bar->Font().pointSize(), font.pointSize());
    QVERIFY(w.bar->rightLabel()->font().pointSize() != font.pointSize());
}

void TestStaBar::textsAreReadable()
{
    BarWindow w(600);
    w.bar->setText(QStringLiteral("共 3 行"));
    w.bar->setText2(QStringLiteral("保存成功--/tmp/a.htm"));
    QCOMPARE(w.bar->Text(), QStringLiteral("共 3 行"));
    QCOMPARE(w.bar->Text2(), QStringLiteral("保存成功--/tmp/a.htm"));
    w.show();

    QAccessibleInterface *left = QAccessible::queryAccessibleInterface(w.bar->leftLabel());
    QAccessibleInterface *right = QAccessible::queryAccessibleInterface(w.bar->rightLabel());
    QAccessibleInterface *grip = QAccessible::queryAccessibleInterface(w.bar->grip());
    QVERIFY(left && right && grip);
    QCOMPARE(left->text(QAccessible::Name), QStringLiteral("共 3 行"));
    QCOMPARE(right->text(QAccessible::Name), QStringLiteral("保存成功--/tmp/a.htm"));
    QCOMPARE(grip->text(QAccessible::Name), QStringLiteral("调整窗口大小"));
    QCOMPARE(grip->role(), QAccessible::Grip);
}

void TestStaBar::gripDragResizesWindow()
{
    BarWindow w(400, 300);
    w.show();
    QWidget *grip = w.bar->grip();
    QCOMPARE(grip->cursor().shape(), Qt::SizeFDiagCursor);

    sendMouse(grip, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(8, 8));
    const QSize start = w.window.size();
    sendMouse(grip, QEvent::MouseMove, Qt::NoButton, QPoint(48, 28), Qt::LeftButton);
    sendMouse(grip, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(48, 28));
    // Where the window system resizes the window itself, nothing is left to check.
    if (w.window.size() == start)
        QSKIP("the window system took over the resize");
    QCOMPARE(w.window.size(), start + QSize(40, 20));
}

QTEST_MAIN(TestStaBar)
#include "tst_stabar.moc"
