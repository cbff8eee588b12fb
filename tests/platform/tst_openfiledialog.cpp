#include "platform/folderlisting.h"
#include "platform/openfiledialog.h"
#include "platform/pathbytes.h"
#include "platform/prompts.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using FolderListing::Target;

// One folder holds every kind of name the open dialog meets; names are given
// as their bytes.
class TestOpenFileDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void listsFolder_data();
    void listsFolder();
    void resolvesTypedName_data();
    void resolvesTypedName();
    void dialogGivesBytes_data();
    void dialogGivesBytes();

private:
    QString pathOf(const QByteArray &name) const
    {
        return PathBytes::fromBytes(m_bytes + '/' + name);
    }

    QTemporaryDir m_dir;
    QByteArray m_bytes;
    QList<QByteArray> m_made; // files, then folders: what Qt could not remove
};

namespace {

const QByteArray kGbkTest = "\xb2\xe2\xca\xd4.htm";    // "测试.htm" in GBK
const QByteArray kGbkChinese = "\xd6\xd0\xce\xc4.htm"; // "中文.htm" in GBK
const QByteArray kAlikeEscaped = "\\xff\xff.htm";      // shown "\xff\xff.htm"
const QByteArray kAlikeBytes = "\xff\xff.htm";         // shown the same
const QByteArray kGbkFolder = "\xd6\xd0"
                              "dir";       // "中dir"
const QByteArray kGbkNew = "\xd0\xc2.htm"; // "新.htm" in GBK, no such file

// A row of dialogGivesBytes: the dialog's mode, the folder it starts in (below
// the test folder), the name it suggests and the answer to "replace it?".
QTestData &dialogRow(const char *name, bool save = false, const QByteArray &start = {},
                     const QByteArray &suggested = {}, bool replace = true)
{
    return QTest::newRow(name) << save << start << suggested << replace;
}

} // namespace

void TestOpenFileDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_bytes = QFile::encodeName(m_dir.path());
    const QList<QByteArray> files = {"a.htm",
                                     "B.HTML",
                                     "c.txt",
                                     "noext",
                                     ".hidden.htm",
                                     kGbkTest,
                                     kGbkChinese,
                                     "中文.htm",
                                     kAlikeEscaped,
                                     kAlikeBytes,
                                     kGbkFolder + "/inner.htm"};
    for (const QByteArray &folder : {QByteArray("sub"), kGbkFolder})
        QCOMPARE(::mkdir((m_bytes + '/' + folder).constData(), 0755), 0);
    m_made = files + QList<QByteArray>{"sub", kGbkFolder};
    for (const QByteArray &name : files) {
        const int fd = ::open((m_bytes + '/' + name).constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, name.constData(), name.size()), name.size());
        ::close(fd);
    }
}

void TestOpenFileDialog::cleanupTestCase()
{
    for (const QByteArray &name : std::as_const(m_made))
        ::remove((m_bytes + '/' + name).constData());
}

void TestOpenFileDialog::listsFolder_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    const QStringList folders = {QStringLiteral("sub"), QStringLiteral("中dir")};
    // Alike names keep the order of their bytes; a UTF-8 name comes before
    // its GBK twin.
    QTest::newRow("web pages, letter case not counting")
        << QStringLiteral("网页文件(*.htm *.html)")
        << folders + QStringList{"B.HTML",   "\\xff\\xff.htm", "\\xff\\xff.htm", "a.htm",
                                 "中文.htm", "中文.htm",       "测试.htm"};
    QTest::newRow("text files") << QStringLiteral("文本文件(*.TXT)")
                                << folders + QStringList{"c.txt"};
    QTest::newRow("all files, also without a dot")
        << QStringLiteral("所有文件(*.*)")
        << folders + QStringList{"B.HTML", "\\xff\\xff.htm", "\\xff\\xff.htm", "a.htm",   "c.txt",
                                 "noext",  "中文.htm",       "中文.htm",       "测试.htm"};
}

void TestOpenFileDialog::listsFolder()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    const FolderListing::Listing listing =
        FolderListing::list(m_dir.path(), FolderListing::patternsOf(filter));
    QVERIFY(listing.error.isEmpty());
    QStringList listed;
    for (const FolderListing::Entry &entry : listing.entries) {
        listed << entry.shown;
        // Every entry leads back to its own bytes.
        struct stat info = {};
        QVERIFY(PathBytes::stat(FolderListing::join(m_dir.path(), entry.name), info));
        QCOMPARE(entry.utf8, PathBytes::toBytes(entry.name).isValidUtf8());
    }
    QCOMPARE(listed, shown);
    QVERIFY(!FolderListing::list(m_dir.filePath("none"), {}).error.isEmpty());
}

