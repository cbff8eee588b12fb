#include "checker/checkerview.h"
#include "checker/checkrun.h"
#include "checker/errorlist.h"
#include "controls/clicklabel.h"
#include "editor/richtextbox.h"
#include "schemes/barmenu.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace {

// The main window started in a program folder of its own on a page.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;

    FRAmain &start(const QByteArray &page)
    {
        folder.writeFile("tags.dat", "<b></b>\r\n");
        folder.writeFile("page.htm", page);
        window = std::make_unique<FRAmain>(prompts);
        window->Form_Load({folder.filePath("page.htm")});
        return *window;
    }
};

bool waitForRun(CheckerView &checker)
{
    return QTest::qWaitFor([&] { return !checker.run().isRunning(); }, 5000);
}

// Whether the view shows a pixel of the underline colour (reddish) in the
// first line.
bool showsRedUnderline(RichTextBox &area)
{
    const QImage image = area.viewport()->grab().toImage();
    const int lineHeight = area.fontMetrics().height() + 4;
    for (int y = 0; y < qMin(image.height(), lineHeight); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                return true;
        }
    }
    return false;
}

} // namespace

class TestCheckerView : public QObject {
    Q_OBJECT
private slots:
    void underlineListAndOneUndoStep();
    void marksFollowEdits();
    void switchedOffCostsNothing();
};

void TestCheckerView::underlineListAndOneUndoStep()
{
    Fixture fixture;
    FRAmain &window =
        fixture.start("<a href=\xa1\xb0x.htm\xa1\xb1>x</a>\r\n<p class\xa3\xbd\"n\">y</p>\r\n");
    CheckerView &checker = window.checker();
    QVERIFY(checker.isOn());
    QVERIFY(window.barMenu().poop()->actions().contains(checker.menCheckErrors()));
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(waitForRun(checker));
    // Two slips; no DOCTYPE, <title>, lang or charset declaration.
    QCOMPARE(checker.counts()->text(), QStringLiteral("2 错误 4 警告"));
    QVERIFY(checker.counts()->isVisible());
    QTRY_VERIFY(showsRedUnderline(*window.richText()));

    // The counts show the list, which takes its place below the editing area.
    QVERIFY(checker.errorList()->isHidden());
    QTest::mouseClick(checker.counts(), Qt::LeftButton);
    QVERIFY(checker.errorList()->isVisible());
    QVERIFY(checker.errorList()->geometry().top() >= window.richText()->geometry().bottom());
    QTreeWidget *table = checker.errorList()->table();
    QCOMPARE(table->topLevelItemCount(), 6);

    // Enter on a row moves the caret there; Shift+F8 goes back to the one before.
    const auto lineTwo = table->findItems("2", Qt::MatchExactly, 0);
    QCOMPARE(lineTwo.size(), 1);
    table->setFocus();
    table->setCurrentItem(lineTwo.first());
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(window.richText()->textCursor().blockNumber(), 1);
    QTest::keyClick(window.richText(), Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(window.richText()->textCursor().blockNumber(), 0);

    // Ctrl+. on the slip fixes it; undo takes the fix back whole.
    window.richText()->setFocus();
    QTextCursor caret = window.richText()->textCursor();
    caret.setPosition(8);
    window.richText()->setTextCursor(caret);
    const QString before = window.richText()->toPlainText();
    QTest::keyClick(window.richText(), Qt::Key_Period, Qt::ControlModifier);
    QVERIFY(window.richText()->toPlainText().startsWith("<a href=\"x.htm\">"));
    window.richText()->undo();
    QCOMPARE(window.richText()->toPlainText(), before);
    // The slip is underlined again once the check has run after the undo.
    QVERIFY(QTest::qWaitFor([&] { return checker.counts()->text() == "2 错误 4 警告"; }, 5000));

    // "全部修正" fixes both slips as one step; the check then finds no error.
    QTest::mouseClick(checker.errorList()->findChild<QWidget *>("ErrorListFixAll"), Qt::LeftButton);
    QCOMPARE(window.richText()->toPlainText(), "<a href=\"x.htm\">x</a>\n<p class=\"n\">y</p>");
    QVERIFY(QTest::qWaitFor([&] { return checker.counts()->text() == "0 错误 4 警告"; }, 5000));
    window.richText()->undo();
    QCOMPARE(window.richText()->toPlainText(), before);
}

void TestCheckerView::marksFollowEdits()
{
    Fixture fixture;
    FRAmain &window = fixture.start("<p>x</b></p>\r\n");
    CheckerView &checker = window.checker();
    QVERIFY(waitForRun(checker));
    const auto stray = [&] {
        for (const CheckerView::Mark &mark : checker.marks()) {
            if (mark.problem.code == QLatin1StringView("stray-end-tag") && !mark.gone)
                return mark.from;
        }
        return -1;
    };
    QCOMPARE(stray(), 4);
    QTextCursor caret = window.richText()->textCursor();
    caret.setPosition(0);
    window.richText()->setTextCursor(caret);
    QTest::keyClicks(window.richText(), "ab");
    QCOMPARE(stray(), 6); // moved with the text at once, before the check runs again
    QVERIFY(waitForRun(checker));
    QCOMPARE(stray(), 6);
}

void TestCheckerView::switchedOffCostsNothing()
{
    Fixture fixture;
    FRAmain &window = fixture.start("<b>x\r\n");
    CheckerView &checker = window.checker();
    checker.menCheckErrors()->trigger();
    QVERIFY(!checker.isOn());
    QVERIFY(!checker.run().isRunning());
    QVERIFY(checker.marks().empty());
    QVERIFY(!checker.counts()->isVisible());
    QTest::keyClicks(window.richText(), "<i>");
    QVERIFY(!checker.run().isRunning());

    // The switch is kept: a new window starts with the checker off.
    FRAmain &again = fixture.start("<b>x\r\n");
    QVERIFY(!again.checker().isOn());
}

QTEST_MAIN(TestCheckerView)
#include "tst_checkerview.moc"
