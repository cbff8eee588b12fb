#include "document/preview.h"
#include "editor/richtextbox.h"
#include "platform/launcher.h"
#include "platform/places.h"
#include "support/programfolder.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

struct Fixture {
    TestProgramFolder folder;
    RichTextBox richText;
    StatusRecorder status;
    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    Preview preview{richText, status, prompts, launcher};
};

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void writesPageAndOpensIt_data();
    void writesPageAndOpensIt();
    void secondPreviewOverwritesFirst();
    void unwritablePreviewGivesMessage_data();
    void unwritablePreviewGivesMessage();
};

void TestPreview::writesPageAndOpensIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("canOpen"); // whether the desktop has a browser for it
    QTest::newRow("empty page") << "" << QByteArray("\r\n") << true;
    QTest::newRow("page with Chinese and line breaks")
        << QStringLiteral("<title>你好</title>\r\n<p>")
        << QByteArray("<title>\xc4\xe3\xba\xc3</title>\r\n<p>\r\n") << true;
    QTest::newRow("nothing opens it") << "<p>" << QByteArray("<p>\r\n") << false;
}

void TestPreview::writesPageAndOpensIt()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, canOpen);

    Fixture f;
    f.launcher.canOpen = canOpen;
    f.richText.setText(text);
    f.preview.shoot_Click();

    const QString path = f.folder.filePath(QStringLiteral("Preview.htm"));
    QCOMPARE(Preview::PreviewPath(), QDir::cleanPath(path));
    QCOMPARE(f.folder.readFile(QStringLiteral("Preview.htm")), bytes);
    QCOMPARE(f.launcher.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(f.prompts.messages.size(), canOpen ? 0 : 1);
    if (!canOpen)
        QVERIFY(f.prompts.messages[0].text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(f.richText.Text(), text);
}

void TestPreview::secondPreviewOverwritesFirst()
{
    Fixture f;
    f.richText.setText(QStringLiteral("a much longer first page"));
    f.preview.shoot_Click();
    f.richText.setText(QStringLiteral("b"));
    f.preview.shoot_Click();
    QCOMPARE(f.folder.readFile(QStringLiteral("Preview.htm")), QByteArray("b\r\n"));
    QCOMPARE(f.launcher.opened.size(), 2);
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Preview.htm")});
}

void TestPreview::unwritablePreviewGivesMessage_data()
{
    QTest::addColumn<bool>("folderUnderFile");
    QTest::newRow("program folder cannot hold files") << true;
    QTest::newRow("a folder in the preview file's place") << false;
}

void TestPreview::unwritablePreviewGivesMessage()
{
    QFETCH(bool, folderUnderFile);

    // Blocked by what stands in the way rather than by permissions, which
    // do not hold for every user.
    Fixture f;
    f.richText.setText(QStringLiteral("page"));
    if (folderUnderFile) {
        f.folder.writeFile(QStringLiteral("plain-file"), "x");
        Places::setProgramFolder(f.folder.filePath(QStringLiteral("plain-file")));
    } else {
        QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("Preview.htm")));
    }
    f.preview.shoot_Click();

    QVERIFY(f.launcher.opened.isEmpty());
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.first().text.contains(Preview::PreviewPath()));
    QCOMPARE(f.prompts.messages.first().style, int(Prompts::Exclamation));
    QCOMPARE(f.richText.Text(), QStringLiteral("page"));
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
