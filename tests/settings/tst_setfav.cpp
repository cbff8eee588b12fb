#include "controls/clicklabel.h"
#include "controls/zmbutton.h"
#include "dialogs/fraaboutinfo.h"
#include "platform/settingsfile.h"
#include "platform/twips.h"
#include "settings/colorswatch.h"
#include "settings/setfav.h"
#include "settings/toolbarpage.h"
#include "support/programfolder.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <stdexcept>
#include <utility>

namespace {

QString stored(const char *section, const char *key)
{
    return ReadSetting(QString::fromLatin1(section), QString::fromLatin1(key),
                       QStringLiteral("<none>"));
}

void store(const char *section, const char *key, const QString &value)
{
    WriteSetting(QString::fromLatin1(section), QString::fromLatin1(key), value);
}

// A program folder, scripted prompts and hooks that record what they are
// asked to do.
// Folders opened go to folders, web pages to urls.
struct ListLauncher : RecordingLauncher {
    QStringList &urls;
    QStringList &folders;
    ListLauncher(QStringList &urls, QStringList &folders)
        : urls(urls)
        , folders(folders)
    {}
    bool openUrl(const QUrl &url) override
    {
        if (url.isLocalFile())
            folders.append(url.toLocalFile());
        else
            urls.append(url.toString());
        return true;
    }
};

struct Fixture {
    TestProgramFolder program;
    QTemporaryDir temp;
    ScriptedPrompts prompts;
    StatusRecorder status;
    QList<bool> autosave;
    int schemeRuns = 0;
    bool schemeThrows = false;
    QStringList urls;
    QStringList folders;
    ListLauncher launcher{urls, folders};
    QStringList chooserStarts;
    QString chooserAnswer = QStringLiteral("canceledselect");
    quint32 backColor = 0x00FF00;
    quint32 textColor = 0x112233;

    Fixture() { qputenv("TEMP", temp.path().toLocal8Bit()); }

