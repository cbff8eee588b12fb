#include "dialogs/frmpath.h"
#include "dialogs/frmpathfolderlist.h"
#include "platform/twips.h"
#include "support/programfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs act on the chooser once it is up, then ChooseFolder's result.
QString chooseWith(QWidget *owner, QString &start, int x, int y,
                   const std::function<void(FRMpath *)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *chooser = qobject_cast<FRMpath *>(QApplication::activeModalWidget());
        QVERIFY(chooser);
        act(chooser);
        if (chooser->isVisible())
            chooser->reject();
    });
    return ChooseFolder(owner, start, x, y);
}

void pressChoose(FRMpath *chooser)
{
    QTest::mouseClick(chooser->Command1(), Qt::LeftButton);
}

} // namespace

class TestFRMpath : public QObject {
    Q_OBJECT
private slots:
    void driveOfFolder_data();
    void driveOfFolder();
    void centredOverOwner_data();
    void centredOverOwner();
    void chooseReturnsFolder();
    void otherClosingCancels_data();
    void otherClosingCancels();
    void emptyStartBecomesProgramFolder();
    void missingStartStaysOnDrive();
    void openingSubfolderChoosesIt();
    void unavailableDriveKeepsFolder();
    void requestedPositionPlacesWindow();
    void drivesStartWithRoot();
};

void TestFRMpath::driveOfFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("drive");
    QTest::newRow("root") << "/" << QStringLiteral("/");
    QTest::newRow("under root") << "/home/user" << QStringLiteral("/");
    QTest::newRow("mount point itself") << "/media/usb" << QStringLiteral("/media/usb");
    QTest::newRow("under mount point") << "/media/usb/photos/2024" << QStringLiteral("/media/usb");
    QTest::newRow("longest mount wins")
        << "/media/usb/inner/x" << QStringLiteral("/media/usb/inner");
    QTest::newRow("name prefix is no mount") << "/media/usbstick" << QStringLiteral("/");
    QTest::newRow("trailing separator") << "/media/usb/" << QStringLiteral("/media/usb");
}

void TestFRMpath::driveOfFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, drive);
    const QList<FolderDrive> drives = {
        {"/", "/"}, {"/media/usb", "/media/usb"}, {"/media/usb/inner", "/media/usb/inner"}};
    QCOMPARE(FolderPlaces::driveOf(folder, drives), drive);
}

void TestFRMpath::centredOverOwner_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QSize>("chooser");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("smaller chooser")
        << QRect(100, 50, 600, 400) << QSize(203, 227) << QPoint(298, 136);
    // A chooser larger than its owner is still moved right and down.
    QTest::newRow("larger chooser")
        << QRect(100, 50, 150, 100) << QSize(203, 227) << QPoint(126, 113);
}

void TestFRMpath::centredOverOwner()
{
    QFETCH(QRect, owner);
    QFETCH(QSize, chooser);
    QFETCH(QPoint, place);
    QCOMPARE(FolderPlaces::centredOver(owner, chooser), place);
}

void TestFRMpath::chooseReturnsFolder()
{
    QTemporaryDir dir;
    QString start = dir.path();
    QString shown;
    const QString result = chooseWith(nullptr, start, 0, 0, [&](FRMpath *chooser) {
        QCOMPARE(chooser->windowTitle(), QStringLiteral("选择路径"));
        shown = chooser->Labpath()->text();
        pressChoose(chooser);
    });
    QCOMPARE(result, QDir::cleanPath(dir.path()));
    QCOMPARE(shown, QDir::cleanPath(dir.path()));
    QCOMPARE(start, dir.path());
}

void TestFRMpath::otherClosingCancels_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("escape") << "escape";
}

void TestFRMpath::otherClosingCancels()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QString start = dir.path();
    const QString result = chooseWith(nullptr, start, 0, 0, [&](FRMpath *chooser) {
        if (how == QLatin1String("close"))
            chooser->close();
        else
            QTest::keyClick(chooser, Qt::Key_Escape);
    });
    QCOMPARE(result, QStringLiteral("canceledselect"));
}

