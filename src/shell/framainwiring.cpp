// The main window's wiring: which control event runs which command.
#include "shell/framain.h"

#include "checker/checkerview.h"
#include "checker/errorlist.h"
#include "controls/mousehooks.h"
#include "controls/stabar.h"
#include "dialogs/form3.h"
#include "dialogs/fraabout.h"
#include "document/documentsession.h"
#include "document/encodingmenus.h"
#include "editor/caretstatus.h"
#include "editor/editmenu.h"
#include "editor/frasearch.h"
#include "editor/keycommandswiring.h"
#include "editor/linenumbers.h"
#include "editor/richtextbox.h"
#include "editor/syntaxcolouring.h"
#include "platform/wincolor.h"
#include "schemes/barmenu.h"
#include "schemes/editorlook.h"
#include "schemes/schemes.h"
#include "settings/setfav.h"
#include "settings/setfavapply.h"
#include "settings/setfavhooks.h"
#include "shell/mainbands.h"
#include "shell/maincommands.h"
#include "shell/toolstrip.h"
#include "sitesearch/sitesearchwindow.h"
#include "snippets/tagcase.h"
#include "tagpairs/tagpairs.h"
#include "tagpairs/tagswitches.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QPushButton>
#include <QUrl>

void FRAmain::createMenus()
{
    m_editMenu = new EditMenu(*m_richText, this);

    BarMenu::Host barHost;
    barHost.setStripVisible = [this](int strip, bool visible) {
        m_bands->setStripVisible(strip, visible);
    };
    barHost.defaultScheme = [this] { m_schemes->menfdafealt_Click(); };
    barHost.customScheme = [this] { m_schemes->menfdiy_Click(); };
    barHost.openSettings = [this] { showSettings(); };
    auto *colouring = new SyntaxColouring(m_richText);
    colouring->setOn(SyntaxColouring::storedSwitch());
    barHost.syntaxColor = [colouring](bool on) {
        colouring->setOn(on);
        SyntaxColouring::storeSwitch(on);
    };
    barHost.tagCase = [this](bool upper) { TagCase::apply(*m_richText, upper); };
    m_barMenu = new BarMenu(this, std::move(barHost));
    m_barMenu->menSyntaxColor->setChecked(colouring->isOn());
    addTagPairSwitches();
    m_encodingMenus = new EncodingMenus(m_commands->encodings, this);
    m_barMenu->addCommandMenu(m_encodingMenus->reopenMenu());
    m_barMenu->addCommandMenu(m_encodingMenus->saveMenu());
    // The key is shown in the menu; the window's own keys run it.
    QAction *siteSearch =
        m_barMenu->addCommand(QStringLiteral("  站点查找替换"), QStringLiteral("menSiteSearch"),
                              [this] { showSiteSearch(); });
    siteSearch->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    siteSearch->setShortcutContext(Qt::WidgetShortcut);

    m_checker = new CheckerView(*m_richText, *m_staBar, this, [this] { m_bands->layout(); });
    m_bands->setLowerPanel(m_checker->errorList());
    m_bands->layout();
    m_checker->setPageEncoding(m_session->format().encoding);
    connect(m_session, &DocumentSession::formatChanged, m_checker,
            [this](const PageFormat &format) { m_checker->setPageEncoding(format.encoding); });
    m_barMenu->addCommandItem(m_checker->menCheckErrors());
    m_barMenu->addCommandItem(m_checker->menErrorList());
    m_barMenu->addCommandMenu(m_checker->needsMenu());

    Schemes::Host schemeHost;
    schemeHost.control = [this](const QString &name) { return findChild<QWidget *>(name); };
    schemeHost.applyLook = [this](const EditorLook &look) {
        m_richText->setFont(look.font());
        QPalette palette = m_richText->palette();
        palette.setColor(QPalette::Base, WinColor::toColor(look.backColor));
        m_richText->setPalette(palette);
    };
    // During start-up the window is shown once, at its end.
    schemeHost.showWindow = [this] {
        if (!m_loading)
            show();
    };
    m_schemes = std::make_unique<Schemes>(m_barMenu->menfdafealt, m_barMenu->menfdiy,
                                          std::move(schemeHost));

    KeyCommandHooks keyHooks;
    keyHooks.selbutton = [this](int index) { m_commands->tags.selbutton_Click(index); };
    keyHooks.noselbutton = [this](int index) { m_commands->tags.noselbutton_Click(index); };
    keyHooks.refreshTotals = [this] { CaretStatus::refreshTotals(*m_richText, *m_staBar); };
    keyHooks.popupEditMenu = [this] { m_editMenu->popup(QCursor::pos()); };
    keyHooks.clipboardText = [] { return clipboardPlainText(); };
    keyHooks.jumpToPartner = [this] { m_tagPairs->jumpToPartner(); };
    keyHooks.selectElement = [this] { m_tagPairs->selectElement(); };
    m_keys = new EditorKeyHandling(*this, *m_richText, std::move(keyHooks));

    m_commands->tags.setOpenSettings([this] { showSettings(); });
    m_commands->first.setShowFindWindow([this] { showFindWindow(); });
    m_commands->first.setShowKeyCodeTester([this] { showKeyCodeTester(); });
    m_commands->file.setSaveMessageCheck(&SetFavStore::storedSaveMessageTicked);
}

