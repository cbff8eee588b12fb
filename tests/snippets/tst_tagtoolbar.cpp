#include "editor/richtextbox.h"
#include "platform/clock.h"
#include "snippets/lettercase.h"
#include "snippets/tagtoolbar.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

namespace {

// The page around the insertion point: a line break before it counts two.
const QString kBefore = QStringLiteral("<p>\r\n");
const QString kAfter = QStringLiteral("</p>");
const QString kSelected = QStringLiteral("abc");

template <typename PromptsType = ScriptedPrompts> struct BasicFixture {
    RichTextBox richText;
    StatusRecorder status;
    PromptsType prompts;
    FixedClock clock;
    TagToolbar tags{richText, status, prompts, clock};

    BasicFixture()
    {
        tags.setConvert([this](bool upper) { LetterCase::convert(richText, upper); });
    }

    // kBefore + middle + kAfter with middle selected (or the caret after kBefore).
    void setPage(const QString &middle)
    {
        richText.setText(kBefore + middle + kAfter);
        richText.setSelStart(kBefore.size());
        richText.setSelLength(middle.size());
    }
};
using Fixture = BasicFixture<>;

// A prompts object whose input box fails.
class FailingPrompts : public ScriptedPrompts {
public:
    std::optional<QString> inputBox(const InputRequest &) override
    {
        throw std::runtime_error("no input box");
    }
};

using HintHandler = void (TagToolbar::*)(int);
// The mouse moves of selbutton, noselbutton and noselect.
constexpr HintHandler kHints[] = {&TagToolbar::selbutton_MouseMove,
                                  &TagToolbar::noselbutton_MouseMove,
                                  &TagToolbar::noselect_MouseMove};

void addInsertColumns()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("inserted");
}

void verifyInserted(Fixture &f, const QString &inserted)
{
    QCOMPARE(f.richText.Text(), kBefore + inserted + kAfter);
    QCOMPARE(f.richText.SelStart(), kBefore.size() + inserted.size());
    QCOMPARE(f.richText.SelLength(), 0);
}

} // namespace

class TestTagToolbar : public QObject {
    Q_OBJECT
private slots:
    void selbutton_data();
    void selbutton();
    void noselbutton_data();
    void noselbutton();
    void imageButton_data();
    void imageButton();
    void imageBoxFailureChangesNothing();
    void timeButton_data();
    void timeButton();
    void caseOfSelection_data();
    void caseOfSelection();
    void caseOfWholePage_data();
    void caseOfWholePage();
    void settingsButton();
    void indexesOutOfRangeDoNothing();
    void hints_data();
    void hints();
};

void TestTagToolbar::selbutton_data()
{
    addInsertColumns();
    const QString abc = kSelected;
    struct Row {
        const char *name;
        QString open, close, sample;
    };
    const Row rows[] = {
        {"0 link", QStringLiteral("<a href =\"http://\" title=单击进入 style=\"\" target=_blank>"),
         QStringLiteral("</a>"),
         QStringLiteral(
             "<a href =\"http://\" title=单击进入 style=\"\" target=_blank>一个链接</a>")},
        {"1 font", QStringLiteral("<font color=\"\" size=\"\" style=\"\">"),
         QStringLiteral("</font>"),
         QStringLiteral("<font color=\"\" size=\"\" style=\"\">字体文字</font>")},
        {"2 bold", "<b>", "</b>", QStringLiteral("<b>粗体文字</b>")},
        {"3 italic", "<i>", "</i>", QStringLiteral("<i>斜体文字</i>")},
        {"4 underline", "<u>", "</u>", QStringLiteral("<u>下划线文字</u>")},
        {"5 strike", "<s>", "</s>", QStringLiteral("<s>删除线文本</s>")},
        {"6 small", "<small>", "</small>", QStringLiteral("<small>弱小文本</small>")},
        {"7 big", "<big>", "</big>", QStringLiteral("<big>强壮文本</big>")},
        {"8 pre", "<pre>", "</pre>", QStringLiteral("<pre>有格式文本</pre>")},
        {"9 center", "<center>", "</center>", QStringLiteral("<center>居中文本</center>")},
    };
    int index = 0;
    for (const Row &row : rows) {
        QTest::addRow("%s, selection", row.name) << index << true << row.open + abc + row.close;
        QTest::addRow("%s, caret", row.name) << index << false << row.sample;
        ++index;
    }
    QTest::newRow("10 delete, selection") << 10 << true << "";
    QTest::newRow("10 delete, caret") << 10 << false << "";
}

