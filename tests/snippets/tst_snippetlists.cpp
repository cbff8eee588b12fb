#include "editor/richtextbox.h"
#include "snippets/snippetlists.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QRegularExpression>
#include <QTest>

namespace {

const QString kBefore = QStringLiteral("<body>\r\n");

using Handler = void (SnippetLists::*)();
// The buttons insert1 to insert4: a click and a mouse move on each.
constexpr Handler kClicks[] = {&SnippetLists::insert1_Click, &SnippetLists::insert2_Click,
                               &SnippetLists::insert3_Click, &SnippetLists::insert4_Click};
constexpr Handler kMoves[] = {&SnippetLists::insert1_MouseMove, &SnippetLists::insert2_MouseMove,
                              &SnippetLists::insert3_MouseMove, &SnippetLists::insert4_MouseMove};
const QString kAfter = QStringLiteral("\r\n</body>");

struct Fixture {
    RichTextBox richText;
    StatusRecorder status;
    ScriptedPrompts prompts;
    SnippetLists lists{richText, status, prompts};
    QString comboText[3];
    QString text1 = QStringLiteral("N");

    Fixture()
    {
        for (int i = 0; i < 3; ++i)
            lists.setComboText(i + 1, [this, i] { return comboText[i]; });
        lists.setText1([this] { return text1; });
    }

    void setPage(const QString &middle)
    {
        richText.setText(kBefore + middle + kAfter);
        richText.setSelStart(kBefore.size());
        richText.setSelLength(middle.size());
    }

    void click(int list) { (lists.*kClicks[list])(); }
};

// The page as it reads back: a lone CR of a fragment is a line break, CR LF.
QString asStored(QString fragment)
{
    return fragment.replace(u'\r', QStringLiteral("\r\n"));
}

void verifyInserted(Fixture &f, const QString &fragment)
{
    const QString stored = asStored(fragment);
    QCOMPARE(f.richText.Text(), kBefore + stored + kAfter);
    QCOMPARE(f.richText.SelStart(), kBefore.size() + stored.size());
    QCOMPARE(f.richText.SelLength(), 0);
}

const QString kVbscript =
    QStringLiteral("<script language=vbs>\rSub one()\rdim a1 //声明了a1是个变量\r"
                   "a1=\"你好\" //为a1加值,请修改运用\r\rEnd Sub\r</script>");
const QString kJavascript = QStringLiteral(
    "<script>\rfunction you(){\rvar b1=\"大家好\" //声明一个变量b1,请修改运用\r\r}\r</script>");

} // namespace

class TestSnippetLists : public QObject {
    Q_OBJECT
private slots:
    void entries_data();
    void entries();
    void exampleAddresses_data();
    void exampleAddresses();
    void coverAsksForAChoice_data();
    void coverAsksForAChoice();
    void unknownTextDoesNothing_data();
    void unknownTextDoesNothing();
    void scriptLinesEndInLoneCr();
    void symbolButton_data();
    void symbolButton();
    void untouchedListsShowTheirCovers();
    void hints();
};