// The tag pairs and the line numbers, with their switches in the bar menu.
void FRAmain::addTagPairSwitches()
{
    m_tagPairs = new TagPairs(*m_richText);
    m_tagPairs->setSyncRename(TagSwitches::syncRename());
    m_tagPairs->setAutoClose(TagSwitches::autoClose());
    auto *numbers = new LineNumbers(*m_richText);
    numbers->setOn(TagSwitches::lineNumbers());
    m_barMenu->addEditorSwitch("menSyncTagRename", QStringLiteral("同步修改配对标签"),
                               m_tagPairs->syncRename(), [this](bool on) {
                                   m_tagPairs->setSyncRename(on);
                                   TagSwitches::storeSyncRename(on);
                               });
    m_barMenu->addEditorSwitch("menAutoCloseTags", QStringLiteral("自动闭合标签"),
                               m_tagPairs->autoClose(), [this](bool on) {
                                   m_tagPairs->setAutoClose(on);
                                   TagSwitches::storeAutoClose(on);
                               });
    m_barMenu->addEditorSwitch("menLineNumbers", QStringLiteral("行号"), numbers->isOn(),
                               [numbers](bool on) {
                                   numbers->setOn(on);
                                   TagSwitches::storeLineNumbers(on);
                               });
}

void FRAmain::connectBands()
{
    for (int i = 0; i < 3; ++i) {
        ToolStrip *strip = m_bands->Picback(i);
        connect(strip, &ToolStrip::backgroundMouseMove, this, [this] {
            m_staBar->setText(QStringLiteral("ZelmoHTML编辑器，我们一直在努力..."));
        });
        connect(strip, &ToolStrip::gripPressed, this,
                [this] { m_staBar->setText(QStringLiteral("该版本不能移动〈快捷编辑栏〉")); });
        connect(strip, &ToolStrip::menuRequested, this,
                [this](int, const QPoint &globalPos) { m_barMenu->popup(globalPos); });
    }
}

void FRAmain::connectButtons()
{
    const auto wire = [this](QPushButton *button, std::function<void()> click,
                             std::function<void()> hint) {
        connect(button, &QPushButton::clicked, this, std::move(click));
        MouseHooks::onMouseMove(button, std::move(hint));
    };
    MainCommands &c = *m_commands;
    for (int i = 0; i < 3; ++i) {
        wire(
            m_buttons.func[size_t(i)], [&c, i] { c.file.func_Click(i); },
            [&c, i] { c.file.func_MouseMove(i); });
        wire(
            m_buttons.toolbutt[size_t(i)], [&c, i] { c.first.toolbutt_Click(i); },
            [&c, i] { c.first.toolbutt_MouseMove(i); });
    }
    for (int i = 0; i < 2; ++i) {
        MouseHooks::onRightPress(m_buttons.func[size_t(i)], [&c, i] { c.file.func_RightPress(i); });
        wire(
            m_buttons.ysjm[size_t(i)], [&c, i] { c.first.ysjm_Click(i); },
            [&c, i] { c.first.ysjm_MouseMove(i); });
    }
    wire(
        m_buttons.stolen, [&c] { c.pageSource.stolen_Click(); },
        [&c] { c.pageSource.stolen_MouseMove(); });
    wire(
        m_buttons.shoot, [&c] { c.preview.shoot_Click(); }, [&c] { c.preview.shoot_MouseMove(); });
    wire(
        m_buttons.aboutb, [this] { showAbout(); },
        [this] { m_staBar->setText(QStringLiteral("查看关于ZelmoHTML编辑器")); });
}

