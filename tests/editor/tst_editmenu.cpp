#include "editor/editmenu.h"
#include "editor/richtextbox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>

class TestEditMenu : public QObject {
    Q_OBJECT
private slots:
    void captions();
    void enabling_data();
    void enabling();
    void cutAndPasteRoundTrip();
    void pasteDropsFormatting();
    void selectAll();
};

void TestEditMenu::captions()
{
    RichTextBox box;
    EditMenu menu(box, &box);
    QStringList captions;
    for (QAction *action : menu.txtpop()->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(captions, (QStringList{"剪  贴        <&T>", "复  制        <&C>",
                                    "粘  贴        <&P>", "-", "全  选        <&A>"}));
}

void TestEditMenu::enabling_data()
{
    QTest::addColumn<int>("selection");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("cutCopy");
    QTest::addColumn<bool>("paste");
    QTest::newRow("nothing") << 0 << "" << false << false;
    QTest::newRow("selection") << 2 << "" << true << false;
    QTest::newRow("clipboard") << 0 << "x" << false << true;
    QTest::newRow("both") << 1 << "x" << true << true;
}

void TestEditMenu::enabling()
{
    QFETCH(int, selection);
    QFETCH(QString, clipboard);
    QFETCH(bool, cutCopy);
    QFETCH(bool, paste);
    QGuiApplication::clipboard()->setText(clipboard);
    RichTextBox box;
    box.setText(QStringLiteral("abcd"));
    box.setSelStart(1);
    box.setSelLength(selection);
    EditMenu menu(box, &box);
    menu.updateEnabled();
    QCOMPARE(menu.mensetcut->isEnabled(), cutCopy);
    QCOMPARE(menu.mensetcopy->isEnabled(), cutCopy);
    QCOMPARE(menu.mensetzhantie->isEnabled(), paste);
    QVERIFY(menu.mensetsetall->isEnabled());
}

void TestEditMenu::cutAndPasteRoundTrip()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd"));
    box.setSelStart(1);
    box.setSelLength(4);
    EditMenu menu(box, &box);
    menu.mensetcut->trigger();
    QCOMPARE(box.Text(), QStringLiteral("ad"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("b\r\nc"));
    menu.mensetzhantie->trigger();
    QCOMPARE(box.Text(), QStringLiteral("ab\r\ncd"));
    QCOMPARE(box.SelStart(), 5);
}

void TestEditMenu::pasteDropsFormatting()
{
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b>bold</b>"));
    data->setText(QStringLiteral("bold"));
    QGuiApplication::clipboard()->setMimeData(data);
    RichTextBox box;
    EditMenu menu(box, &box);
    menu.mensetzhantie_Click();
    QCOMPARE(box.Text(), QStringLiteral("bold"));
}

void TestEditMenu::selectAll()
{
    RichTextBox box;
    box.setText(QStringLiteral("x\r\ny"));
    EditMenu menu(box, &box);
    menu.mensetsetall->trigger();
    QCOMPARE(box.SelStart(), 0);
    QCOMPARE(box.SelText(), QStringLiteral("x\r\ny"));
}

QTEST_MAIN(TestEditMenu)
#include "tst_editmenu.moc"