void TestFRMpath::emptyStartBecomesProgramFolder()
{
    TestProgramFolder program;
    QString start;
    const QString result = chooseWith(nullptr, start, 0, 0, pressChoose);
    QCOMPARE(start, program.path());
    QCOMPARE(result, QDir::cleanPath(program.path()));
}

void TestFRMpath::missingStartStaysOnDrive()
{
    QString start = QStringLiteral("/no/such/folder/here");
    bool shown = false;
    const QString result = chooseWith(nullptr, start, 0, 0, [&](FRMpath *chooser) {
        shown = chooser->isVisible();
        QCOMPARE(chooser->currentPath(), QStringLiteral("/"));
        QCOMPARE(chooser->Labpath()->text(), QStringLiteral("/"));
        pressChoose(chooser);
    });
    QVERIFY(shown);
    QCOMPARE(result, QStringLiteral("/"));
    QCOMPARE(start, QStringLiteral("/no/such/folder/here"));
}

void TestFRMpath::openingSubfolderChoosesIt()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("页面/旧")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral(".hidden")));
    QString start = dir.path();
    QStringList listed;
    const QString result = chooseWith(nullptr, start, 0, 0, [&](FRMpath *chooser) {
        FolderList *list = chooser->Dir1();
        QTreeWidgetItem *current = list->currentItem();
        QVERIFY(current);
        QCOMPARE(current->childCount(), 1); // hidden folders are not offered
        QTreeWidgetItem *child = current->child(0);
        QCOMPARE(child->text(0), QStringLiteral("页面"));
        // Marking a folder does not open it; Enter does.
        list->setCurrentItem(child);
        QCOMPARE(chooser->currentPath(), QDir::cleanPath(dir.path()));
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(chooser->isVisible());
        QCOMPARE(chooser->currentPath(), dir.filePath(QStringLiteral("页面")));
        QCOMPARE(chooser->Labpath()->text(), dir.filePath(QStringLiteral("页面")));
        QCOMPARE(list->currentItem()->child(0)->text(0), QStringLiteral("旧"));
        pressChoose(chooser);
    });
    QCOMPARE(result, dir.filePath(QStringLiteral("页面")));
}

void TestFRMpath::unavailableDriveKeepsFolder()
{
    QTemporaryDir dir;
    FRMpath chooser;
    chooser.setDrives({{"/", "/"}, {"/media/gone", "/media/gone [U盘]"}});
    chooser.startAt(dir.path());
    QCOMPARE(chooser.currentPath(), QDir::cleanPath(dir.path()));

    chooser.Drive1()->setCurrentIndex(1);
    chooser.Drive1_Change();
    QCOMPARE(chooser.Labpath()->text(), QStringLiteral("设备不可用！"));
    QCOMPARE(chooser.currentPath(), QDir::cleanPath(dir.path()));
    QCOMPARE(chooser.Drive1()->currentData().toString(), QStringLiteral("/"));

    chooser.Command1_Click();
    QCOMPARE(chooser.result(), QDir::cleanPath(dir.path()));
}

void TestFRMpath::requestedPositionPlacesWindow()
{
    QTemporaryDir dir;
    QString start = dir.path();
    QPoint placed;
    chooseWith(nullptr, start, 1500, 3000, [&](FRMpath *chooser) { placed = chooser->pos(); });
    QCOMPARE(placed, QPoint(Twips::toPixels(1500), Twips::toPixels(3000)));

    QWidget owner;
    owner.setGeometry(200, 100, 800, 600);
    owner.show();
    QSize size;
    chooseWith(&owner, start, 1500, 0, [&](FRMpath *chooser) {
        placed = chooser->frameGeometry().topLeft();
        size = chooser->frameGeometry().size();
    });
    const QRect frame = owner.frameGeometry();
    QCOMPARE(placed, FolderPlaces::centredOver(frame, size));
}

void TestFRMpath::drivesStartWithRoot()
{
    const QList<FolderDrive> drives = FolderPlaces::drives();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.first().root, QStringLiteral("/"));
    QStringList roots;
    for (const FolderDrive &drive : drives)
        roots << drive.root;
    QCOMPARE(roots.removeDuplicates(), 0);
}

QTEST_MAIN(TestFRMpath)
#include "tst_frmpath.moc"