void FRAmain::connectEditingArea()
{
    m_richText->setAcceptDrops(true);
    connect(m_richText, &RichTextBox::MouseUp, this, &FRAmain::RichText_MouseUp);
    connect(m_richText, &RichTextBox::OLEDragOver, this,
            [this](QDragMoveEvent *event) { m_commands->drops.RichText_OLEDragOver(event); });
    connect(m_richText, &RichTextBox::OLEDragDrop, this,
            [this](QDropEvent *event) { m_commands->drops.RichText_OLEDragDrop(event); });
}

void FRAmain::connectStatusBar()
{
    connect(m_staBar, &StaBar::SecondClick, this,
            [this] { m_staBar->setText2(QStringLiteral("晴空万里，编编网页 ^_^")); });
    connect(m_staBar, &StaBar::RightClick, this, [this] { m_barMenu->popup(QCursor::pos()); });

    // The page's encoding and line breaks show in the third text, which
    // offers the encoding commands; the byte total counts in them.
    const auto showFormat = [this](const PageFormat &format) {
        m_staBar->setText3(format.description());
        m_richText->setByteMeasure(format.codec(), format.lineBreakText());
    };
    m_staBar->thirdLabel()->setToolTip(
        QStringLiteral("网页的编码和换行方式：点击可用其他编码重新打开或保存"));
    m_staBar->thirdLabel()->setAccessibleDescription(m_staBar->thirdLabel()->toolTip());
    m_staBar->thirdLabel()->setCursor(Qt::PointingHandCursor);
    // "已修改" shows while the page differs from what was opened or saved.
    connect(m_richText, &QPlainTextEdit::modificationChanged, m_staBar, &StaBar::setModifiedShown);
    m_staBar->setModifiedShown(m_richText->isModified());
    connect(m_session, &DocumentSession::formatChanged, this, showFormat);
    showFormat(m_session->format());
    connect(m_staBar, &StaBar::ThirdClick, this,
            [this] { m_encodingMenus->popup(QCursor::pos()); });
}

void FRAmain::RichText_MouseUp(Qt::MouseButton button, const QPoint &globalPos)
{
    CaretStatus::refreshWithCaret(*m_richText, *m_staBar);
    if (button == Qt::RightButton)
        m_editMenu->popupAfterRightClick(globalPos);
}

void FRAmain::showAbout()
{
    FRAabout about(m_prompts, this, &m_commands->launcher);
    about.exec();
}

void FRAmain::showSettings()
{
    SetFavHooks hooks;
    hooks.editorFontName = [this] { return m_richText->font().family(); };
    hooks.editorBackColor = [this] {
        return WinColor::fromColor(m_richText->palette().color(QPalette::Base));
    };
    hooks.editorTextColor = [this] {
        const QBrush brush = m_richText->currentCharFormat().foreground();
        return WinColor::fromColor(brush.style() != Qt::NoBrush
                                       ? brush.color()
                                       : m_richText->palette().color(QPalette::Text));
    };
    hooks.setAutosaveEnabled = [this](bool on) { m_commands->autosave.setEnabled(on); };
    hooks.runActiveScheme = [this] { m_schemes->runActiveScheme(); };
    hooks.launcher = &m_commands->launcher;
    SetFav dialog(m_prompts, *m_staBar, std::move(hooks), this);
    QCoreApplication::processEvents();
    dialog.exec();
}

void FRAmain::showFindWindow()
{
    FRAsearch::showFor(this, m_richText);
}

void FRAmain::showSiteSearch()
{
    SiteSearchWindow::Host host;
    host.openHere = [this](const QString &path, int line, int offset, int length) {
        return openPageAt(path, line, offset, length);
    };
    host.launcher = &m_commands->launcher;
    const QString file = m_session->CurrentFile;
    const QString folder = file.isEmpty() ? QDir::currentPath() : QFileInfo(file).absolutePath();
    SiteSearchWindow::showFor(this, m_prompts, std::move(host), QDir::toNativeSeparators(folder));
}

bool FRAmain::openPageAt(const QString &path, int line, int offset, int length)
{
    const bool samePage =
        !m_session->CurrentFile.isEmpty() && QFileInfo(m_session->CurrentFile) == QFileInfo(path);
    // The page open in the window is shown as it is, unsaved changes and all.
    if (!samePage) {
        if (!m_commands->file.MayReplaceModifiedPage() ||
            !m_commands->file.LoadNamedFileOrSay(path))
            return false;
    }
    selectInLine(line, offset + 1, length);
    activateWindow();
    raise();
    m_richText->setFocus();
    return true;
}

void FRAmain::showKeyCodeTester()
{
    Form3::showFor(this);
}
