#include "document/documentsession.h"
#include "document/filecommands.h"
#include "editor/drophandler.h"
#include "editor/richtextbox.h"
#include "platform/statusline.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

const QString kProduct = QStringLiteral("ZelmoHTML编辑器");

struct Fixture {
    TestProgramFolder folder;
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    ScriptedPrompts prompts;
    FileCommands commands{richText, session, status, prompts};
    QList<QUrl> opened;
    DropHandler drops{richText, commands, status, prompts,
                      [this](const QUrl &url) { opened << url; }};

    Fixture()
    {
        richText.setText(QStringLiteral("old text"));
        session.CurrentFile = QStringLiteral("/previous.htm");
    }
};

} // namespace

class TestDropHandler : public QObject {
    Q_OBJECT
private slots:
    void filesOpenTheFirst();
    void unreadableDropsChangeNothing_data();
    void unreadableDropsChangeNothing();
    void textGoesInAtTheCaret_data();
    void textGoesInAtTheCaret();
    void pictureIsRefused();
    void moveAndLinkOfferIsRefused();
    void realDropOnTheWindow();
};

void TestDropHandler::filesOpenTheFirst()
{
    Fixture f;
    f.folder.writeFile("one.htm", "<p>one</p>\r\n");
    f.folder.writeFile("two.htm", "<p>two</p>\r\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f.folder.filePath("one.htm")),
                  QUrl::fromLocalFile(f.folder.filePath("two.htm"))});
    QVERIFY(f.drops.drop(&data, Qt::NoModifier));
    QCOMPARE(f.richText.Text(), QStringLiteral("<p>one</p>"));
    QCOMPARE(f.session.CurrentFile, f.folder.filePath("one.htm"));
    QCOMPARE(f.session.caption(), kProduct + "--" + f.folder.filePath("one.htm"));
    QCOMPARE(f.status.Text2(), QStringLiteral("打开成功 --") + f.folder.filePath("one.htm"));
}

void TestDropHandler::unreadableDropsChangeNothing_data()
{
    QTest::addColumn<QString>("dropped"); // what the dropped name holds
    QTest::addColumn<QString>("text2");   // the status line, "" when left alone
    QTest::newRow("folder") << "folder"
                            << "加载失败：";
    QTest::newRow("missing file") << "missing"
                                  << "加载失败：";
    QTest::newRow("page too large for memory") << "page"
                                               << "加载失败：网页太大：";
    QTest::newRow("very large page, not wanted") << "huge"
                                                 << "";
}

void TestDropHandler::unreadableDropsChangeNothing()
{
    QFETCH(QString, dropped);
    QFETCH(QString, text2);
    Fixture f;
    QString path = f.folder.filePath("no.htm");
    if (dropped == "folder")
        path = f.folder.path();
    if (dropped == "page") {
        f.folder.writeFile("no.htm", QByteArray(1000, 'x'));
        f.commands.setAvailableMemory([] { return qint64(10000); });
    }
    if (dropped == "huge") {
        // Sparse: it takes no room on disk, and is never read.
        QFile huge(path);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(101) << 20));
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    f.status.setText2(QStringLiteral("before"));
    QVERIFY(!f.drops.drop(&data, Qt::NoModifier));
    QCOMPARE(f.richText.Text(), QStringLiteral("old text"));
    QCOMPARE(f.session.CurrentFile, QStringLiteral("/previous.htm"));
    QCOMPARE(f.prompts.messages.size(), 1);
    if (text2.isEmpty()) {
        QCOMPARE(f.status.Text2(), QStringLiteral("before"));
        QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("101 MB")));
        return;
    }
    QVERIFY2(f.status.Text2().startsWith(text2), qPrintable(f.status.Text2()));
    QVERIFY(f.status.Text2().endsWith(QStringLiteral(" --") + path));
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("不是文件！"));
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("错误"));
    QCOMPARE(f.prompts.messages[0].style, 48);
}

void TestDropHandler::textGoesInAtTheCaret_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("searches");
    QTest::newRow("plain") << int(Qt::NoModifier) << false;
    QTest::newRow("alt") << int(Qt::AltModifier) << true;
    QTest::newRow("alt and shift") << int(Qt::AltModifier | Qt::ShiftModifier) << false;
}

void TestDropHandler::textGoesInAtTheCaret()
{
    QFETCH(int, modifiers);
    QFETCH(bool, searches);
    Fixture f;
    f.folder.writeFile("zelmohtml.ini", "[main]\r\nserch=http://search.test/s?wd=\r\n");
    f.richText.setSelStart(4);
    QMimeData data;
    data.setText(QStringLiteral("网页 & x"));
    QVERIFY(f.drops.drop(&data, Qt::KeyboardModifiers(modifiers)));
    QCOMPARE(f.richText.Text(), QStringLiteral("old 网页 & xtext"));
    if (searches) {
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(f.opened[0].toString(QUrl::FullyDecoded),
                 QStringLiteral("http://search.test/s?wd=网页 & x"));
    } else {
        QVERIFY(f.opened.isEmpty());
    }
}

void TestDropHandler::pictureIsRefused()
{
    Fixture f;
    QMimeData data;
    data.setImageData(QImage(4, 4, QImage::Format_RGB32));
    QVERIFY(!f.drops.drop(&data, Qt::NoModifier));
    QCOMPARE(f.status.Text2(), QStringLiteral("加载失败"));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.richText.Text(), QStringLiteral("old text"));
}

void TestDropHandler::moveAndLinkOfferIsRefused()
{
    Fixture f;
    QMimeData data;
    data.setText(QStringLiteral("x"));
    QDragMoveEvent refused(QPoint(1, 1), Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
    f.drops.RichText_OLEDragOver(&refused);
    QVERIFY(!refused.isAccepted());
    QDragMoveEvent copy(QPoint(1, 1), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
    f.drops.RichText_OLEDragOver(&copy);
    QVERIFY(copy.isAccepted());
}

void TestDropHandler::realDropOnTheWindow()
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
    window.richText()->setText(QStringLiteral("ab"));
    window.richText()->setSelStart(1);
    QMimeData data;
    data.setText(QStringLiteral("X"));
    // A drop goes to the widget that took the drag's entry.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window.richText()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(window.richText()->viewport(), &drop);
    QCOMPARE(window.richText()->Text(), QStringLiteral("aXb"));
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}

QTEST_MAIN(TestDropHandler)
#include "tst_drophandler.moc"