void TestOpenFileDialog::resolvesTypedName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("name"); // the bytes reached, below the folder
    QTest::newRow("UTF-8 name") << "a.htm" << int(Target::File) << QByteArray("a.htm");
    QTest::newRow("GBK name as shown") << "测试.htm" << int(Target::File) << kGbkTest;
    QTest::newRow("UTF-8 name before its GBK twin")
        << "中文.htm" << int(Target::File) << QByteArray("中文.htm");
    QTest::newRow("hidden name") << ".hidden.htm" << int(Target::File) << QByteArray(".hidden.htm");
    QTest::newRow("folder") << "sub" << int(Target::Folder) << QByteArray("sub");
    QTest::newRow("GBK folder as shown") << "中dir" << int(Target::Folder) << kGbkFolder;
    QTest::newRow("path from here") << "sub/../a.htm" << int(Target::File) << QByteArray("a.htm");
    QTest::newRow("patterns") << "*.txt" << int(Target::Patterns) << QByteArray();
    QTest::newRow("missing") << "nothere.htm" << int(Target::Missing) << QByteArray("nothere.htm");
    QTest::newRow("alike names") << "\\xff\\xff.htm" << int(Target::Ambiguous) << QByteArray();
}

void TestOpenFileDialog::resolvesTypedName()
{
    QFETCH(QString, typed);
    QFETCH(int, kind);
    QFETCH(QByteArray, name);
    const QList<FolderListing::Entry> entries = FolderListing::list(m_dir.path(), {}).entries;
    const Target target = FolderListing::resolve(m_dir.path(), typed, entries);
    QCOMPARE(int(target.kind), kind);
    if (!name.isEmpty())
        QCOMPARE(PathBytes::toBytes(target.path), m_bytes + '/' + name);
}

void TestOpenFileDialog::dialogGivesBytes_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("suggested");
    QTest::addColumn<bool>("replace");
    // Typed, "#shown:n" to pick the nth row so shown, "" to leave the name.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("chosen"); // empty: nothing chosen
    QTest::addColumn<QString>("warning");   // part of the message shown, if any
    dialogRow("GBK name picked") << QStringList{"#测试.htm:0"} << kGbkTest << QString();
    dialogRow("GBK twin picked") << QStringList{"#中文.htm:1"} << kGbkChinese << QString();
    dialogRow("UTF-8 twin picked")
        << QStringList{"#中文.htm:0"} << QByteArray("中文.htm") << QString();
    dialogRow("alike names, first")
        << QStringList{"#\\xff\\xff.htm:0"} << kAlikeEscaped << QString();
    dialogRow("alike names, second")
        << QStringList{"#\\xff\\xff.htm:1"} << kAlikeBytes << QString();
    dialogRow("alike names typed")
        << QStringList{"\\xff\\xff.htm"} << QByteArray() << QStringLiteral("都显示为");
    dialogRow("GBK folder, then a name in it")
        << QStringList{"中dir", "inner.htm"} << kGbkFolder + "/inner.htm" << QString();
    dialogRow("missing") << QStringList{"nothere.htm"} << QByteArray()
                         << QStringLiteral("找不到文件");

    const QString replaceTest = QStringLiteral("测试.htm 已经存在");
    dialogRow("save: suggested GBK name kept as its bytes, replaced", true, {}, kGbkTest)
        << QStringList{""} << kGbkTest << replaceTest;
    dialogRow("save: replacing refused", true, {}, kGbkTest, false)
        << QStringList{""} << QByteArray() << replaceTest;
    dialogRow("save: suggested GBK name that is new", true, {}, kGbkNew)
        << QStringList{""} << kGbkNew << QString();
    dialogRow("save: suggested name changed", true, {}, kGbkTest)
        << QStringList{"测试2.htm"} << QByteArray("测试2.htm") << QString();
    dialogRow("save: existing name typed", true)
        << QStringList{"a.htm"} << QByteArray("a.htm") << QStringLiteral("a.htm 已经存在");
    dialogRow("save: GBK name picked", true)
        << QStringList{"#测试.htm:0"} << kGbkTest << replaceTest;
    dialogRow("save: GBK name typed as shown", true)
        << QStringList{"测试.htm"} << kGbkTest << replaceTest;
    dialogRow("save: new name in a GBK folder", true)
        << QStringList{"中dir", "new.htm"} << kGbkFolder + "/new.htm" << QString();
    dialogRow("save: starting in a GBK folder", true, kGbkFolder)
        << QStringList{"inner.htm"} << kGbkFolder + "/inner.htm"
        << QStringLiteral("inner.htm 已经存在");
    dialogRow("save: no suffix added", true)
        << QStringList{"plain"} << QByteArray("plain") << QString();
    dialogRow("save: folder missing", true)
        << QStringList{"nodir/x.htm"} << QByteArray() << QStringLiteral("找不到文件夹");
}

