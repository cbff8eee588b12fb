#include "editor/richtextbox.h"
#include "platform/clock.h"
#include "platform/twips.h"
#include "snippets/snippetlists.h"
#include "snippets/snippetwidgets.h"
#include "snippets/tagtoolbar.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {

// The three strips with their controls, and the logic behind them.
struct Fixture {
    QWidget window;
    QWidget *bars[3];
    RichTextBox *richText;
    StatusRecorder status;
    ScriptedPrompts prompts;
    FixedClock clock;
    std::unique_ptr<TagToolbar> tags;
    std::unique_ptr<SnippetLists> lists;
    SnippetWidgets widgets;

    Fixture()
    {
        window.resize(800, 300);
        for (int i = 0; i < 3; ++i) {
            bars[i] = new QWidget(&window);
            bars[i]->setGeometry(0, i * 30, 800, 22);
        }
        richText = new RichTextBox(&window);
        richText->setGeometry(0, 100, 800, 200);
        tags = std::make_unique<TagToolbar>(*richText, status, prompts, clock);
        lists = std::make_unique<SnippetLists>(*richText, status, prompts);
        widgets = createSnippetWidgets(bars[0], bars[1], bars[2], *tags, *lists);
    }

    template <typename T> T *find(const QString &name) { return window.findChild<T *>(name); }
};

QRect twipsRect(int left, int width, int height)
{
    return QRect(Twips::toPixels(left), 0, Twips::toPixels(width), Twips::toPixels(height));
}

} // namespace

class TestSnippetWidgets : public QObject {
    Q_OBJECT
private slots:
    void buttons_data();
    void buttons();
    void tagButtonLook();
    void lists_data();
    void lists();
    void text1();
    void clickWrapsSelection();
    void clickInsertsFromList();
    void typedListTextMatchesExactly_data();
    void typedListTextMatchesExactly();
    void mouseMoveWritesHint();
};

void TestSnippetWidgets::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("accessibleName");
    auto row = [](const char *name, int bar, const QString &caption, int left, int width,
                  int height, const QString &accessible = QString()) {
        QTest::newRow(name) << QString::fromLatin1(name) << bar << caption
                            << twipsRect(left, width, height)
                            << (accessible.isEmpty() ? caption : accessible);
    };
    const QString letters = QStringLiteral("AFBIUSsGXC");
    for (int i = 0; i < 10; ++i)
        row(qPrintable(QStringLiteral("selbutton(%1)").arg(i)), 1, letters.at(i), 1080 + 360 * i,
            375, 300);
    row("selbutton(10)", 0, QStringLiteral("删除"), 5880, 735, 320);
    row("noselbutton(0)", 1, "Br", 5040, 495, 300);
    row("noselbutton(1)", 1, "P", 5520, 375, 300);
    row("noselbutton(2)", 1, "Hr", 5880, 375, 300);
    row("noselbutton(3)", 1, "Img", 6240, 495, 300);
    row("noselbutton(4)", 1, "Table", 6720, 615, 300);
    row("noselbutton(5)", 1, "Marquee", 7320, 855, 300);
    row("noselbutton(6)", 2, "", 8040, 135, 300, QStringLiteral("插入空格"));
    row("noselbutton(7)", 1, "R", 4680, 375, 300);
    row("noselbutton(8)", 0, QStringLiteral("时间"), 4440, 735, 320);
    row("noselect(0)", 0, QStringLiteral("大写"), 2280, 735, 320);
    row("noselect(1)", 0, QStringLiteral("小写"), 3000, 735, 320);
    row("noselect(2)", 2, QStringLiteral("设置"), 8160, 735, 300);
    row("insert1", 1, "OK--->", 8160, 735, 300);
    row("insert2", 2, "Enter-->", 1080, 975, 300);
    row("insert3", 2, "Enter-->", 3360, 975, 300);
    row("insert4", 2, "Enter-->", 5640, 975, 300);
}

