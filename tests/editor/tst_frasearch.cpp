#include "editor/frasearch.h"
#include "editor/richtextbox.h"
#include "platform/settingsfile.h"
#include "platform/twips.h"
#include "support/programfolder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

// The window's outer heights: the Part's, and a row of search options and a
// line for an invalid pattern's reason below the boxes.
constexpr int kCompactHeight = 1700 + 630;
constexpr int kFullHeight = 2760 + 630;

// A main window with an editing area, as the find window's owner.
struct Owner {
    QWidget window;
    RichTextBox *box = new RichTextBox(&window);

    explicit Owner(const QString &text = {})
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        window.setGeometry(120, 80, 700, 446);
        window.show();
        box->setText(text);
        box->setSelStart(0);
    }
    ~Owner() { FRAsearch::unload(); }
};

template <typename T> T *control(FRAsearch *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void processUnload()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestFRAsearch : public QObject {
    Q_OBJECT
private slots:
    void opensCompactOnTopAndCentred();
    void layoutFollowsClicks_data();
    void layoutFollowsClicks();
    void refreshloadIgnoresOtherValues();
    void findNextUntilNothingIsLeft();
    void matchCaseBox();
    void replaceButtons();
    void closingUnloads_data();
    void closingUnloads();
    void showingAgainKeepsTheWindow();
    void keysInTheFields_data();
    void keysInTheFields();
    void regexAndWholeWordBoxes();

private:
    TestProgramFolder m_programFolder; // where the boxes' states are kept
};

void TestFRAsearch::opensCompactOnTopAndCentred()
{
    Owner owner;
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window->windowTitle(), QStringLiteral("查找"));
    QVERIFY(window->isCompact());
    QCOMPARE(window->Height(), kCompactHeight);
    QVERIFY(!control<QGroupBox>(window, "Frame1")->isVisible());
    QVERIFY(control<QLineEdit>(window, "Txtfindstr")->text().isEmpty());
    QVERIFY(!control<QCheckBox>(window, "Check1")->isChecked());
    QVERIFY(!control<QCheckBox>(window, "Check2")->isChecked());
    QCOMPARE(window->focusWidget(), control<QLineEdit>(window, "Txtfindstr"));

    // Centred over the owner's outer rectangle.
    const QRect ownerFrame = owner.window.frameGeometry();
    const int dialogHeight = Twips::toPixels(kCompactHeight);
    QVERIFY(qAbs(window->frameGeometry().center().x() - ownerFrame.center().x()) <= 2);
    QVERIFY(qAbs(window->frameGeometry().top() -
                 (ownerFrame.top() + (ownerFrame.height() - dialogHeight) / 2)) <= 1);
}

void TestFRAsearch::layoutFollowsClicks_data()
{
    QTest::addColumn<bool>("startFull");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("compact");
    QTest::newRow("one click grows") << false << 1 << false;
    QTest::newRow("two clicks shrink") << false << 2 << true;
    QTest::newRow("three clicks grow") << false << 3 << false;
    // Full layout while the box is unticked: the tick decides.
    QTest::newRow("tick from full stays full") << true << 1 << false;
    QTest::newRow("untick from full shrinks") << true << 2 << true;
}

void TestFRAsearch::layoutFollowsClicks()
{
    QFETCH(bool, startFull);
    QFETCH(int, clicks);
    QFETCH(bool, compact);
    Owner owner;
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    if (startFull)
        window->refreshload(FRAsearch::Full);
    auto *check1 = control<QCheckBox>(window, "Check1");
    for (int i = 0; i < clicks; ++i)
        click(check1);

    QCOMPARE(window->isCompact(), compact);
    QCOMPARE(window->Height(), compact ? kCompactHeight : kFullHeight);
    QCOMPARE(check1->y(), Twips::toPixels(compact ? 848 : 1900));
    QCOMPARE(control<QCheckBox>(window, "Check2")->y(), Twips::toPixels(compact ? 848 : 1900));
    auto *exit = control<QPushButton>(window, "Commexit");
    QCOMPARE(exit->y(), Twips::toPixels(compact ? 843 : 1920));
    QCOMPARE(control<QGroupBox>(window, "Frame1")->isVisible(), !compact);
    // Everything shown lies within the window.
    QVERIFY(exit->geometry().bottom() < window->height());
    QVERIFY(control<QLabel>(window, "LabPatternError")->geometry().bottom() < window->height());
    if (!compact)
        QVERIFY(control<QGroupBox>(window, "Frame1")->geometry().bottom() < window->height());
}