void TestOpenFileDialog::dialogGivesBytes()
{
    QFETCH(bool, save);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, suggested);
    QFETCH(bool, replace);
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, chosen);
    QFETCH(QString, warning);
    Prompts::FileRequest request;
    request.title = save ? QStringLiteral("保存网页文件") : QStringLiteral("打开网页文件");
    request.filter =
        save ? QStringLiteral("html Files(*.htm)|*.htm|html Files(*.html)|*.html|所有文件 (*)|*")
             : QStringLiteral("网页文件(*.htm;*.html)|*.htm;*.html|所有文件(*.*)|*.*|");
    request.flags = save ? Prompts::OverwritePrompt + Prompts::PathMustExist
                         : Prompts::FileMustExist + Prompts::PathMustExist;
    request.initDir = start.isEmpty() ? m_dir.path() : pathOf(start);
    request.fileName = PathBytes::fromBytes(suggested);
    QString warned;
    // Answers the message the dialog shows, and then closes the dialog.
    const auto closeMessage = [&warned, replace] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            warned = box->text();
            if (QAbstractButton *no = box->button(QMessageBox::No); no && !replace)
                no->click();
            else if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                yes->click();
            else
                box->accept();
        }
    };
    const auto drive = [&] {
        auto *dialog = qobject_cast<OpenFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const auto closeDialog = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        auto *list = dialog->findChild<QTreeWidget *>();
        QLineEdit *name = nullptr;
        for (QLineEdit *edit : dialog->findChildren<QLineEdit *>())
            name = edit->accessibleName() == QStringLiteral("文件名称") ? edit : name;
        const QString accept = save ? QStringLiteral("保存(&S)") : QStringLiteral("打开(&O)");
        QPushButton *open = nullptr;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            open = button->text() == accept ? button : open;
        QVERIFY(list && name && open);
        // The suggested name reads as the user knows it.
        QCOMPARE(name->text(), PathBytes::readable(request.fileName));
        // Assistive technology reads the dialog and every listed name.
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(dialog);
        QCOMPARE(face->role(), QAccessible::Dialog);
        QCOMPARE(face->text(QAccessible::Name), request.title);
        QAccessibleInterface *listFace = QAccessible::queryAccessibleInterface(list);
        QStringList read;
        for (int i = 0; i < listFace->childCount(); ++i)
            read << listFace->child(i)->text(QAccessible::Name);
        const QString listed = start.isEmpty() ? QStringLiteral("测试.htm") : "inner.htm";
        QVERIFY2(read.contains(listed), qPrintable(read.join(u'|')));
        for (const QString &step : steps) {
            if (step.isEmpty()) {
                // Left as it is.
            } else if (step.startsWith(u'#')) {
                name->clear();
                const qsizetype colon = step.lastIndexOf(u':');
                const QString shown = step.sliced(1, colon - 1);
                const QList<QTreeWidgetItem *> rows = list->findItems(shown, Qt::MatchExactly);
                const int n = step.sliced(colon + 1).toInt();
                QVERIFY(rows.size() > n);
                list->setCurrentItem(rows.at(n));
                QCOMPARE(name->text(), shown);
            } else {
                name->clear();
                name->insert(step);
            }
            QTimer::singleShot(0, closeMessage);
            open->click();
        }
    };
    QTimer::singleShot(0, drive);
    QtPrompts prompts;
    const std::optional<QString> path =
        save ? prompts.saveFileName(request) : prompts.openFileName(request);
    QCOMPARE(path.has_value(), !chosen.isEmpty());
    if (path)
        QCOMPARE(PathBytes::toBytes(*path), m_bytes + '/' + chosen);
    QVERIFY2(warning.isEmpty() ? warned.isEmpty() : warned.contains(warning), qPrintable(warned));
}

QTEST_MAIN(TestOpenFileDialog)
#include "tst_openfiledialog.moc"