void TestSnippetLists::entries_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("fragment");
    auto row = [](int list, const QString &entry, const QString &fragment) {
        QTest::addRow("Combo%d %s", list + 1, qPrintable(entry)) << list << entry << fragment;
    };
    row(0, "applet",
        "<applet width=250 height=300 align=center code=\".class\" name=\"app\"></applet>");
    row(0, QStringLiteral("绝对定位"),
        QStringLiteral("<div style=\"position:absolute;top:30px;left:35px;width:300;height:200;"
                       "z-index:2;background-color:eeeeee;overflow:scroll;\" id=div1>"
                       "请修改他的元素属性</div>"));

    row(1, QStringLiteral("现在时间"), "<script language=vbscript>document.write now</script>");
    row(1, QStringLiteral("更新时间"), "<script>document.write(document.lastModified)</script>");
    row(1, QStringLiteral("自动最大化"),
        "<script>self.moveTo(0,0);self.resizeTo(screen.availWidth,screen.availHeight)</script>");
    row(1, QStringLiteral("加入收藏"),
        QStringLiteral("<a onclick=\"window.external.AddFavorite(location.href,document.title)\" "
                       "style=\"cursor:hand;color:blue\">加入收藏</a>"));
    row(1, QStringLiteral("设为首页"),
        QStringLiteral("<a style=\"color:blue;cursor:hand\" "
                       "onclick=this.style.behavior=\"url(#default#homepage)\";"
                       "this.setHomePage(\"http://你的网址\");>设为首页</a>"));
    row(1, QStringLiteral("加厚外框"),
        "<script>with(window.document.body.style){borderWidth=\"8\";borderStyle=\"solid\";"
        "borderColor=\"activeborder\"}</script>");
    row(1, QStringLiteral("过滤效果"),
        QStringLiteral("<!--请把[此段]代码加在你代码中head与head之间--><META "
                       "http-equiv=\"Page-Enter\" "
                       "CONTENT=\"RevealTrans(Duration=2,Transition=23)\">"));
    row(1, "vbscript", kVbscript);
    row(1, "javascript", kJavascript);

    row(2, QStringLiteral("普通按纽"),
        QStringLiteral("<input type=button value=\"按纽\" name=\"\" onclick=\"\" style=\"\">"));
    row(2, QStringLiteral("小输入框"),
        QStringLiteral("<input type=text value=\"请输入\" size=\"\" style=\"\" name=\"\">"));
    row(2, QStringLiteral("单选按纽"), "<input type=radio name=\"a1\" onclick=\"\" style=\"\">");
    row(2, QStringLiteral("复选按纽"), "<input type=checkbox name=\"\" onclick=\"\" style=\"\">");
    row(2, QStringLiteral("图形按纽"),
        QStringLiteral(
            "<input type=image src=\"http://图片地址\" onclick=\"\" name=\"\" style=\"\">"));
    row(2, QStringLiteral("提交按纽"),
        QStringLiteral("<input type=submit style=\"\" onclick=\"\" name=\"\" value=\"提交\">"));
    row(2, QStringLiteral("重添按纽"),
        QStringLiteral("<input type=\"reset\" onclick=\"\" name=\"\" value=\"重填\" style=\"\">"));
    row(2, QStringLiteral("大文本框"),
        QStringLiteral("<textarea cols=\"40\" rows=\"8\" name=\"\" onChange=\"\" style=\"\">"
                       "请填写数据</textarea>"));
    row(2, QStringLiteral("下拉菜单"),
        QStringLiteral("<select name=\"\" style=\"\"><option selected>目录索引"
                       "<option value=\"\">第一选项<option value=\"\">第二选项"
                       "<option value=\"\">第三选项<option value=\"\">其他更多</select>"));
    row(2, QStringLiteral("小浏览器"),
        "<input type=file name=\"\" onChange=\"\" style=\"width:150pt\">");
}

void TestSnippetLists::entries()
{
    QFETCH(int, list);
    QFETCH(QString, entry);
    QFETCH(QString, fragment);
    QCOMPARE(SnippetLists::fragmentOf(list, entry), fragment);
    for (const QString &selected : {QString(), QStringLiteral("xyz")}) {
        Fixture f;
        f.comboText[list] = entry;
        f.setPage(selected);
        f.click(list);
        verifyInserted(f, fragment);
        QVERIFY(f.prompts.messages.isEmpty());
    }
}

// The entries whose addresses are examples: the text around them is fixed.
void TestSnippetLists::exampleAddresses_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("addressPattern");
    QTest::newRow("activex") << 0 << "activex"
                             << "<object type=\"text/scriptlet\" data=\""
                             << "\" width=400 height=500 align=center id=cs1 classid=\"\"></object>"
                             << "^http://[^\" ]+$";
    QTest::newRow("flash") << 0 << "flash"
                           << "<iframe src=\""
                           << "\" width=350 height=230 align=center></iframe>"
                           << "^http://[^\" ]+\\.swf$";
    QTest::newRow("embed")
        << 0 << "embed"
        << "<embed src=\""
        << "\" type=\"audio/x-pn-realaudio-plugin\" console=\"Clip1\" "
           "controls=\"IMAGEWINDOW,ControlPanel,StatusBar\" height=200 width=200 "
           "autostart=true></embed>"
        << "^rtsp://[^\" ]+\\.rm$";
    QTest::newRow("e-mail") << 1 << QStringLiteral("电子邮件") << "<a href=\"mailto:"
                            << QStringLiteral(
                                   "\" title=\"请hhhhh替换成你的邮件地址OK?\">与我联系</a>")
                            << "^[^\" ]+$";
}

void TestSnippetLists::exampleAddresses()
{
    QFETCH(int, list);
    QFETCH(QString, entry);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, addressPattern);
    const QString fragment = SnippetLists::fragmentOf(list, entry);
    QVERIFY(fragment.startsWith(before));
    QVERIFY(fragment.endsWith(after));
    const QString address =
        fragment.mid(before.size(), fragment.size() - before.size() - after.size());
    QVERIFY2(QRegularExpression(addressPattern).match(address).hasMatch(), qPrintable(address));

    Fixture f;
    f.comboText[list] = entry;
    f.setPage(QStringLiteral("xyz"));
    f.click(list);
    verifyInserted(f, fragment);
}