    SetFavHooks hooks()
    {
        SetFavHooks h;
        h.editorFontName = [] { return QStringLiteral("DejaVu Sans"); };
        h.editorBackColor = [this] { return backColor; };
        h.editorTextColor = [this] { return textColor; };
        h.setAutosaveEnabled = [this](bool on) { autosave.append(on); };
        h.runActiveScheme = [this] {
            ++schemeRuns;
            if (schemeThrows)
                throw std::runtime_error("font size refused");
        };
        h.launcher = &launcher;
        h.chooseFolder = [this](QWidget *, QString &start) {
            chooserStarts.append(start);
            return chooserAnswer;
        };
        return h;
    }
};

// A click on a check box's tick, which a click at its middle may miss.
void clickBox(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

// The dialog, shown as the main window shows it (without blocking).
struct Dialog {
    SetFav dialog;
    explicit Dialog(Fixture &f)
        : dialog(f.prompts, f.status, f.hooks())
    {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }
    SetFav *operator->() { return &dialog; }
};

} // namespace

class TestSetFav : public QObject {
    Q_OBJECT
private slots:
    void openShowsAboutPage();
    void enterAtOnceStoresShownValues();
    void missingFolderKeepsTimepath();
    void invalidFolderKeepsDialogOpen_data();
    void invalidFolderKeepsDialogOpen();
    void unusableFontSizeChangesNothing_data();
    void unusableFontSizeChangesNothing();
    void refusedSchemeReportsFailure();
    void failedWriteIsReported_data();
    void failedWriteIsReported();
    void closeStoresNothing();
    void tabKeys_data();
    void tabKeys();
    void switchingTabsDiscardsFolderEdits();
    void saveMessageCheckFollowsStore_data();
    void saveMessageCheckFollowsStore();
    void autosaveTickEnablesFolder();
    void colourDialog_data();
    void colourDialog();
    void labelShortcuts();
    void folderButtons();
    void miscellaneousChecks();
    void aboutPageLinks();
};

void TestSetFav::openShowsAboutPage()
{
    Fixture f;
    Dialog d(f);
    QCOMPARE(d->windowTitle(), QStringLiteral("设置..."));
    QCOMPARE(d->shownPage(), int(SetFav::AboutPage));
    QVERIFY(d->Framback(SetFav::AboutPage)->isVisible());
    for (int page : {0, 1, 2, 3})
        QVERIFY(!d->Framback(page)->isVisible());
    // The marker sits at the left edge beside the "关  于(A)" tab.
    zmBUTTon *about = d->tab(5);
    QCOMPARE(about->Text(), QStringLiteral("关  于(A)"));
    QCOMPARE(d->sign()->x(), 0);
    const int centre = about->y() + about->height() / 2;
    QVERIFY(qAbs(d->sign()->geometry().center().y() - centre) <= 1);

    QCOMPARE(d->Labbackcolor()->color(), f.backColor);
    QCOMPARE(d->Labyufa()->color(), f.textColor);
    QCOMPARE(d->Labqitacolor()->color(), f.textColor);
    QCOMPARE(d->Combofontsize()->count(), 3);
    QCOMPARE(d->Combofontsize()->itemText(2), QStringLiteral("16"));
    QVERIFY(d->Txtfontname()->count() > 0);
}

void TestSetFav::enterAtOnceStoresShownValues()
{
    Fixture f;
    QTemporaryDir autosaveDir;
    store("save", "timepath", autosaveDir.path());
    store("save", "timeflag", QStringLiteral("False"));
    store("save", "saveflagd", QStringLiteral("1"));
    store("WorkTable", "fontsize", QStringLiteral("12"));
    store("bar1button", "Button3", QStringLiteral("False"));
    store("bar2button", "Button18", QStringLiteral("0"));

    Dialog d(f);
    QTest::keyClick(d->EXIT(), Qt::Key_Return);
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QVERIFY(!d->isVisible());
    QCOMPARE(f.status.Text2(), QStringLiteral("设置正确，改动生效"));
    QVERIFY(f.prompts.messages.isEmpty());

    QCOMPARE(stored("save", "timepath"), autosaveDir.path());
    QCOMPARE(stored("save", "timeflag"), QStringLiteral("False"));
    QCOMPARE(stored("save", "saveflagd"), QStringLiteral("1"));
    QCOMPARE(stored("WorkTable", "fontname"), QStringLiteral("DejaVu Sans"));
    QCOMPARE(stored("WorkTable", "fontsize"), QStringLiteral("12"));
    QCOMPARE(stored("WorkTable", "TableColor"), QString::number(f.backColor));
    QCOMPARE(stored("WorkTable", "tagColor"), QString::number(f.textColor));
    QCOMPARE(stored("WorkTable", "otherColor"), QString::number(f.textColor));
    for (int i = 0; i < 11; ++i)
        QCOMPARE(stored("bar1button", qPrintable(QStringLiteral("Button%1").arg(i))),
                 i == 3 ? QStringLiteral("False") : QStringLiteral("True"));
    for (int i = 0; i < 19; ++i)
        QCOMPARE(stored("bar2button", qPrintable(QStringLiteral("Button%1").arg(i))),
                 i == 18 ? QStringLiteral("False") : QStringLiteral("True"));
    // The timer follows the tick at once, and the scheme runs again.
    QCOMPARE(f.autosave, QList<bool>{false});
    QCOMPARE(f.schemeRuns, 1);
}

void TestSetFav::missingFolderKeepsTimepath()
{
    Fixture f;
    QTemporaryDir kept;
    store("save", "timepath", kept.path());
    Dialog d(f);
    d->showTab(1);
    d->Txttimesave()->setText(QStringLiteral("/no/such/folder"));
    d->Combofontsize()->setCurrentText(QStringLiteral("16"));
    d->doit_Click();

    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text,
             QStringLiteral("保存路径设置不正确,仍然使用\r\n") + kept.path());
    QCOMPARE(f.prompts.messages[0].style, 0);
    QCOMPARE(stored("save", "timepath"), kept.path());
    QCOMPARE(stored("WorkTable", "fontsize"), QStringLiteral("16"));
    QCOMPARE(stored("save", "timeflag"), QStringLiteral("True"));
    QCOMPARE(f.status.Text2(), QStringLiteral("设置正确，改动生效"));
    QCOMPARE(d->result(), int(QDialog::Accepted));
}

