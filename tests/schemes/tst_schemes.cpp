#include "editor/richtextbox.h"
#include "editor/syntaxcolouring.h"
#include "platform/settingsfile.h"
#include "platform/twips.h"
#include "schemes/barmenu.h"
#include "schemes/editorlook.h"
#include "schemes/schemes.h"
#include "schemes/toolbarchains.h"
#include "shell/framain.h"
#include "shell/mainbands.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <memory>

namespace {

// A program folder of its own, with ini as its settings file unless null,
// and the main window started in it.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;

    explicit Fixture(const QByteArray &ini = {})
    {
        if (!ini.isNull())
            folder.writeFile("zelmohtml.ini", ini);
    }

    // A fresh window (the one before it gone) after Form_Load.
    FRAmain &start()
    {
        window.reset();
        window = std::make_unique<FRAmain>(prompts);
        window->Form_Load({});
        return *window;
    }

    QWidget *control(const char *name) const
    {
        return window->findChild<QWidget *>(QLatin1String(name));
    }

    QList<int> leftEdges(std::span<const ChainPlace> chain) const
    {
        QList<int> edges;
        for (const ChainPlace &place : chain)
            edges << int(Twips::fromPixels(control(place.control)->x()));
        return edges;
    }

    QList<int> visibleFlags(std::span<const ChainPlace> chain) const
    {
        QList<int> flags;
        for (const ChainPlace &place : chain)
            flags << !control(place.control)->isHidden();
        return flags;
    }
};

const QList<int> kAllFirst = {120, 840, 1560, 2280, 3000, 3720, 4440, 5160, 5880, 6600, 7680};
const QList<int> kAllSecond = {120,  1080, 1440, 1800, 2160, 2520, 2880, 3240, 3600, 3960,
                               4320, 4680, 5040, 5520, 5880, 6240, 6720, 7320, 8160, 8880};

} // namespace

class TestSchemes : public QObject {
    Q_OBJECT
private slots:
    void packing_data();
    void packing();
    void customCaption_data();
    void customCaption();
    void lookFromSettings_data();
    void lookFromSettings();
    void customWithoutSettingsShowsAll();
    void defaultAfterCustomKeepsFlags();
    void storedSchemeAtStart_data();
    void storedSchemeAtStart();
    void stripTogglesRerunTheScheme();
    void barMenuItems();
    void syntaxColorSwitch_data();
    void syntaxColorSwitch();
};

void TestSchemes::packing_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QList<int>>("first");
    QTest::addColumn<QList<int>>("second");
    QTest::newRow("everything shown") << QByteArray() << kAllFirst << kAllSecond;
    QTest::newRow("func(0) hidden")
        << QByteArray("[bar1button]\r\nButton0=False\r\n")
        << QList<int>{120, 120, 840, 1560, 2280, 3000, 3720, 4440, 5160, 5880, 6960} << kAllSecond;
    QList<int> withoutSpecial = kAllSecond;
    withoutSpecial[19] = 8160; // Combo1 follows the hidden insert1
    QTest::newRow("Button18 off") << QByteArray("[bar2button]\r\nbutton18=0\r\n") << kAllFirst
                                  << withoutSpecial;
    QByteArray allOff = "[bar1button]\r\n";
    for (int i = 0; i < 11; ++i)
        allOff += "Button" + QByteArray::number(i) + "=False\r\n";
    allOff += "[bar2button]\r\n";
    for (int i = 0; i < 19; ++i)
        allOff += "Button" + QByteArray::number(i) + "=false\r\n";
    QTest::newRow("every button hidden") << allOff << QList<int>(11, 120) << QList<int>(20, 120);
}

void TestSchemes::packing()
{
    QFETCH(QByteArray, ini);
    QFETCH(QList<int>, first);
    QFETCH(QList<int>, second);
    Fixture f(ini);
    f.start().schemes().menfdiy_Click();
    QCOMPARE(f.leftEdges(ToolbarChains::first()), first);
    QCOMPARE(f.leftEdges(ToolbarChains::second()), second);
    // The default scheme shows everything in the designed places again.
    f.window->schemes().menfdafealt_Click();
    QCOMPARE(f.leftEdges(ToolbarChains::first()), kAllFirst);
    QCOMPARE(f.leftEdges(ToolbarChains::second()), kAllSecond);
}

