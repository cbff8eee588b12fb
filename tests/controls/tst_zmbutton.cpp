#include "controls/zmbutton.h"
#include "controls/zmline.h"
#include "platform/twips.h"
#include "platform/wincolor.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class TestFlatControls : public QObject {
    Q_OBJECT
private slots:
    void newButtonDefaults();
    void heldButtonTurnsBlue_data();
    void heldButtonTurnsBlue();
    void clickNeedsReleaseInside();
    void keyboardPressesButton_data();
    void keyboardPressesButton();
    void captionCentredAndClipped();
    void fontChangeRecentres();
    void buttonIsAccessible();
    void lineKeepsItsThickness_data();
    void lineKeepsItsThickness();
    void lineStyleShowsAtNextResize();
};

void TestFlatControls::newButtonDefaults()
{
    zmBUTTon button;
    QCOMPARE(button.Text(), QString());
    QCOMPARE(button.ForeColor(), WinColor::kWindowText);
    QCOMPARE(button.fillColor(), zmBUTTon::kUpColor);
    button.setUpCorlor(QVariant(255));
    button.setDownCorlor(QVariant(QStringLiteral("red")));
    QVERIFY(!button.UpCorlor().isValid());
    QVERIFY(!button.DownCorlor().isValid());
    QVERIFY(button.focusPolicy() & Qt::TabFocus);

    button.setForeColor(0x00FF0000u); // blue
    QCOMPARE(button.captionLabel()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

void TestFlatControls::heldButtonTurnsBlue_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left") << int(Qt::LeftButton) << 1;
    QTest::newRow("right") << int(Qt::RightButton) << 0;
    QTest::newRow("middle") << int(Qt::MiddleButton) << 0;
}

void TestFlatControls::heldButtonTurnsBlue()
{
    QFETCH(int, button);
    QFETCH(int, clicks);
    zmBUTTon flat(QStringLiteral("保  存(S)"));
    flat.resize(80, 27);
    flat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&flat));
    QSignalSpy click(&flat, &zmBUTTon::click);

    QTest::mousePress(&flat, Qt::MouseButton(button), Qt::NoModifier, QPoint(40, 13));
    QCOMPARE(flat.fillColor(), zmBUTTon::kDownColor);
    QTest::mouseRelease(&flat, Qt::MouseButton(button), Qt::NoModifier, QPoint(40, 13));
    QCOMPARE(flat.fillColor(), zmBUTTon::kUpColor);
    QCOMPARE(click.count(), clicks);
}

void TestFlatControls::clickNeedsReleaseInside()
{
    zmBUTTon flat(QStringLiteral("关  于(A)"));
    flat.resize(80, 27);
    flat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&flat));
    QSignalSpy click(&flat, &zmBUTTon::click);
    // A press on the caption reaches the button.
    const QPoint onCaption = flat.captionLabel()->geometry().center();
    QTest::mousePress(&flat, Qt::LeftButton, Qt::NoModifier, onCaption);
    QTest::mouseRelease(&flat, Qt::LeftButton, Qt::NoModifier, QPoint(200, 13));
    QCOMPARE(click.count(), 0);
    QCOMPARE(flat.fillColor(), zmBUTTon::kUpColor);
}

void TestFlatControls::keyboardPressesButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
    QTest::newRow("enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("ctrl enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << 0;
}

void TestFlatControls::keyboardPressesButton()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    zmBUTTon flat(QStringLiteral("应用"));
    flat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&flat));
    QSignalSpy click(&flat, &zmBUTTon::click);
    QTest::keyClick(&flat, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(click.count(), clicks);
    QCOMPARE(flat.fillColor(), zmBUTTon::kUpColor);
}

void TestFlatControls::captionCentredAndClipped()
{
    QWidget holder;
    zmBUTTon flat(QStringLiteral("测  试"), &holder);
    holder.show();
    flat.resize(200, 40);
    QLabel *caption = flat.captionLabel();
    QCOMPARE(caption->x(), (200 - caption->width()) / 2);
    QCOMPARE(caption->y(), (40 - caption->height()) / 2);

    flat.setText(QStringLiteral("一段比按钮宽得多的标题文字，两边都被裁掉"));
    flat.resize(40, 20);
    QVERIFY(caption->x() < 0);
    QVERIFY(caption->geometry().right() >= flat.width());
    QVERIFY(qAbs(caption->x() + caption->geometry().right() - (flat.width() - 1)) <= 1);
}

void TestFlatControls::fontChangeRecentres()
{
    zmBUTTon flat(QStringLiteral("杂  项(O)"));
    flat.resize(120, 40);
    flat.show();
    const int before = flat.captionLabel()->width();
    QFont font = flat.Font();
    font.setPointSize(font.pointSize() * 2);
    flat.setFont(font);
    QCOMPARE(flat.Font().pointSize(), font.pointSize());
    QVERIFY(flat.captionLabel()->width() > before);
    QCOMPARE(flat.captionLabel()->x(), (120 - flat.captionLabel()->width()) / 2);
}

void TestFlatControls::buttonIsAccessible()
{
    zmBUTTon flat(QStringLiteral("快速拦(C)"));
    flat.show();
    QSignalSpy click(&flat, &zmBUTTon::click);
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&flat);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::Button);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("快速拦(C)"));
    QAccessibleActionInterface *actions = face->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(click.count(), 1);

    flat.setText(QStringLiteral("工作区(W)"));
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("工作区(W)"));
}

void TestFlatControls::lineKeepsItsThickness_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("widthTwips");
    QTest::addColumn<int>("heightTwips");
    QTest::addColumn<int>("endWidthTwips");
    QTest::addColumn<int>("endHeightTwips");
    QTest::newRow("horizontal") << 0 << 3000 << 500 << 3000 << 45;
    QTest::newRow("vertical") << 1 << 600 << 2400 << 45 << 2400;
    QTest::newRow("any other style is vertical") << -7 << 600 << 1200 << 45 << 1200;
}

void TestFlatControls::lineKeepsItsThickness()
{
    QFETCH(int, style);
    QFETCH(int, widthTwips);
    QFETCH(int, heightTwips);
    QFETCH(int, endWidthTwips);
    QFETCH(int, endHeightTwips);
    QWidget holder;
    ZMLine line(style, &holder);
    holder.show();
    line.resize(Twips::toPixels(widthTwips), Twips::toPixels(heightTwips));
    QCOMPARE(line.size(), QSize(Twips::toPixels(endWidthTwips), Twips::toPixels(endHeightTwips)));
}

void TestFlatControls::lineStyleShowsAtNextResize()
{
    QWidget holder;
    ZMLine line(&holder);
    holder.show();
    line.resize(200, 30);
    const int thick = Twips::toPixels(45);
    QCOMPARE(line.size(), QSize(200, thick));

    line.setStyle(1);
    QCOMPARE(line.Style(), 1);
    QCOMPARE(line.drawnStyle(), 0);
    QCOMPARE(line.size(), QSize(200, thick));

    line.resize(200, 100);
    QCOMPARE(line.drawnStyle(), 1);
    QCOMPARE(line.size(), QSize(thick, 100));
}

QTEST_MAIN(TestFlatControls)
#include "tst_zmbutton.moc"