void TestSetFav::invalidFolderKeepsDialogOpen_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("empty") << QString();
    QTest::newRow("holding a NUL") << QStringLiteral("/tmp") + QChar(u'\0') + QStringLiteral("x");
}

void TestSetFav::invalidFolderKeepsDialogOpen()
{
    QFETCH(QString, folder);
    Fixture f;
    Dialog d(f);
    d->showTab(1);
    d->Txttimesave()->setText(folder);
    d->Checktimeflag()->setChecked(false);
    d->doit_Click();

    QVERIFY(d->isVisible());
    QCOMPARE(f.status.Text2(), QStringLiteral("自动保存文件夹设置错误！"));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("自动保存文件夹设置错误！"));
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("发生了一个错误"));
    QCOMPARE(d->Txttimesave()->text(), f.temp.path());
    QCOMPARE(stored("save", "timeflag"), QStringLiteral("<none>"));
    QVERIFY(f.autosave.isEmpty());
}

void TestSetFav::unusableFontSizeChangesNothing_data()
{
    QTest::addColumn<QString>("size");
    QTest::newRow("letters") << "abc";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-5";
    QTest::newRow("empty") << "";
    QTest::newRow("huge") << "100000";
}

void TestSetFav::unusableFontSizeChangesNothing()
{
    QFETCH(QString, size);
    Fixture f;
    store("WorkTable", "fontsize", QStringLiteral("12"));
    Dialog d(f);
    d->showTab(2);
    d->Combofontsize()->setCurrentText(size);
    d->Checktimeflag()->setChecked(false);
    d->doit_Click();

    QCOMPARE(f.status.Text2(), QStringLiteral("设置错误，改动不生效"));
    QCOMPARE(d->result(), int(QDialog::Rejected));
    QVERIFY(!d->isVisible());
    QCOMPARE(stored("WorkTable", "fontsize"), QStringLiteral("12"));
    QCOMPARE(stored("save", "timeflag"), QStringLiteral("<none>"));
    QCOMPARE(f.schemeRuns, 0);
}

void TestSetFav::refusedSchemeReportsFailure()
{
    Fixture f;
    f.schemeThrows = true;
    Dialog d(f);
    d->Combofontsize()->setCurrentText(QStringLiteral("9.5"));
    d->doit_Click();
    QCOMPARE(f.schemeRuns, 1);
    QCOMPARE(f.status.Text2(), QStringLiteral("设置错误，改动不生效"));
    QVERIFY(!d->isVisible());
    // The steps before the failure stay done.
    QCOMPARE(stored("WorkTable", "fontsize"), QStringLiteral("9.5"));
}

void TestSetFav::failedWriteIsReported_data()
{
    QTest::addColumn<bool>("apply");
    QTest::addColumn<QString>("status");
    QTest::newRow("应用") << true << "设置错误，改动不生效";
    QTest::newRow("+方案") << false << "方案未保存";
}

void TestSetFav::failedWriteIsReported()
{
    QFETCH(bool, apply);
    QFETCH(QString, status);
    Fixture f;
    // A folder where the settings file should be: no write can succeed,
    // whoever runs the test.
    QVERIFY(QDir(f.program.path()).mkdir(QStringLiteral("zelmohtml.ini")));
    Dialog d(f);
    if (apply) {
        d->doit_Click();
    } else {
        f.prompts.inputAnswers << QStringLiteral("方案");
        d->setbufaceing_Click();
    }
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.startsWith(QStringLiteral("设置保存失败：") +
                                                  SettingsPath() + QStringLiteral("\r\n")));
    QVERIFY(f.prompts.messages[0].text.size() > SettingsPath().size() + 9); // and why
    QCOMPARE(f.status.Text2(), status);
    QCOMPARE(f.schemeRuns, 0);
}