void TestFRAsearch::refreshloadIgnoresOtherValues()
{
    Owner owner;
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    window->refreshload(FRAsearch::Full);
    const QSize full = window->size();
    window->refreshload(1);
    window->refreshload(-2);
    QVERIFY(!window->isCompact());
    QCOMPARE(window->size(), full);
    window->refreshload(FRAsearch::Compact);
    QVERIFY(window->isCompact());
    QVERIFY(window->height() < full.height());
}

void TestFRAsearch::findNextUntilNothingIsLeft()
{
    Owner owner(QStringLiteral("aXa xa"));
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    auto *findText = control<QLineEdit>(window, "Txtfindstr");
    auto *findNext = control<QPushButton>(window, "commFindStr");
    QTest::keyClicks(findText, QStringLiteral("xa"));

    click(findNext);
    QCOMPARE(owner.box->SelStart(), 1);
    QCOMPARE(owner.box->SelText(), QStringLiteral("Xa"));
    click(findNext);
    QCOMPARE(owner.box->SelStart(), 4);
    QCOMPARE(findNext->text(), QStringLiteral("查找下一个"));
    click(findNext);
    QCOMPARE(owner.box->SelStart(), 4);
    QVERIFY(!findNext->isEnabled());
    QCOMPARE(findNext->text(), QStringLiteral("找不到了"));
    QCOMPARE(window->focusWidget(), findText);

    // A new text to find alone does not bring the button back.
    QTest::keyClicks(findText, QStringLiteral("a"));
    QVERIFY(!findNext->isEnabled());
    click(findText);
    QVERIFY(findNext->isEnabled());
    QCOMPARE(findNext->text(), QStringLiteral("查找下一个"));
}

void TestFRAsearch::matchCaseBox()
{
    Owner owner(QStringLiteral("aXa xa"));
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    QTest::keyClicks(control<QLineEdit>(window, "Txtfindstr"), QStringLiteral("xa"));
    click(control<QCheckBox>(window, "Check2"));
    click(control<QPushButton>(window, "commFindStr"));
    QCOMPARE(owner.box->SelStart(), 4);
}

void TestFRAsearch::replaceButtons()
{
    Owner owner(QStringLiteral("one Two two"));
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    click(control<QCheckBox>(window, "Check1"));
    QTest::keyClicks(control<QLineEdit>(window, "Txtfindstr"), QStringLiteral("two"));
    QTest::keyClicks(control<QLineEdit>(window, "txtreplacestr"), QStringLiteral("2"));
    auto *replace = control<QPushButton>(window, "commRpalceStr");

    click(replace); // nothing selected
    QCOMPARE(owner.box->Text(), QStringLiteral("one Two two"));
    owner.box->setSelStart(0);
    owner.box->setSelLength(3); // not an occurrence: replaced all the same
    click(replace);
    QCOMPARE(owner.box->Text(), QStringLiteral("2 Two two"));

    click(control<QPushButton>(window, "CommAllReplace"));
    QCOMPARE(owner.box->Text(), QStringLiteral("2 2 2"));
    QCOMPARE(owner.box->SelStart(), 0);
}

void TestFRAsearch::closingUnloads_data()
{
    QTest::addColumn<bool>("byCancel");
    QTest::newRow("取消") << true;
    QTest::newRow("close box") << false;
}

void TestFRAsearch::closingUnloads()
{
    QFETCH(bool, byCancel);
    Owner owner(QStringLiteral("abc"));
    QPointer<FRAsearch> window = FRAsearch::showFor(&owner.window, owner.box);
    click(control<QCheckBox>(window, "Check1"));
    QTest::keyClicks(control<QLineEdit>(window, "Txtfindstr"), QStringLiteral("zz"));
    click(control<QPushButton>(window, "commFindStr"));
    if (byCancel)
        click(control<QPushButton>(window, "Commexit"));
    else
        window->close();
    processUnload();
    QVERIFY(window.isNull());
    QCOMPARE(FRAsearch::loaded(), nullptr);

    FRAsearch *again = FRAsearch::showFor(&owner.window, owner.box);
    QVERIFY(again->isCompact());
    QVERIFY(!control<QGroupBox>(again, "Frame1")->isVisible());
    QVERIFY(control<QLineEdit>(again, "Txtfindstr")->text().isEmpty());
    QVERIFY(control<QPushButton>(again, "commFindStr")->isEnabled());
}