void TestSchemes::customCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("six") << "我的方案名字"
                         << "我的方案       F4";
    QTest::newRow("three") << "abc"
                           << "abc       F4";
    QTest::newRow("empty") << ""
                           << "       F4";
}

void TestSchemes::customCaption()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Fixture f;
    WriteSetting(QStringLiteral("Scheme"), QStringLiteral("name"), name);
    QCOMPARE(f.start().barMenu().menfdiy->text(), caption);
}

void TestSchemes::lookFromSettings_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<double>("size");
    QTest::addColumn<quint32>("color");
    QTest::newRow("no settings file") << QByteArray() << 9.0 << quint32(11315101);
    QTest::newRow("stored") << QByteArray("[WorkTable]\r\nfontsize=12\r\nTableColor=255\r\n")
                            << 12.0 << quint32(255);
    QTest::newRow("size not a number")
        << QByteArray("[WorkTable]\r\nfontsize=abc\r\n") << 9.0 << quint32(11315101);
    QTest::newRow("size zero") << QByteArray("[WorkTable]\r\nfontsize=0\r\n") << 9.0
                               << quint32(11315101);
    QTest::newRow("size negative")
        << QByteArray("[WorkTable]\r\nfontsize=-5\r\n") << 9.0 << quint32(11315101);
    QTest::newRow("colour not a number")
        << QByteArray("[WorkTable]\r\nTableColor=red\r\n") << 9.0 << quint32(11315101);
}

void TestSchemes::lookFromSettings()
{
    QFETCH(QByteArray, ini);
    QFETCH(double, size);
    QFETCH(quint32, color);
    Fixture f(ini + "[WorkTable]\r\nfontname=NoSuchFontAnywhere\r\n");
    const EditorLook look = EditorLook::fromSettings();
    QCOMPARE(look.fontSize, size);
    QCOMPARE(look.backColor, color);
    QCOMPARE(look.fontName, QStringLiteral("宋体"));

    FRAmain &window = f.start();
    QCOMPARE(window.richText()->font().pointSizeF(), size);
    const QColor base = window.richText()->palette().color(QPalette::Base);
    QCOMPARE(quint32(base.red() | base.green() << 8 | base.blue() << 16), color);
}

void TestSchemes::customWithoutSettingsShowsAll()
{
    Fixture f;
    FRAmain &window = f.start();
    QTest::keyClick(window.richText(), Qt::Key_F4);
    QVERIFY(window.barMenu().menfdiy->isChecked());
    QVERIFY(!window.barMenu().menfdafealt->isChecked());
    QCOMPARE(f.visibleFlags(ToolbarChains::second()), QList<int>(20, 1));
    QCOMPARE(f.folder.readFile("zelmohtml.ini"), QByteArray("[Scheme]\r\nfaceing=1\r\n"));
}

void TestSchemes::defaultAfterCustomKeepsFlags()
{
    const QByteArray flags = "[bar1button]\r\nButton3=False\r\n";
    Fixture f(flags);
    FRAmain &window = f.start();
    QTest::keyClick(window.richText(), Qt::Key_F4);
    QVERIFY(f.control("noselect(0)")->isHidden());
    QTest::keyClick(window.richText(), Qt::Key_F3);
    QVERIFY(!f.control("noselect(0)")->isHidden());
    QVERIFY(f.folder.readFile("zelmohtml.ini").startsWith(flags));
    QVERIFY(window.barMenu().menfdafealt->isChecked());
}

void TestSchemes::storedSchemeAtStart_data()
{
    QTest::addColumn<QByteArray>("faceing");
    QTest::addColumn<bool>("custom");
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("2") << QByteArray("2") << true;
    QTest::newRow("not a number") << QByteArray("x") << false;
    QTest::newRow("True") << QByteArray("True") << true;
    QTest::newRow("false") << QByteArray("false") << false;
    QTest::newRow("fraction") << QByteArray("1.5") << true;
}

