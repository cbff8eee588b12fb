#include "editor/linenumbers.h"
#include "editor/richtextbox.h"
#include "platform/settingsfile.h"
#include "schemes/barmenu.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace {

const QString kPage = QStringLiteral("<div>\n<p>a</p>\n</div>");

struct Window {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;

    Window()
    {
        folder.writeFile("tags.dat", "<b></b>\r\n");
        restart();
    }
    ~Window() { area().setModified(false); }

    // A new window on the same settings.
    void restart()
    {
        if (window)
            area().setModified(false);
        window.reset();
        window = std::make_unique<FRAmain>(prompts);
        window->Form_Load({});
        area().setText(kPage);
        area().setModified(false);
    }

    RichTextBox &area() const { return *window->richText(); }
    QAction *item(const char *name) const
    {
        return window->barMenu().poop()->findChild<QAction *>(QLatin1String(name));
    }
    void caretAt(qsizetype position)
    {
        area().setSelStart(position);
        QCoreApplication::processEvents();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&area(), key, modifiers);
        QCoreApplication::processEvents();
    }
    // The marked names, as text.
    QStringList marks() const
    {
        QStringList names;
        for (const RichTextBox::Underlay &mark : area().underlays())
            names << mark.range.selectedText();
        return names;
    }
};

} // namespace

class TestTagPairsWindow : public QObject {
    Q_OBJECT
private slots:
    void highlightFollowsTheCaret();
    void jumpAndSelect();
    void switches_data();
    void switches();
};

void TestTagPairsWindow::highlightFollowsTheCaret()
{
    Window w;
    w.caretAt(2); // <d|iv>
    QCOMPARE(w.marks(), QStringList({"div", "div"}));
    QCOMPARE(w.area().underlays().at(1).range.selectionStart(), kPage.lastIndexOf("div"));
    w.caretAt(QString(kPage).replace("\n", "\r\n").indexOf("a")); // in text
    QVERIFY(w.marks().isEmpty());
    w.area().setText("<div><br></div>");
    w.caretAt(7); // <b|r>: no partner, marked alone
    QCOMPARE(w.marks(), QStringList({"br"}));
}

void TestTagPairsWindow::jumpAndSelect()
{
    Window w;
    w.caretAt(2);
    w.key(Qt::Key_J, Qt::ControlModifier);
    const qsizetype end = kPage.lastIndexOf("div") + 2; // CR LF in the model
    QCOMPARE(w.area().SelStart(), end);
    w.key(Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(w.area().SelStart(), 1);

    w.caretAt(QString(kPage).replace("\n", "\r\n").indexOf("a"));
    w.key(Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.area().SelText(), QStringLiteral("<p>a</p>"));
    w.key(Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.area().SelText(), QString(kPage).replace("\n", "\r\n"));
    QCOMPARE(w.area().Text(), QString(kPage).replace("\n", "\r\n"));
}

void TestTagPairsWindow::switches_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("initially");

    QTest::newRow("rename") << QByteArray("menSyncTagRename") << "SyncTagRename" << true;
    QTest::newRow("auto-close") << QByteArray("menAutoCloseTags") << "AutoCloseTags" << false;
    QTest::newRow("line numbers") << QByteArray("menLineNumbers") << "LineNumbers" << false;
}

void TestTagPairsWindow::switches()
{
    QFETCH(QByteArray, item);
    QFETCH(QString, key);
    QFETCH(bool, initially);
    Window w;
    QAction *action = w.item(item.constData());
    QVERIFY(action);
    QVERIFY(action->isCheckable());
    QCOMPARE(action->isChecked(), initially);
    action->trigger();
    QCOMPARE(ReadSetting("WorkTable", key, "?"), initially ? "False" : "True");

    // What the switch now does.
    w.area().setText("<ul></ul>");
    w.caretAt(2); // <u|l>
    QTest::keyClicks(&w.area(), "o");
    QCoreApplication::processEvents();
    w.area().moveCursor(QTextCursor::End);
    QTest::keyClicks(&w.area(), "<b>");
    QCoreApplication::processEvents();
    const QString renamed = item == "menSyncTagRename" ? "<uol></ul>" : "<uol></uol>";
    QCOMPARE(w.area().Text(), renamed + (item == "menAutoCloseTags" ? "<b></b>" : "<b>"));
    auto *numbers = w.area().findChild<LineNumbers *>();
    QVERIFY(numbers);
    QCOMPARE(numbers->isVisible(), item == "menLineNumbers");

    // Stored, the switch is as it was left in the next window.
    w.restart();
    QCOMPARE(w.item(item.constData())->isChecked(), !initially);
}

QTEST_MAIN(TestTagPairsWindow)
#include "tst_tagpairswindow.moc"
