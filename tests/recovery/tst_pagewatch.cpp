#include "document/documentsession.h"
#include "document/pagefile.h"
#include "editor/richtextbox.h"
#include "recovery/pagewatch.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>

namespace {

const QString kOnDisk = QStringLiteral("line1\r\nline2\r\nline3");

struct Fixture {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("page.htm"));
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    ScriptedPrompts prompts;
    PageWatch watch{richText, session, status, prompts};
    int savesOver = 0;

    Fixture()
    {
        PageFile::write(path, kOnDisk);
        richText.setPageText(PageFile::read(path).page);
        richText.setModified(false);
        session.CurrentFile = path;
        watch.notePage(path);
        watch.setSaveOver([this] {
            ++savesOver;
            return true;
        });
    }

    // Another program's doing.
    void change(const QString &how)
    {
        if (how == QLatin1String("append")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("\r\nline4");
        } else if (how == QLatin1String("rename over")) {
            const QString other = folder.filePath(QStringLiteral("other.tmp"));
            writeBytes(other, "theirs\r\n");
            QVERIFY(QFile::rename(other, path) ||
                    (QFile::remove(path) && QFile::rename(other, path)));
        } else if (how == QLatin1String("remove")) {
            QVERIFY(QFile::remove(path));
        } else if (how == QLatin1String("mode only")) {
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        } else if (how == QLatin1String("same bytes again")) {
            QFile::remove(path);
            PageFile::write(path, kOnDisk);
        }
    }
};

} // namespace

class TestPageWatch : public QObject {
    Q_OBJECT
private slots:
    void focusCheck_data();
    void focusCheck();
    void saveAfterChangeAsks_data();
    void saveAfterChangeAsks();
    void watchFollowsRename();
    void reloadKeepsEachLinesBreak_data();
    void reloadKeepsEachLinesBreak();
};

void TestPageWatch::focusCheck_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");   // the button chosen, -1 when not asked
    QTest::addColumn<QString>("text"); // "disk" or "mine" afterwards
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("savesOver");
    QTest::addColumn<bool>("saveMayWrite"); // a save right afterwards writes unasked

    QTest::newRow("append, no edits: read again") << "append" << false << -1 << "disk"
                                                  << "重新载入" << 0 << true;
    QTest::newRow("rename over, no edits: read again") << "rename over" << false << -1 << "disk"
                                                       << "重新载入" << 0 << true;
    QTest::newRow("append, edits, 重新载入") << "append" << true << int(PageWatch::Reload) << "disk"
                                             << "重新载入" << 0 << true;
    QTest::newRow("rename over, edits, 覆盖")
        << "rename over" << true << int(PageWatch::Overwrite) << "mine"
        << "" << 1 << true;
    QTest::newRow("append, edits, 取消: the save asks again")
        << "append" << true << int(PageWatch::Cancel) << "mine"
        << "" << 0 << false;
    QTest::newRow("removed: said, the save writes it again") << "remove" << true << -1 << "mine"
                                                             << "删除或改名" << 0 << true;
    QTest::newRow("mode only: nothing") << "mode only" << false << -1 << "mine"
                                        << "" << 0 << true;
    QTest::newRow("same bytes again: nothing") << "same bytes again" << true << -1 << "mine"
                                               << "" << 0 << true;
}

void TestPageWatch::focusCheck()
{
    QFETCH(QString, change);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(QString, text);
    QFETCH(QString, status);
    QFETCH(int, savesOver);
    QFETCH(bool, saveMayWrite);

    Fixture f;
    if (modified) {
        f.richText.setSelStart(kOnDisk.size());
        f.richText.setSelText(QStringLiteral(" mine"));
    }
    const QString mine = f.richText.Text();
    // The caret on the second line stays there.
    f.richText.setSelStart(9);
    f.change(change);
    if (answer >= 0)
        f.prompts.choiceAnswers.append({answer, -1});
    f.watch.check();

    QCOMPARE(f.prompts.choiceRequests.size(), answer >= 0 ? 1 : 0);
    if (answer >= 0) {
        QCOMPARE(f.prompts.choiceRequests.first().buttons,
                 (QStringList{"重新载入", "覆盖", "取消"}));
        QVERIFY(f.prompts.choiceRequests.first().text.startsWith("文件已被其他程序修改"));
    }
    const QString expected =
        text == QLatin1String("disk") ? LineBreaks::joined(PageFile::read(f.path).page) : mine;
    QCOMPARE(f.richText.Text(), expected);
    if (status.isEmpty())
        QVERIFY2(f.status.Text2().isEmpty(), qPrintable(f.status.Text2()));
    else
        QVERIFY2(f.status.Text2().contains(status), qPrintable(f.status.Text2()));
    QCOMPARE(f.savesOver, savesOver);
    if (text == QLatin1String("disk") && expected != mine) {
        QVERIFY(!f.richText.isModified());
        QCOMPARE(f.richText.GetCurrentLine(), qMin(2, f.richText.GetLineCount()));
        // Ctrl+Z brings back the text as it was.
        f.richText.undo();
        QCOMPARE(f.richText.Text(), mine);
    }
    // A second focus change asks nothing more.
    f.watch.check();
    QCOMPARE(f.prompts.choiceRequests.size(), answer >= 0 ? 1 : 0);
    QCOMPARE(f.watch.mayWrite(f.path), saveMayWrite);
}