void TestSchemes::storedSchemeAtStart()
{
    QFETCH(QByteArray, faceing);
    QFETCH(bool, custom);
    Fixture f("[scheme]\r\nfaceing=" + faceing + "\r\n[bar2button]\r\nButton1=False\r\n");
    QCOMPARE(f.start().barMenu().menfdiy->isChecked(), custom);
    QCOMPARE(f.control("selbutton(0)")->isHidden(), custom);

    // A restart keeps the scheme the first run ended with.
    f.window->close();
    QCOMPARE(f.start().barMenu().menfdiy->isChecked(), custom);
}

void TestSchemes::stripTogglesRerunTheScheme()
{
    Fixture f("[Scheme]\r\nfaceing=1\r\n[bar2button]\r\nButton1=False\r\n");
    FRAmain &window = f.start();
    BarMenu &menu = window.barMenu();
    QWidget *link = f.control("selbutton(0)");

    // Showing a button by hand is undone when the shortcut bar comes back.
    menu.menshortcut->trigger();
    QVERIFY(!menu.menshortcut->isChecked());
    QVERIFY(!window.bands().isStripVisible(1));
    link->show();
    menu.menshortcut->trigger();
    QVERIFY(menu.menshortcut->isChecked());
    QVERIFY(window.bands().isStripVisible(1));
    QVERIFY(link->isHidden());

    // The special bar only hides and shows.
    const int before = window.richText()->height();
    menu.menespecial->trigger();
    QCOMPARE(window.richText()->height(), before + Twips::toPixels(315));
    QVERIFY(menu.menfdiy->isChecked());
}

void TestSchemes::barMenuItems()
{
    Fixture f;
    BarMenu &menu = f.start().barMenu();
    QStringList captions;
    for (QAction *action : menu.poop()->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(captions, (QStringList{"  方    案",
                                    "-",
                                    "  功 能 栏",
                                    "  快 捷 栏",
                                    "  特 殊 栏",
                                    "语法着色",
                                    "同步修改配对标签",
                                    "自动闭合标签",
                                    "行号",
                                    "-",
                                    "  标签名小写",
                                    "  标签名大写",
                                    "-",
                                    "锁定<快捷编辑拦>",
                                    "-",
                                    "  用编码重新打开",
                                    "  用编码保存",
                                    "  站点查找替换",
                                    "检查错误",
                                    "错误列表",
                                    "检查页面要求",
                                    "-",
                                    "  设    置"}));
    QVERIFY(!menu.menueee->isEnabled());
    QVERIFY(menu.menueee->isChecked());
    menu.menueee->trigger();
    QVERIFY(menu.menueee->isChecked());
}

void TestSchemes::syntaxColorSwitch_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("on");
    QTest::newRow("no settings file") << QByteArray() << true;
    QTest::newRow("stored off") << QByteArray("[WorkTable]\r\nSyntaxColor=False\r\n") << false;
    QTest::newRow("stored as a number") << QByteArray("[worktable]\r\nsyntaxcolor=0\r\n") << false;
    QTest::newRow("stored on") << QByteArray("[WorkTable]\r\nSyntaxColor=True\r\n") << true;
}

// The switch starts as stored, and the menu item turns the colouring over
// and stores it; the tag-name items convert the page.
void TestSchemes::syntaxColorSwitch()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, on);
    Fixture f(ini);
    FRAmain &window = f.start();
    BarMenu &menu = window.barMenu();
    const auto colouring = [&window] {
        return window.richText()->findChild<SyntaxColouring *>()->isOn();
    };
    QCOMPARE(menu.menSyntaxColor->isChecked(), on);
    QCOMPARE(colouring(), on);

    menu.menSyntaxColor->trigger();
    QCOMPARE(menu.menSyntaxColor->isChecked(), !on);
    QCOMPARE(colouring(), !on);
    QCOMPARE(ReadSetting("WorkTable", "SyntaxColor", "?"), on ? "False" : "True");

    window.richText()->setText(QStringLiteral("<P Class=X>Y</P>"));
    menu.menTagLower->trigger();
    QCOMPARE(window.richText()->Text(), QStringLiteral("<p class=X>Y</p>"));
    menu.menTagUpper->trigger();
    QCOMPARE(window.richText()->Text(), QStringLiteral("<P CLASS=X>Y</P>"));
}

QTEST_MAIN(TestSchemes)
#include "tst_schemes.moc"