void TestFRAsearch::showingAgainKeepsTheWindow()
{
    Owner owner;
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    click(control<QCheckBox>(window, "Check1"));
    QTest::keyClicks(control<QLineEdit>(window, "Txtfindstr"), QStringLiteral("x"));
    QCOMPARE(FRAsearch::showFor(&owner.window, owner.box), window);
    QVERIFY(!window->isCompact());
    QCOMPARE(control<QLineEdit>(window, "Txtfindstr")->text(), QStringLiteral("x"));
}

void TestFRAsearch::keysInTheFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<bool>("closed");
    const int enter = Qt::Key_Return;
    const int esc = Qt::Key_Escape;
    QTest::newRow("Enter finds") << "Txtfindstr" << enter << "one Two two" << 4 << false;
    QTest::newRow("Enter replaces") << "txtreplacestr" << enter << "1 Two two" << 1 << false;
    QTest::newRow("Esc in the find field") << "Txtfindstr" << esc << "one Two two" << 0 << true;
    QTest::newRow("Esc in the replace field")
        << "txtreplacestr" << esc << "one Two two" << 0 << true;
}

void TestFRAsearch::keysInTheFields()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(bool, closed);
    Owner owner(QStringLiteral("one Two two"));
    QPointer<FRAsearch> window = FRAsearch::showFor(&owner.window, owner.box);
    click(control<QCheckBox>(window, "Check1"));
    QTest::keyClicks(control<QLineEdit>(window, "Txtfindstr"), QStringLiteral("two"));
    QTest::keyClicks(control<QLineEdit>(window, "txtreplacestr"), QStringLiteral("1"));
    owner.box->setSelLength(3);
    QTest::keyClick(control<QLineEdit>(window, qPrintable(field)), Qt::Key(key));
    QCOMPARE(owner.box->Text(), text);
    QCOMPARE(owner.box->SelStart(), selStart);
    QCOMPARE(FRAsearch::loaded() == nullptr, closed);
}

void TestFRAsearch::regexAndWholeWordBoxes()
{
    Owner owner(QStringLiteral("cat concat 2026-12"));
    FRAsearch *window = FRAsearch::showFor(&owner.window, owner.box);
    auto *findText = control<QLineEdit>(window, "Txtfindstr");
    auto *error = control<QLabel>(window, "LabPatternError");
    auto *findNext = control<QPushButton>(window, "commFindStr");

    // An invalid pattern says why in the window and searches nothing.
    click(control<QCheckBox>(window, "CheckRegex"));
    QTest::keyClicks(findText, QStringLiteral("(\\d+"));
    QVERIFY(error->text().contains(QStringLiteral("正则表达式有误")));
    click(findNext);
    QCOMPARE(owner.box->SelLength(), 0);
    QCOMPARE(findNext->text(), QStringLiteral("查找下一个"));
    QTest::keyClicks(findText, QStringLiteral(")"));
    QVERIFY(error->text().isEmpty());
    click(findNext);
    QCOMPARE(owner.box->SelText(), QStringLiteral("2026"));

    // Whole words: "cat" but not the one in "concat"; the states are kept.
    click(control<QCheckBox>(window, "CheckRegex"));
    click(control<QCheckBox>(window, "CheckWord"));
    findText->setText(QStringLiteral("cat"));
    owner.box->setSelStart(1);
    click(findNext);
    QCOMPARE(findNext->text(), QStringLiteral("找不到了"));
    QCOMPARE(ReadSetting("main", "findword", ""), QStringLiteral("1"));
    QCOMPARE(ReadSetting("main", "findregex", ""), QStringLiteral("0"));
    FRAsearch::unload();
    window = FRAsearch::showFor(&owner.window, owner.box);
    QVERIFY(control<QCheckBox>(window, "CheckWord")->isChecked());
    QVERIFY(!control<QCheckBox>(window, "CheckRegex")->isChecked());
}

QTEST_MAIN(TestFRAsearch)
#include "tst_frasearch.moc"