void TestSetFav::closeStoresNothing()
{
    Fixture f;
    Dialog d(f);
    d->showTab(2);
    d->Combofontsize()->setCurrentText(QStringLiteral("16"));
    d->toolbarPage()->List1()->item(0)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(d->EXIT(), Qt::LeftButton);
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), int(QDialog::Rejected));
    QVERIFY(!QFile::exists(f.program.filePath(QStringLiteral("zelmohtml.ini"))));
    QCOMPARE(f.status.Text2(), QString());
}

void TestSetFav::tabKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("page");
    QTest::newRow("Alt+S") << int(Qt::Key_S) << int(SetFav::SavePage);
    QTest::newRow("Alt+W") << int(Qt::Key_W) << int(SetFav::WorkPage);
    QTest::newRow("Alt+C") << int(Qt::Key_C) << int(SetFav::ToolbarPageIndex);
    QTest::newRow("Alt+O") << int(Qt::Key_O) << int(SetFav::MiscPage);
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(SetFav::AboutPage);
}

void TestSetFav::tabKeys()
{
    QFETCH(int, key);
    QFETCH(int, page);
    Fixture f;
    Dialog d(f);
    d->showTab(4);
    // Whichever control has the focus, the dialog sees the key first.
    d->doit()->setFocus();
    QTest::keyClick(d->doit(), Qt::Key(key), Qt::AltModifier);
    QCOMPARE(d->shownPage(), page);
    QVERIFY(d->Framback(page)->isVisible());
    QVERIFY(d->isVisible());
}

void TestSetFav::switchingTabsDiscardsFolderEdits()
{
    Fixture f;
    QTemporaryDir kept;
    store("save", "timepath", kept.path());
    Dialog d(f);
    QTest::mouseClick(d->tab(1), Qt::LeftButton);
    QCOMPARE(d->shownPage(), int(SetFav::SavePage));
    QCOMPARE(d->Txttimesave()->text(), kept.path());
    QCOMPARE(d->Txttimesave()->toolTip(), kept.path());

    d->Txttimesave()->setText(QStringLiteral("/somewhere/else"));
    QTest::mouseClick(d->tab(3), Qt::LeftButton);
    QCOMPARE(d->shownPage(), int(SetFav::ToolbarPageIndex));
    QTest::mouseClick(d->tab(1), Qt::LeftButton);
    QCOMPARE(d->Txttimesave()->text(), kept.path());
}

void TestSetFav::saveMessageCheckFollowsStore_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("missing") << QString() << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("not a number") << "yes" << false;
}

void TestSetFav::saveMessageCheckFollowsStore()
{
    QFETCH(QString, value);
    QFETCH(bool, ticked);
    Fixture f;
    if (!value.isNull())
        store("save", "saveflagd", value);
    QCOMPARE(SetFavStore::storedSaveMessageTicked(), ticked);
    SetFav dialog(f.prompts, f.status, f.hooks());
    QCOMPARE(dialog.saveMessageTicked(), ticked);
}

void TestSetFav::autosaveTickEnablesFolder()
{
    Fixture f;
    store("save", "timeflag", QStringLiteral("False"));
    Dialog d(f);
    d->showTab(1);
    QVERIFY(!d->Checktimeflag()->isChecked());
    QVERIFY(!d->Txttimesave()->isEnabled());
    clickBox(d->Checktimeflag());
    QVERIFY(d->Txttimesave()->isEnabled());
}

void TestSetFav::colourDialog_data()
{
    QTest::addColumn<QString>("storedColor");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<quint32>("shown");
    QTest::newRow("chosen") << "255" << true << quint32(0x123456);
    QTest::newRow("cancelled") << "255" << false << quint32(255);
    QTest::newRow("cancelled, nothing stored") << QString() << false << quint32(11315101);
}

void TestSetFav::colourDialog()
{
    QFETCH(QString, storedColor);
    QFETCH(bool, answered);
    QFETCH(quint32, shown);
    Fixture f;
    if (!storedColor.isNull())
        store("WorkTable", "TableColor", storedColor);
    if (answered)
        f.prompts.colorAnswers.append(quint32(0x123456));
    Dialog d(f);
    d->showTab(2);
    QCOMPARE(d->Labbackcolor()->color(), f.backColor);
    QTest::mouseClick(d->Labbackcolor(), Qt::LeftButton);
    QCOMPARE(d->Labbackcolor()->color(), shown);
    QVERIFY(d->Labyufa()->isReadOnly());
}