void TestTagToolbar::selbutton()
{
    QFETCH(int, index);
    QFETCH(bool, selected);
    QFETCH(QString, inserted);
    Fixture f;
    f.setPage(selected ? kSelected : QString());
    QSignalSpy changes(&f.richText, &RichTextBox::Change);
    f.tags.selbutton_Click(index);
    verifyInserted(f, inserted);
    QVERIFY(f.prompts.messages.isEmpty());
    // Every button changes the page except delete without a selection.
    QCOMPARE(changes.isEmpty(), index == 10 && !selected);
}

void TestTagToolbar::noselbutton_data()
{
    addInsertColumns();
    const QString table = QStringLiteral(
        "<table cellspacing=0 cellpadding=0 width=300 height=200 border=5 style=\"\" align=\"\" "
        "bordercolor=\"\">\r\n<Tr>\r\n<Th>表头区</Th>\r\n<Td>内容填写区</td>\r\n</tr>\r\n</table>");
    const QString marquee = QStringLiteral(
        "<marquee direction=left onmouseover=\"this.stop()\" onmouseout=\"this.start()\" "
        "trueSpeed scrollAmount=1 scrollDelay=50 height=12 behavior=\"alternate\">数据填写区"
        "</marquee>");
    const std::pair<int, QString> rows[] = {
        {0, "<Br>"},  {1, "<P>"},    {2, QStringLiteral("<Hr style=\"\" color=\"\">")}, {4, table},
        {5, marquee}, {6, "&nbsp;"}, {7, QStringLiteral("<!-- 这是注释 -->")},
    };
    for (const auto &[index, fragment] : rows) {
        QTest::addRow("%d, selection replaced", index) << index << true << fragment;
        QTest::addRow("%d, caret", index) << index << false << fragment;
    }
}

void TestTagToolbar::noselbutton()
{
    QFETCH(int, index);
    QFETCH(bool, selected);
    QFETCH(QString, inserted);
    Fixture f;
    f.setPage(selected ? kSelected : QString());
    f.tags.noselbutton_Click(index);
    verifyInserted(f, inserted);
    if (index == 4) {
        // Six lines, the last without a line break after it.
        QCOMPARE(inserted.split(QStringLiteral("\r\n")).size(), 6);
        QVERIFY(inserted.endsWith(QStringLiteral("\n</table>")));
    }
}

void TestTagToolbar::imageButton_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("inserted");
    const QString empty = QStringLiteral("<img src=\"\" style=\"\" alt=\"一个图象\" border=\"0\">");
    const QString answered =
        QStringLiteral("<img src=\"pics/a b.gif\" style=\"\" alt=\"一个图象\" border=\"0\">");
    QTest::newRow("cancelled") << false << std::optional<QString>() << empty;
    QTest::newRow("cancelled, selection replaced") << true << std::optional<QString>() << empty;
    QTest::newRow("empty answer") << false << std::optional<QString>(QString()) << empty;
    QTest::newRow("answered, selection replaced")
        << true << std::optional<QString>(QStringLiteral("pics/a b.gif")) << answered;
}

void TestTagToolbar::imageButton()
{
    QFETCH(bool, selected);
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, inserted);
    Fixture f;
    f.setPage(selected ? kSelected : QString());
    f.prompts.inputAnswers << answer;
    f.tags.noselbutton_Click(3);

    QCOMPARE(f.prompts.inputRequests.size(), 1);
    const Prompts::InputRequest &request = f.prompts.inputRequests[0];
    QCOMPARE(request.prompt, QStringLiteral("\r\r\r\r请输入图片地址:"));
    QCOMPARE(request.title, QStringLiteral("插入图片"));
    QVERIFY(request.defaultText.startsWith(QStringLiteral("http://")));
    verifyInserted(f, inserted);
}

