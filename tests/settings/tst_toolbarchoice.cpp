#include "controls/zmbutton.h"
#include "platform/settingsfile.h"
#include "platform/twips.h"
#include "settings/setfav.h"
#include "settings/toolbarchoice.h"
#include "settings/toolbarpage.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QListWidget>
#include <QTest>

class TestToolbarChoice : public QObject {
    Q_OBJECT
private slots:
    void listNames();
    void noSettingsTicksEverything();
    void storedFlagsTick_data();
    void storedFlagsTick();
    void ticksWrittenAsStored();
    void listsSwitch();
    void schemeName_data();
    void schemeName();
    void nameBoxPlacedOnDialog();
};

void TestToolbarChoice::listNames()
{
    QCOMPARE(ToolbarChoice::firstNames(),
             QStringLiteral("新建 保存 偷窃 大写 小写 压缩 时间 查找 删除 Huevane Ascii键值")
                 .split(u' '));
    QCOMPARE(ToolbarChoice::secondNames(),
             QStringLiteral("运行HTML 链接 字体 粗体 斜体 下划线 删除线 弱 强 预格式 置中 注释 "
                            "换行 段落 横线 图象 表格 跑马灯 特殊标签")
                 .split(u' '));
}

void TestToolbarChoice::noSettingsTicksEverything()
{
    TestProgramFolder program;
    ToolbarPage page;
    page.Fill();
    QCOMPARE(page.List1()->count(), 11);
    QCOMPARE(page.List2()->count(), 19);
    QCOMPARE(page.firstTicks(), QList<bool>(11, true));
    QCOMPARE(page.secondTicks(), QList<bool>(19, true));
    QCOMPARE(page.List2()->item(18)->text(), QStringLiteral("特殊标签"));
}

void TestToolbarChoice::storedFlagsTick_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("True") << "True" << true;
    QTest::newRow("false in lower case") << "false" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("number") << "2" << true;
    QTest::newRow("neither") << "maybe" << true;
}

void TestToolbarChoice::storedFlagsTick()
{
    QFETCH(QString, value);
    QFETCH(bool, ticked);
    TestProgramFolder program;
    WriteSetting(QStringLiteral("bar2button"), QStringLiteral("Button7"), value);
    const QList<bool> ticks = ToolbarChoice::readSecondTicks();
    QCOMPARE(ticks.size(), 19);
    QCOMPARE(ticks[7], ticked);
    QCOMPARE(ticks[6], true);
}

void TestToolbarChoice::ticksWrittenAsStored()
{
    TestProgramFolder program;
    ToolbarPage page;
    page.Fill();
    page.List1()->item(0)->setCheckState(Qt::Unchecked);
    page.List2()->item(18)->setCheckState(Qt::Unchecked);
    page.Store();
    QCOMPARE(ReadSetting("bar1button", "Button0", ""), QStringLiteral("False"));
    QCOMPARE(ReadSetting("bar1button", "Button10", ""), QStringLiteral("True"));
    QCOMPARE(ReadSetting("bar2button", "Button18", ""), QStringLiteral("False"));
    QCOMPARE(ReadSetting("bar2button", "Button0", ""), QStringLiteral("True"));

    ToolbarPage again;
    again.Fill();
    QCOMPARE(again.List1()->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(again.List2()->item(18)->checkState(), Qt::Unchecked);
    QCOMPARE(again.List2()->item(17)->checkState(), Qt::Checked);
}

void TestToolbarChoice::listsSwitch()
{
    TestProgramFolder program;
    ToolbarPage page;
    page.Fill();
    page.show();
    QVERIFY(page.List1()->isVisible());
    QVERIFY(!page.List2()->isVisible());
    QTest::mouseClick(page.zmBUTTon7(), Qt::LeftButton);
    QVERIFY(page.List2()->isVisible());
    QVERIFY(!page.List1()->isVisible());
    QTest::mouseClick(page.zmBUTTon6(), Qt::LeftButton);
    QVERIFY(page.List1()->isVisible());
    QCOMPARE(page.setbufaceing()->Text(), QStringLiteral("+方案"));
    QCOMPARE(page.setbufaceing()->toolTip(), QStringLiteral("读入方案"));
}

void TestToolbarChoice::schemeName_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("status");
    const QString saved = QStringLiteral("方案保存成功");
    const QString notSaved = QStringLiteral("方案未保存");
    QTest::newRow("six letters") << true << "abcdef" << QStringLiteral("abcd") << saved;
    QTest::newRow("two letters") << true << "ab" << QStringLiteral("ab") << saved;
    QTest::newRow("chinese") << true << "我的网页方案" << QStringLiteral("我的网页") << saved;
    QTest::newRow("pair kept whole")
        << true << QStringLiteral("abc") + QString::fromUcs4(U"\U0001F600") << "abc" << saved;
    QTest::newRow("empty") << true << "" << QStringLiteral("<none>") << notSaved;
    QTest::newRow("cancelled") << false << "" << QStringLiteral("<none>") << notSaved;
}

void TestToolbarChoice::schemeName()
{
    QFETCH(bool, answered);
    QFETCH(QString, answer);
    QFETCH(QString, storedName);
    QFETCH(QString, status);
    TestProgramFolder program;
    ScriptedPrompts prompts;
    StatusRecorder line;
    if (answered)
        prompts.inputAnswers.append(answer);
    ToolbarChoice::NameCustomScheme(prompts, line, QPoint(10, 20));

    QCOMPARE(prompts.inputRequests.size(), 1);
    const Prompts::InputRequest &request = prompts.inputRequests[0];
    QCOMPARE(request.title, QStringLiteral("方案名称"));
    QCOMPARE(request.prompt, QStringLiteral("\r\r\r\r给自定义方案一个名字："));
    QCOMPARE(request.defaultText, QStringLiteral("自定义"));
    QCOMPARE(request.position, std::optional<QPoint>(QPoint(10, 20)));
    QCOMPARE(ReadSetting("Scheme", "name", "<none>"), storedName);
    QCOMPARE(line.Text2(), status);
}

void TestToolbarChoice::nameBoxPlacedOnDialog()
{
    TestProgramFolder program;
    WriteSetting(QStringLiteral("Scheme"), QStringLiteral("name"), QStringLiteral("旧名"));
    ScriptedPrompts prompts;
    StatusRecorder line;
    SetFav dialog(prompts, line, SetFavHooks{});
    dialog.move(300, 200);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.showTab(3);
    QTest::mouseClick(dialog.toolbarPage()->setbufaceing(), Qt::LeftButton);

    QCOMPARE(prompts.inputRequests.size(), 1);
    QCOMPARE(prompts.inputRequests[0].defaultText, QStringLiteral("旧名"));
    const QRect frame = dialog.frameGeometry();
    QCOMPARE(prompts.inputRequests[0].position,
             std::optional<QPoint>(QPoint(frame.left() + Twips::toPixels(100),
                                          frame.top() + frame.height() - dialog.height())));
    // The name is not stored on cancel, and the dialog goes on.
    QCOMPARE(ReadSetting("Scheme", "name", ""), QStringLiteral("旧名"));
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestToolbarChoice)
#include "tst_toolbarchoice.moc"
