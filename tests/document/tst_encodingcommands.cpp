#include "controls/stabar.h"
#include "document/documentsession.h"
#include "document/encodingmenus.h"
#include "document/filecommands.h"
#include "editor/richtextbox.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <memory>

namespace {

// The main window started on one page in its own program folder.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<FRAmain> window;
    QString path = folder.filePath(QStringLiteral("page.htm"));

    FRAmain &start(const QByteArray &page)
    {
        folder.writeFile(QStringLiteral("page.htm"), page);
        window = std::make_unique<FRAmain>(prompts);
        window->Form_Load({path});
        return *window;
    }

    void choose(QMenu *menu, const QString &item)
    {
        QAction *action = menu->findChild<QAction *>(item);
        QVERIFY2(action, qPrintable(item));
        action->trigger();
    }
    void reopenAs(const QString &encoding)
    {
        choose(window->encodingMenus().reopenMenu(), encoding);
    }
    void saveAs(const QString &encoding) { choose(window->encodingMenus().saveMenu(), encoding); }
    QString text() const { return window->richText()->Text(); }
};

const QByteArray kBig5Page = QByteArray::fromHex("3c703ea4a4a4e50d0a"); // <p>中文 in Big5

} // namespace

class TestEncodingCommands : public QObject {
    Q_OBJECT
private slots:
    void reopenWithEncoding();
    void reopenAsksWhenChanged_data();
    void reopenAsksWhenChanged();
    void saveWithEncodingOffersDeclarationUpdate_data();
    void saveWithEncodingOffersDeclarationUpdate();
    void byteTotalCountsInThePagesEncoding();
};

void TestEncodingCommands::reopenWithEncoding()
{
    Fixture f;
    FRAmain &w = f.start(kBig5Page);
    QCOMPARE(w.session().format().encoding, QStringLiteral("GBK"));
    QCOMPARE(w.StaBar1()->Text3(), QStringLiteral("GBK CRLF"));

    f.reopenAs(QStringLiteral("Big5"));
    QCOMPARE(f.text(), QStringLiteral("<p>中文"));
    QCOMPARE(w.StaBar1()->Text3(), QStringLiteral("Big5 CRLF"));
    QCOMPARE(w.session().caption(), QStringLiteral("ZelmoHTML编辑器--") + f.path);
    QVERIFY(f.prompts.messages.isEmpty());

    // Saved unchanged in the encoding it was reopened in, the page keeps its bytes.
    QVERIFY(w.fileCommands().Save());
    QCOMPARE(f.folder.readFile(QStringLiteral("page.htm")), kBig5Page);
}

void TestEncodingCommands::reopenAsksWhenChanged_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("reopened");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes saves first") << int(Prompts::AnswerYes) << true << true;
    QTest::newRow("no") << int(Prompts::AnswerNo) << true << false;
    QTest::newRow("cancel") << int(Prompts::AnswerCancel) << false << false;
}

void TestEncodingCommands::reopenAsksWhenChanged()
{
    QFETCH(int, answer);
    QFETCH(bool, reopened);
    QFETCH(bool, saved);
    Fixture f;
    f.start(kBig5Page);
    f.window->richText()->setSelText(QStringLiteral("typed"));
    f.prompts.messageAnswers = {answer};
    f.reopenAs(QStringLiteral("Big5"));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.window->StaBar1()->Text3() == QStringLiteral("Big5 CRLF"), reopened);
    QCOMPARE(f.text().startsWith(QStringLiteral("typed")), !reopened || saved);
    QCOMPARE(f.folder.readFile(QStringLiteral("page.htm")).startsWith("typed"), saved);
}

void TestEncodingCommands::saveWithEncodingOffersDeclarationUpdate_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QByteArray>("page"); // "" for a <meta> declaring gb2312

    const QByteArray chinese = "\xe4\xb8\xad";
    QTest::newRow("xml and meta declarations updated")
        << "UTF-8" << int(Prompts::AnswerYes)
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<meta charset=utf-8>" + chinese + "\r\n"
        << "UTF-8 CRLF"
        << QByteArray("<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<meta charset=gb2312>\xd6\xd0"
                      "\r\n");
    QTest::newRow("xml declaration alone")
        << "UTF-8" << int(Prompts::AnswerYes)
        << "<?xml version='1.0' encoding = 'utf-8' ?><p>" + chinese + "\r\n"
        << "UTF-8 CRLF" << QByteArray("<?xml version='1.0' encoding = 'GB2312' ?><p>\xd6\xd0\r\n");
    QTest::newRow("utf-8, declaration updated")
        << "UTF-8" << int(Prompts::AnswerYes) << "<meta charset=utf-8>" + chinese + "\r\n"
        << "UTF-8 CRLF" << QByteArray();
    QTest::newRow("utf-8, declaration kept")
        << "UTF-8" << int(Prompts::AnswerNo) << "<meta charset=gb2312>" + chinese + "\r\n"
        << "UTF-8 CRLF" << QByteArray();
    QTest::newRow("utf-8 with bom") << "UTF-8+BOM" << int(Prompts::AnswerYes)
                                    << "\xef\xbb\xbf<meta charset=utf-8>" + chinese + "\r\n"
                                    << "UTF-8 BOM CRLF" << QByteArray();
    QTest::newRow("utf-16le: the mark decides, no question")
        << "UTF-16LE" << -1
        << QByteArray("\xff\xfe<\0m\0e\0t\0a\0 \0c\0h\0a\0r\0s\0e\0t\0=\0g\0b\0002\0003\0001\0002\0"
                      ">\0\x2d\x4e\r\0\n\0",
                      50)
        << "UTF-16LE BOM CRLF" << QByteArray();
}

void TestEncodingCommands::saveWithEncodingOffersDeclarationUpdate()
{
    QFETCH(QString, item);
    QFETCH(int, answer);
    QFETCH(QByteArray, saved);
    QFETCH(QString, status);
    QFETCH(QByteArray, page);
    Fixture f;
    FRAmain &w = f.start(page.isEmpty() ? QByteArray("<meta charset=gb2312>\xd6\xd0\r\n") : page);
    const QString before = f.text();
    w.richText()->setSelStart(2);
    if (answer >= 0)
        f.prompts.messageAnswers = {answer};
    f.saveAs(item);
    QCOMPARE(f.prompts.messages.size(), answer >= 0 ? 1 : 0);
    QCOMPARE(f.folder.readFile(QStringLiteral("page.htm")).toHex(), saved.toHex());
    QCOMPARE(w.StaBar1()->Text3(), status);
    QCOMPARE(w.richText()->SelStart(), 2);

    // The declaration's change is one step of its own.
    if (answer == Prompts::AnswerYes) {
        w.richText()->undo();
        QCOMPARE(f.text(), before);
    }
}

void TestEncodingCommands::byteTotalCountsInThePagesEncoding()
{
    Fixture f;
    FRAmain &w = f.start("\xe4\xb8\xad\na\n"); // 中, a: UTF-8 with LF
    QCOMPARE(w.richText()->ansiByteCount(), 5);
    f.saveAs(QStringLiteral("UTF-16BE"));
    QCOMPARE(w.richText()->ansiByteCount(), 6);
    f.saveAs(QStringLiteral("GBK"));
    QCOMPARE(w.richText()->ansiByteCount(), 4);
}

QTEST_MAIN(TestEncodingCommands)
#include "tst_encodingcommands.moc"