void TestTagToolbar::imageBoxFailureChangesNothing()
{
    BasicFixture<FailingPrompts> f;
    f.richText.setText(QStringLiteral("keep me"));
    f.richText.setSelStart(2);
    f.richText.setSelLength(3);
    f.tags.noselbutton_Click(3);
    QCOMPARE(f.richText.Text(), QStringLiteral("keep me"));
    QCOMPARE(f.richText.SelText(), QStringLiteral("ep "));
}

void TestTagToolbar::timeButton_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("example") << QDateTime(QDate(2007, 11, 29), QTime(9, 9, 15))
                             << QStringLiteral("07年11月29日  09:09:15");
    QTest::newRow("midnight, year 2000")
        << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)) << QStringLiteral("00年01月01日  00:00:00");
    QTest::newRow("last second of a year") << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))
                                           << QStringLiteral("24年12月31日  23:59:59");
}

void TestTagToolbar::timeButton()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, stamp);
    for (const bool selected : {false, true}) {
        Fixture f;
        f.clock.setNow(now);
        f.setPage(selected ? kSelected : QString());
        f.tags.noselbutton_Click(8);
        verifyInserted(f, stamp);
    }
}

void TestTagToolbar::caseOfSelection_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("converted");
    QTest::newRow("upper") << 0 << "href=x"
                           << "HREF=X";
    QTest::newRow("lower") << 1 << "HREF=X"
                           << "href=x";
    QTest::newRow("upper, Chinese and digits unchanged")
        << 0 << QStringLiteral("中文a1") << QStringLiteral("中文A1");
    QTest::newRow("upper, longer upper form") << 0 << QStringLiteral("straße") << "STRASSE";
    QTest::newRow("upper across a line break") << 0 << "a\r\nb"
                                               << "A\r\nB";
}

void TestTagToolbar::caseOfSelection()
{
    QFETCH(int, index);
    QFETCH(QString, selected);
    QFETCH(QString, converted);
    Fixture f;
    f.setPage(selected);
    f.tags.noselect_Click(index);
    verifyInserted(f, converted);
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestTagToolbar::caseOfWholePage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    const int yes = Prompts::AnswerYes;
    const int no = Prompts::AnswerNo;
    const QString link = QStringLiteral("<a href=x>Hi</a>");
    QTest::newRow("upper, Yes") << 0 << yes << link << QStringLiteral("<A HREF=X>HI</A>");
    QTest::newRow("upper, No") << 0 << no << link << link;
    QTest::newRow("upper, Ok is not Yes") << 0 << int(Prompts::AnswerOk) << link << link;
    QTest::newRow("lower, Yes, lines kept") << 1 << yes << QStringLiteral("<P>中文ABC</P>\r\nX\r\n")
                                            << QStringLiteral("<p>中文abc</p>\r\nx\r\n");
    QTest::newRow("lower, No") << 1 << no << QStringLiteral("<P>") << QStringLiteral("<P>");
    QTest::newRow("lower, Yes, nothing to change")
        << 1 << yes << QStringLiteral("<p>x</p>") << QStringLiteral("<p>x</p>");
    QTest::newRow("upper, longer upper form")
        << 0 << yes << QStringLiteral("ß<b>ß") << QStringLiteral("SS<B>SS");
    QTest::newRow("upper, long line in pieces, surrogates")
        << 0 << yes << QString(600, u'a') + QStringLiteral("\r\n\U00010428x")
        << QString(600, u'A') + QStringLiteral("\r\n\U00010400X");
}

void TestTagToolbar::caseOfWholePage()
{
    QFETCH(int, index);
    QFETCH(int, answer);
    QFETCH(QString, page);
    QFETCH(QString, expected);
    Fixture f;
    f.richText.setText(page);
    f.richText.setSelStart(2);
    f.prompts.messageAnswers << answer;
    f.tags.noselect_Click(index);
    // A converted page counts as changed: closing it asks before it goes.
    QCOMPARE(f.richText.isModified(), expected != page);

    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].style, 52);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("慎重考虑"));
    QCOMPARE(f.prompts.messages[0].text,
             index == 0
                 ? QStringLiteral("如果里面有[脚本]则会出错，用前建议保存,确认全部改成大写代码？")
                 : QStringLiteral("如果里面有[脚本]则会出错，用前建议保存,确认全部改成小写代码？"));
    QCOMPARE(f.richText.Text(), expected);
    // The caret stays where it was.
    QCOMPARE(f.richText.SelStart(), 2);
    // One undo step brings the page back.
    f.richText.document()->undo();
    QCOMPARE(f.richText.Text(), page);
}