void TestSnippetWidgets::buttons()
{
    QFETCH(QString, name);
    QFETCH(int, bar);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(QString, accessibleName);
    Fixture f;
    auto *button = f.find<QPushButton>(name);
    QVERIFY(button);
    QCOMPARE(button->parentWidget(), f.bars[bar]);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->accessibleName(), accessibleName);
    QVERIFY(!button->accessibleDescription().isEmpty());
}

void TestSnippetWidgets::tagButtonLook()
{
    Fixture f;
    const QColor tagColor(0, 192, 192);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(f.widgets.selbutton[i]->palette().color(QPalette::Button), tagColor);
    QVERIFY(f.widgets.selbutton[2]->font().bold());
    QVERIFY(f.widgets.selbutton[3]->font().italic());
    QVERIFY(f.widgets.selbutton[4]->font().underline());
    QVERIFY(f.widgets.selbutton[5]->font().strikeOut());
    QCOMPARE(f.widgets.selbutton[5]->font().pointSizeF(), 9.0);
    QVERIFY(!f.widgets.selbutton[0]->font().bold());
    QCOMPARE(f.widgets.selbutton[0]->font(), f.bars[1]->font());
    QCOMPARE(f.widgets.selbutton[10]->font(), f.bars[0]->font());
    // The struct hands out the same controls the names find.
    QCOMPARE(f.widgets.noselbutton[8], f.find<QPushButton>("noselbutton(8)"));
    QCOMPARE(f.widgets.noselect[2], f.find<QPushButton>("noselect(2)"));
    QCOMPARE(f.widgets.insert3, f.find<QPushButton>("insert3"));
}

void TestSnippetWidgets::lists_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("cover");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("Combo1") << 1 << 1 << twipsRect(8880, 1455, 300) << QStringLiteral("特殊标签")
                            << QStringList{"applet", "activex", "flash", "embed",
                                           QStringLiteral("绝对定位")};
    QTest::newRow("Combo2") << 2 << 2 << twipsRect(2040, 1335, 300) << QStringLiteral("实用脚本")
                            << QStringLiteral("电子邮件 现在时间 更新时间 自动最大化 加入收藏 "
                                              "设为首页 加厚外框 过滤效果 vbscript javascript")
                                   .split(u' ');
    QTest::newRow("Combo3") << 3 << 2 << twipsRect(4320, 1335, 300) << QStringLiteral("表单控件")
                            << QStringLiteral("普通按纽 小输入框 单选按纽 复选按纽 图形按纽 "
                                              "提交按纽 重添按纽 大文本框 下拉菜单 小浏览器")
                                   .split(u' ');
}

void TestSnippetWidgets::lists()
{
    QFETCH(int, number);
    QFETCH(int, bar);
    QFETCH(QRect, geometry);
    QFETCH(QString, cover);
    QFETCH(QStringList, items);
    Fixture f;
    auto *combo = f.find<QComboBox>(QStringLiteral("Combo%1").arg(number));
    QVERIFY(combo);
    QCOMPARE(combo->parentWidget(), f.bars[bar]);
    QCOMPARE(combo->geometry(), geometry);
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->currentText(), cover);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, items);
    // Every entry the list shows inserts something.
    for (const QString &item : items)
        QVERIFY2(!SnippetLists::fragmentOf(number - 1, item).isEmpty(), qPrintable(item));
    // A typed text is not added to the list.
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "typed");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    QCOMPARE(combo->count(), items.size());
    QCOMPARE(combo->currentText(), QStringLiteral("typed"));
}

void TestSnippetWidgets::text1()
{
    Fixture f;
    auto *text = f.find<QLineEdit>("Text1");
    QVERIFY(text);
    QCOMPARE(text->parentWidget(), f.bars[2]);
    QCOMPARE(text->text(), QStringLiteral("N"));
    QCOMPARE(text->geometry(), twipsRect(6600, 615, 300));
    text->setText(QStringLiteral("J"));
    QTest::mouseClick(f.widgets.insert4, Qt::LeftButton);
    QCOMPARE(f.richText->Text(),
             QStringLiteral("<font face=wingdings style=\"\" size=\"\">J</font>"));
}