void TestSnippetLists::coverAsksForAChoice_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("cover");
    QTest::newRow("Combo1") << 0 << QStringLiteral("特殊标签");
    QTest::newRow("Combo2") << 1 << QStringLiteral("实用脚本");
    QTest::newRow("Combo3") << 2 << QStringLiteral("表单控件");
}

void TestSnippetLists::coverAsksForAChoice()
{
    QFETCH(int, list);
    QFETCH(QString, cover);
    Fixture f;
    f.comboText[list] = cover;
    f.setPage(QStringLiteral("xyz"));
    f.click(list);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, "[" + cover + QStringLiteral("]是封面,你要选择它的内容"));
    QCOMPARE(f.prompts.messages[0].style, 64);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("温馨提示"));
    QCOMPARE(f.richText.Text(), kBefore + "xyz" + kAfter);
    QCOMPARE(f.richText.SelText(), QStringLiteral("xyz"));
}

void TestSnippetLists::unknownTextDoesNothing_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("text");
    QTest::newRow("case differs") << 0 << "APPLET";
    QTest::newRow("blank around") << 0 << " applet";
    QTest::newRow("empty") << 1 << "";
    QTest::newRow("entry of another list") << 2 << "vbscript";
    QTest::newRow("cover of another list") << 2 << QStringLiteral("特殊标签");
}

void TestSnippetLists::unknownTextDoesNothing()
{
    QFETCH(int, list);
    QFETCH(QString, text);
    Fixture f;
    f.comboText[list] = text;
    f.setPage(QStringLiteral("xyz"));
    f.click(list);
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.richText.Text(), kBefore + "xyz" + kAfter);
    QVERIFY(SnippetLists::fragmentOf(list, text).isNull());
}

void TestSnippetLists::scriptLinesEndInLoneCr()
{
    const QString vbscript = SnippetLists::fragmentOf(1, QStringLiteral("vbscript"));
    QCOMPARE(vbscript.count(u'\r'), 6);
    QCOMPARE(vbscript.count(u'\n'), 0);
    QVERIFY(!vbscript.endsWith(u'\r'));
    const QString javascript = SnippetLists::fragmentOf(1, QStringLiteral("javascript"));
    QCOMPARE(javascript.count(u'\r'), 5);
    QCOMPARE(javascript.count(u'\n'), 0);
    QVERIFY(!javascript.endsWith(u'\r'));
}

void TestSnippetLists::symbolButton_data()
{
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("inserted");
    QTest::newRow("N") << "N"
                       << ""
                       << "<font face=wingdings style=\"\" size=\"\">N</font>";
    QTest::newRow("empty, selection replaced")
        << ""
        << "xyz"
        << "<font face=wingdings style=\"\" size=\"\"></font>";
    QTest::newRow("several") << "JKL"
                             << ""
                             << "<font face=wingdings style=\"\" size=\"\">JKL</font>";
}

void TestSnippetLists::symbolButton()
{
    QFETCH(QString, text1);
    QFETCH(QString, selected);
    QFETCH(QString, inserted);
    Fixture f;
    f.text1 = text1;
    f.setPage(selected);
    f.click(3);
    verifyInserted(f, inserted);
}

void TestSnippetLists::untouchedListsShowTheirCovers()
{
    RichTextBox richText;
    StatusRecorder status;
    ScriptedPrompts prompts;
    SnippetLists lists(richText, status, prompts);
    for (const Handler click : kClicks)
        (lists.*click)();
    QCOMPARE(prompts.messages.size(), 3);
    QCOMPARE(prompts.messages[2].text, QStringLiteral("[表单控件]是封面,你要选择它的内容"));
    QCOMPARE(richText.Text(), QStringLiteral("<font face=wingdings style=\"\" size=\"\">N</font>"));
}

void TestSnippetLists::hints()
{
    Fixture f;
    const QStringList hints =
        QStringLiteral("插入特殊标签 插入实用脚本 插入表单控件 插入字体面貌").split(u' ');
    for (int i = 0; i < 4; ++i) {
        (f.lists.*kMoves[i])();
        QCOMPARE(f.status.Text(), hints[i]);
    }
}

QTEST_MAIN(TestSnippetLists)
#include "tst_snippetlists.moc"