void TestTagToolbar::settingsButton()
{
    Fixture f;
    f.setPage(kSelected);
    f.tags.noselect_Click(2); // no dialog yet: nothing happens
    int opened = 0;
    f.tags.setOpenSettings([&opened] { ++opened; });
    f.tags.noselect_Click(2);
    QCOMPARE(opened, 1);
    QCOMPARE(f.richText.Text(), kBefore + kSelected + kAfter);
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestTagToolbar::indexesOutOfRangeDoNothing()
{
    Fixture f;
    f.setPage(kSelected);
    f.status.setText(QStringLiteral("before"));
    for (const int index : {-1, 11, 100})
        f.tags.selbutton_Click(index);
    for (const int index : {-1, 9})
        f.tags.noselbutton_Click(index);
    for (const int index : {-1, 3})
        f.tags.noselect_Click(index);
    for (const auto &[hint, index] : {std::pair{kHints[0], 11}, {kHints[1], 9}, {kHints[2], -1}})
        (f.tags.*hint)(index);
    QCOMPARE(f.richText.Text(), kBefore + kSelected + kAfter);
    QCOMPARE(f.richText.SelText(), kSelected);
    QCOMPARE(f.status.Text(), QStringLiteral("before"));
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.prompts.inputRequests.isEmpty());
}

void TestTagToolbar::hints_data()
{
    QTest::addColumn<int>("array");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("hint");
    const QStringList selHints = {
        QStringLiteral("定义链接和锚   Alt + K"),
        QStringLiteral("修改字体  Alt + F"),
        QStringLiteral("设置黑体文本"),
        QStringLiteral("设置斜体文本"),
        QStringLiteral("设置下划线文本"),
        QStringLiteral("设置删除线（Strikethrough）文本"),
        QStringLiteral("设置缩小"),
        QStringLiteral("设置加大"),
        QStringLiteral("显示有格式的文本"),
        QStringLiteral("居中设置  Alt + U"),
        QStringLiteral("删除一段指定的文本"),
    };
    const QStringList noselHints = {
        QStringLiteral("强迫分行  Shift + Enter"),
        QStringLiteral("定义一个段落  Ctrl + Enter"),
        QStringLiteral("插入分隔Web页面的水平标尺  Alt + H"),
        QStringLiteral("在Web页面内插入已经存在的图象  Alt + M"),
        QStringLiteral("创建一个表格  Alt + T"),
        QStringLiteral("跑马灯效果"),
        QStringLiteral("插入空格  Alt + Space"),
        QStringLiteral("插入不会被浏览器显示的提示和注释  Alt + Z"),
        QStringLiteral("插入当前时间  F5"),
    };
    const QStringList selectHints = {
        QStringLiteral("改变选中/全部代码为大写"),
        QStringLiteral("改变选中/全部代码为小写"),
        QStringLiteral("帮助：把你要编辑的网页拖编辑区，就可以开始编辑了。。  F2"),
    };
    const QStringList *arrays[] = {&selHints, &noselHints, &selectHints};
    const char *names[] = {"selbutton", "noselbutton", "noselect"};
    for (int array = 0; array < 3; ++array) {
        for (int index = 0; index < arrays[array]->size(); ++index)
            QTest::addRow("%s(%d)", names[array], index)
                << array << index << arrays[array]->at(index);
    }
}

void TestTagToolbar::hints()
{
    QFETCH(int, array);
    QFETCH(int, index);
    QFETCH(QString, hint);
    Fixture f;
    (f.tags.*kHints[array])(index);
    QCOMPARE(f.status.Text(), hint);
    QCOMPARE(f.status.Text2(), QString());
}

QTEST_MAIN(TestTagToolbar)
#include "tst_tagtoolbar.moc"
