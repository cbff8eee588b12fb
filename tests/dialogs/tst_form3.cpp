#include "dialogs/form3.h"
#include "dialogs/form3text.h"

#include <QTest>

namespace {

const QString kPrompt = QStringLiteral("请按键...");

struct Owner {
    QWidget window;
    Owner()
    {
        window.setGeometry(100, 60, 700, 446);
        window.show();
    }
    ~Owner() { Form3::unload(); }
};

void processUnload()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestForm3 : public QObject {
    Q_OBJECT
private slots:
    void opensCentredWithThePrompt();
    void keyShowsItsCode_data();
    void keyShowsItsCode();
    void codesWithoutAnAnsiCharacter_data();
    void codesWithoutAnAnsiCharacter();
    void clickCloses();
    void losingTheFocusCloses();
    void eachOpeningStartsWithThePrompt();
};

void TestForm3::opensCentredWithThePrompt()
{
    Owner owner;
    Form3 *form = Form3::showFor(&owner.window);
    QVERIFY(form->isVisible());
    QVERIFY(!form->isModal());
    QCOMPARE(form->windowTitle(), QStringLiteral("键值测试"));
    QCOMPARE(form->text(), kPrompt);
    const QRect ownerFrame = owner.window.frameGeometry();
    QVERIFY(qAbs(form->frameGeometry().center().x() - ownerFrame.center().x()) <= 2);
    QVERIFY(qAbs(form->frameGeometry().center().y() - ownerFrame.center().y()) <= 2);
}

void TestForm3::keyShowsItsCode_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<QString>("line");
    QTest::newRow("A") << int(Qt::Key_A) << false << QStringLiteral("A  的键值是：  65");
    QTest::newRow("Z") << int(Qt::Key_Z) << false << QStringLiteral("Z  的键值是：  90");
    QTest::newRow("F1") << int(Qt::Key_F1) << false << QStringLiteral("p  的键值是：  112");
    QTest::newRow("keypad 1") << int(Qt::Key_1) << true << QStringLiteral("a  的键值是：  97");
    QTest::newRow("digit 1") << int(Qt::Key_1) << false << QStringLiteral("1  的键值是：  49");
    QTest::newRow("tab") << int(Qt::Key_Tab) << false << QStringLiteral("\t  的键值是：  9");
}

void TestForm3::keyShowsItsCode()
{
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(QString, line);
    Owner owner;
    Form3 *form = Form3::showFor(&owner.window);
    const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
    const QString expected = kPrompt + QStringLiteral("\r\n\r\n") + line;
    QTest::keyClick(form, Qt::Key(key), modifiers);
    QCOMPARE(form->text(), expected);
    // Pressed again: the surface is cleared first, the text is the same.
    QTest::keyClick(form, Qt::Key(key), modifiers);
    QCOMPARE(form->text(), expected);
}

void TestForm3::codesWithoutAnAnsiCharacter_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("character");
    QTest::newRow("shift: a control character") << 16 << QStringLiteral("\x10");
    QTest::newRow("semicolon key: a lead byte") << 186 << QStringLiteral("?");
}

void TestForm3::codesWithoutAnAnsiCharacter()
{
    QFETCH(int, code);
    QFETCH(QString, character);
    QCOMPARE(Form3Text::forKey(code), kPrompt + QStringLiteral("\r\n\r\n") + character +
                                          QStringLiteral("  的键值是：  ") + QString::number(code));
}

void TestForm3::clickCloses()
{
    Owner owner;
    QPointer<Form3> form = Form3::showFor(&owner.window);
    QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(10, 10));
    processUnload();
    QVERIFY(form.isNull());
    QCOMPARE(Form3::loaded(), nullptr);
}

void TestForm3::losingTheFocusCloses()
{
    Owner owner;
    QPointer<Form3> form = Form3::showFor(&owner.window);
    QVERIFY(QTest::qWaitForWindowActive(form));
    owner.window.activateWindow();
    QTRY_VERIFY(form.isNull());
}

void TestForm3::eachOpeningStartsWithThePrompt()
{
    Owner owner;
    QPointer<Form3> form = Form3::showFor(&owner.window);
    QTest::keyClick(form, Qt::Key_A);
    // Closed by a click into the main window whose button opens it again
    // before the closed one is gone.
    form->close();
    QPointer<Form3> again = Form3::showFor(&owner.window);
    processUnload();
    QVERIFY(form.isNull());
    QVERIFY(!again.isNull());
    QVERIFY(again->isVisible());
    QCOMPARE(again->text(), kPrompt);
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