void TestSnippetWidgets::clickWrapsSelection()
{
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.richText->setFocus();
    f.richText->setText(QStringLiteral("x abc y"));
    f.richText->setSelStart(2);
    f.richText->setSelLength(3);
    QTest::mouseClick(f.find<QPushButton>("selbutton(2)"), Qt::LeftButton);
    QCOMPARE(f.richText->Text(), QStringLiteral("x <b>abc</b> y"));
    QCOMPARE(f.richText->SelStart(), 12);
    // The click leaves the keyboard in the editing area.
    QVERIFY(f.richText->hasFocus());

    int opened = 0;
    f.tags->setOpenSettings([&opened] { ++opened; });
    QTest::mouseClick(f.widgets.noselect[2], Qt::LeftButton);
    QCOMPARE(opened, 1);
    f.clock.setNow(QDateTime(QDate(2007, 11, 29), QTime(9, 9, 15)));
    QTest::mouseClick(f.widgets.noselbutton[8], Qt::LeftButton);
    QCOMPARE(f.richText->Text(), QStringLiteral("x <b>abc</b>07年11月29日  09:09:15 y"));
}

void TestSnippetWidgets::clickInsertsFromList()
{
    Fixture f;
    f.richText->setText(QStringLiteral("xyz"));
    f.richText->setSelStart(0);
    f.richText->setSelLength(3);
    QTest::mouseClick(f.widgets.insert1, Qt::LeftButton);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.richText->Text(), QStringLiteral("xyz"));

    f.widgets.Combo1->setCurrentIndex(0);
    QTest::mouseClick(f.widgets.insert1, Qt::LeftButton);
    QCOMPARE(f.richText->Text(), QStringLiteral("<applet width=250 height=300 align=center "
                                                "code=\".class\" name=\"app\"></applet>"));
    f.widgets.Combo3->setCurrentIndex(2);
    QTest::mouseClick(f.widgets.insert3, Qt::LeftButton);
    QVERIFY(f.richText->Text().endsWith(
        QStringLiteral("<input type=radio name=\"a1\" onclick=\"\" style=\"\">")));
    QCOMPARE(f.prompts.messages.size(), 1);
}

void TestSnippetWidgets::typedListTextMatchesExactly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<bool>("inserted");
    QTest::newRow("start of an item") << "app" << false << false;
    QTest::newRow("start of an item, Enter") << "app" << true << false;
    QTest::newRow("other letter case, Enter") << "APPLET" << true << false;
    QTest::newRow("exact") << "applet" << false << true;
    QTest::newRow("exact, Enter") << "applet" << true << true;
}

void TestSnippetWidgets::typedListTextMatchesExactly()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(bool, inserted);
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QComboBox *combo = f.widgets.Combo1;
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, typed);
    if (enter)
        QTest::keyClick(combo, Qt::Key_Return);
    QTest::mouseClick(f.widgets.insert1, Qt::LeftButton);
    QCOMPARE(combo->currentText(), typed);
    QCOMPARE(f.richText->Text().startsWith(QStringLiteral("<applet")), inserted);
    QCOMPARE(f.richText->textLength() > 0, inserted);
}

void TestSnippetWidgets::mouseMoveWritesHint()
{
    Fixture f;
    const std::pair<QWidget *, QString> cases[] = {
        {f.widgets.selbutton[0], QStringLiteral("定义链接和锚   Alt + K")},
        {f.widgets.noselbutton[6], QStringLiteral("插入空格  Alt + Space")},
        {f.widgets.noselect[1], QStringLiteral("改变选中/全部代码为小写")},
        {f.widgets.insert2, QStringLiteral("插入实用脚本")},
        {f.widgets.insert4, QStringLiteral("插入字体面貌")},
    };
    for (const auto &[widget, hint] : cases) {
        f.status.setText(QString());
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
        QCOMPARE(f.status.Text(), hint);
    }
}

QTEST_MAIN(TestSnippetWidgets)
#include "tst_snippetwidgets.moc"