void TestPageWatch::saveAfterChangeAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("mayWrite");
    QTest::addColumn<bool>("readAgain");
    QTest::newRow("覆盖 writes") << int(PageWatch::Overwrite) << true << false;
    QTest::newRow("重新载入 reads and does not write") << int(PageWatch::Reload) << false << true;
    QTest::newRow("取消 does not write") << int(PageWatch::Cancel) << false << false;
    QTest::newRow("closed does not write") << -1 << false << false;
}

void TestPageWatch::saveAfterChangeAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, mayWrite);
    QFETCH(bool, readAgain);
    Fixture f;
    f.richText.setSelText(QStringLiteral("mine "));
    f.change(QStringLiteral("append"));
    f.prompts.choiceAnswers.append({answer, -1});
    QCOMPARE(f.watch.mayWrite(f.path), mayWrite);
    QCOMPARE(f.prompts.choiceRequests.size(), 1);
    QCOMPARE(f.richText.Text() == LineBreaks::joined(PageFile::read(f.path).page), readAgain);
    // Another name was asked about by the save dialog.
    QVERIFY(f.watch.mayWrite(f.folder.filePath(QStringLiteral("new.htm"))));
}

void TestPageWatch::watchFollowsRename()
{
    Fixture f;
    f.watch.setIsActive([] { return true; });
    f.change(QStringLiteral("rename over"));
    QTRY_COMPARE_WITH_TIMEOUT(f.richText.Text(), QStringLiteral("theirs"), 5000);
    // The file that replaced the page is watched in its turn.
    f.change(QStringLiteral("append"));
    QTRY_COMPARE_WITH_TIMEOUT(f.richText.Text(), QStringLiteral("theirs\r\n\r\nline4"), 5000);
    // With edits of its own, the window asks nothing while the user may be
    // typing; the next focus change does.
    f.richText.setSelText(QStringLiteral("mine"));
    f.change(QStringLiteral("append"));
    QTest::qWait(500);
    QVERIFY(f.prompts.choiceRequests.isEmpty());
    f.watch.check();
    QCOMPARE(f.prompts.choiceRequests.size(), 1);
}

void TestPageWatch::reloadKeepsEachLinesBreak_data()
{
    QTest::addColumn<QByteArray>("theirs");
    QTest::newRow("CR LF page, LF lines") << QByteArray("a\r\nb\nc\r\nd\ne\r\n");
    QTest::newRow("LF page, one CR LF line") << QByteArray("a\nb\r\nc\nd\n");
    QTest::newRow("CR and CR CR LF") << QByteArray("a\rb\r\r\nc\r\n");
    QTest::newRow("long line among them")
        << (QByteArray("x\n") + QByteArray(3000, 'y') + QByteArray("\r\nz\n"));
}

void TestPageWatch::reloadKeepsEachLinesBreak()
{
    QFETCH(QByteArray, theirs);
    Fixture f;
    const QString mine = f.richText.Text();
    writeBytes(f.path + QStringLiteral(".new"), theirs);
    QVERIFY(::rename(QFile::encodeName(f.path + QStringLiteral(".new")).constData(),
                     QFile::encodeName(f.path).constData()) == 0);
    f.watch.check();

    // Saved now, the page gives back the other program's bytes.
    const PageFile::ReadResult disk = PageFile::read(f.path);
    QCOMPARE(f.richText.pageText(), LineBreaks::joined(disk.page));
    QVERIFY(!f.richText.isModified());
    f.richText.undo();
    QCOMPARE(f.richText.Text(), mine);
}

QTEST_MAIN(TestPageWatch)
#include "tst_pagewatch.moc"