void TestSetFav::labelShortcuts()
{
    Fixture f;
    Dialog d(f);
    d->showTab(2);
    d->Labbackcolor()->setColor(0);
    d->Combofontsize()->setCurrentText(QStringLiteral("16"));
    d->Txtfontname()->setCurrentText(QStringLiteral("Anything"));

    QCOMPARE(d->backColorLabel()->toolTip(), QStringLiteral("双击试试"));
    QTest::mouseDClick(d->backColorLabel(), Qt::LeftButton);
    QCOMPARE(d->Labbackcolor()->color(), quint32(11315101));
    QTest::mouseClick(d->fontSizeLabel(), Qt::LeftButton);
    QCOMPARE(d->Combofontsize()->currentText(), QStringLiteral("16"));
    QTest::mouseDClick(d->fontSizeLabel(), Qt::LeftButton);
    QCOMPARE(d->Combofontsize()->currentText(), QStringLiteral("9"));
    QTest::mouseClick(d->fontNameLabel(), Qt::LeftButton);
    QCOMPARE(d->Txtfontname()->currentText(), QStringLiteral("宋体"));
}

void TestSetFav::folderButtons()
{
    Fixture f;
    QTemporaryDir there;
    Dialog d(f);
    d->showTab(1);

    d->Txttimesave()->setText(QStringLiteral("/start/here"));
    QTest::mouseClick(d->CommGetPATH(), Qt::LeftButton);
    QCOMPARE(f.chooserStarts, QStringList{QStringLiteral("/start/here")});
    QCOMPARE(d->Txttimesave()->text(), QStringLiteral("/start/here"));
    f.chooserAnswer = there.path();
    d->CommGetPATH_Click();
    QCOMPARE(d->Txttimesave()->text(), there.path());

    QTest::mouseClick(d->ImgOpenPATH(), Qt::LeftButton);
    QCOMPARE(f.folders, QStringList{there.path()});
    QVERIFY(f.prompts.messages.isEmpty());

    d->Txttimesave()->setText(QStringLiteral("/no/such/folder"));
    QTest::mouseDClick(d->Txttimesave(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QCOMPARE(d->Txttimesave()->selectedText(), QStringLiteral("/no/such/folder"));
    d->ImgOpenPATH_Click();
    QCOMPARE(f.folders.size(), 1);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("路径不正确，请填写正确的路径！"));
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("提示"));
}

void TestSetFav::miscellaneousChecks()
{
    Fixture f;
    Dialog d(f);
    d->showTab(4);
    // The first two cannot be ticked, the third can, the last two only turn grey.
    const std::pair<int, Qt::CheckState> clicks[] = {
        {1, Qt::Unchecked}, {2, Qt::Unchecked},        {3, Qt::Checked},
        {3, Qt::Unchecked}, {4, Qt::PartiallyChecked}, {5, Qt::PartiallyChecked}};
    for (const auto &[number, state] : clicks) {
        clickBox(d->miscCheck(number));
        QCOMPARE(d->miscCheck(number)->checkState(), state);
    }
    // The same through assistive technology's toggle action.
    for (const auto &[number, state] : clicks) {
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(d->miscCheck(number));
        box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(d->miscCheck(number)->checkState(), state);
    }
}

void TestSetFav::aboutPageLinks()
{
    Fixture f;
    Dialog d(f);
    QVERIFY(d->aboutText()->text().contains(MakerLinks::contactMail()));
    QTest::mouseClick(d->aboutText(), Qt::LeftButton);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("邮件地址已经成功复制"));
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("恭喜"));
    QCOMPARE(QGuiApplication::clipboard()->text(), MakerLinks::contactMail());

    d->newRevision_Click();
    QCOMPARE(f.urls, QStringList{MakerLinks::newestVersionPage()});
}

QTEST_MAIN(TestSetFav)
#include "tst_setfav.moc"
