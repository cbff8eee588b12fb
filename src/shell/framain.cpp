#include "shell/framain.h"

#include "controls/controlaccessibility.h"
#include "controls/stabar.h"
#include "dialogs/form3.h"
#include "dialogs/fraabouticon.h"
#include "document/documentsession.h"
#include "editor/frasearch.h"
#include "editor/keycommandswiring.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "platform/caption.h"
#include "platform/pathbytes.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "platform/virtualkey.h"
#include "recovery/quitsignals.h"
#include "recovery/windowrecovery.h"
#include "schemes/schemes.h"
#include "shell/commandline.h"
#include "shell/mainbands.h"
#include "shell/maincommands.h"
#include "shell/startplace.h"
#include "shell/toolstrip.h"
#include "shell/windowkeys.h"
#include "shell/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProcess>
#include <QSessionManager>
#include <QTimer>

FRAmain::FRAmain(Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_session(new DocumentSession(this))
    , m_richText(new RichTextBox(this))
    , m_staBar(new StaBar(this))
    , m_bands(new MainBands(this, m_richText, m_staBar))
    , m_commands(std::make_unique<MainCommands>(this, *m_richText, *m_staBar, *m_session, prompts))
{
    installControlAccessibility();
    setObjectName(QStringLiteral("FRAmain"));
    setWindowIcon(ProgramIcon());
    m_staBar->setObjectName(QStringLiteral("StaBar1"));
    connect(m_session, &DocumentSession::captionChanged, this, &QWidget::setWindowTitle);
    m_session->setCaption(ProductName());
    setWindowTitle(ProductName());

    m_buttons = MainButtons::create(m_bands->Picback(0), m_bands->Picback(1), m_bands->Picback(2));
    m_snippetWidgets =
        createSnippetWidgets(m_bands->Picback(0), m_bands->Picback(1), m_bands->Picback(2),
                             m_commands->tags, m_commands->lists);
    createMenus();
    connectBands();
    connectButtons();
    connectEditingArea();
    connectStatusBar();
    connectRecovery();
    new WindowKeys(*this, [this](int &keyCode, int shift) { Form_KeyDown(keyCode, shift); });

    m_staBar->setText(ProductName());
    m_staBar->setText2(QStringLiteral("欢迎使用ZelmoHTML编辑器"));

    // Design-time place and size.
    move(Twips::toPixels(WindowPlacement::kDesignLeft),
         Twips::toPixels(WindowPlacement::kDesignTop));
    resize(Twips::toPixels(WindowPlacement::kDesignWidth),
           Twips::toPixels(WindowPlacement::kDesignHeight));
}

FRAmain::~FRAmain() = default;

StatusLine &FRAmain::status() const
{
    return *m_staBar;
}

FileCommands &FRAmain::fileCommands() const
{
    return m_commands->file;
}

TagCompletion &FRAmain::completion() const
{
    return m_keys->completion();
}

void FRAmain::readStartFile(PageFile::ReadResult &page, const QStringList &arguments)
{
    QString path = m_session->CurrentFile;
    QString note;
    // A shell's "*.htm" names several pages; a window opens the first.
    struct stat info = {};
    if (!PathBytes::stat(path, info) && arguments.size() > 1) {
        const QString first = CommandLinePath(arguments.mid(0, 1));
        if (PathBytes::stat(first, info) && S_ISREG(info.st_mode)) {
            path = first;
            note = QStringLiteral("（一个窗口只打开一个网页，其余的没有打开）");
        }
    }
    QString error;
    if (m_commands->file.CheckPageSize(path, &error)) {
        page = PageFile::read(path);
        if (page.ok) {
            m_commands->file.AdoptOpenedPage(path, page);
            m_staBar->setText2(m_staBar->Text2() + note);
            return;
        }
        error = page.error;
        if (path.contains(QChar::ReplacementCharacter))
            error += QStringLiteral("（文件名里有不是 UTF-8 的字节）");
    }
    // The document stays without a file, so that a later save cannot
    // overwrite what could not be read.
    m_session->CurrentFile.clear();
    if (error.isEmpty()) { // a very large page the user chose not to open
        m_staBar->setText2(QStringLiteral("打开取消 --") + PathBytes::readable(path));
        return;
    }
    m_prompts.messageBox(QStringLiteral("文件夹不能加载"), Prompts::OkOnly, ProductName());
    m_staBar->setText2(QStringLiteral("加载失败：") + error + QStringLiteral(" --") +
                       PathBytes::readable(path));
}

void FRAmain::Form_Load(const QStringList &arguments)
{
    PageFile::ReadResult startPage;
    m_loading = true;
    QStringList pageArguments = arguments;
    const std::optional<StartPlace> place = TakeStartPlace(pageArguments);
    m_session->CurrentFile = CommandLinePath(pageArguments);
    // After the message, a file that cannot be loaded is as if none had
    // been named: the page skeleton and every further step follow.
    if (!m_session->CurrentFile.isEmpty())
        readStartFile(startPage, pageArguments);
    if (m_session->CurrentFile.isEmpty()) {
        m_session->setCaption(ProductName());
        m_commands->file.func_Click(2);
    }

    const bool maximise = WindowPlacement::restore(this);
    m_schemes->runStoredScheme();
    // Without the word list the completion list opens empty.
    if (!m_keys->LoadTagList())
        m_staBar->setText2(QStringLiteral("tags.dat 读取失败，标签列表为空"));
    QCoreApplication::processEvents();
    m_loading = false;

    if (maximise)
        showMaximized();
    else
        show();
    // The page read at start-up goes in once the editing area has its size:
    // a visible editing area takes a large page in much faster. Nothing is
    // painted before it is there.
    if (startPage.ok)
        m_richText->setPageText(std::move(startPage.page));
    // The page as it starts is the page as opened or made new.
    m_richText->setModified(false);
    if (startPage.ok && place)
        selectInLine(place->line, place->column, 0);
    m_richText->setFocus();

    // Work that windows no longer running left unsaved; another page
    // recovered goes into a window of its own.
    m_recovery->recoverAtStart([](const QString &journal) {
        QProcess process;
        process.setProgram(QCoreApplication::applicationFilePath());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(WindowRecovery::kRecoverVariable), journal);
        process.setProcessEnvironment(environment);
        process.startDetached();
    });
}

void FRAmain::selectInLine(int line, qint64 column, qsizetype length)
{
    // Past the last line is the last line; past a line's end, its end.
    line = qBound(1, line, GetLineCount());
    const qsizetype start = GetLineStart(line - 1);
    const qsizetype next = GetLineStart(line);
    const qsizetype end =
        next >= 0 ? next - 2
                  : m_richText->toModelPosition(m_richText->document()->characterCount() - 1);
    m_richText->setSelStart(start + qMin(column - 1, end - start));
    m_richText->setSelLength(length);
    m_richText->ensureCursorVisible();
}

void FRAmain::Form_KeyDown(int &keyCode, int shift)
{
    using namespace VirtualKey;
    if (shift == 0) {
        switch (keyCode) {
        case F1:
            showAbout();
            return;
        case F1 + 1:
            showSettings();
            return;
        case F1 + 2:
            m_schemes->menfdafealt_Click();
            return;
        case F1 + 3:
            m_schemes->menfdiy_Click();
            return;
        case F1 + 8:
            m_commands->preview.shoot_Click();
            return;
        default:
            return;
        }
    }
    if ((keyCode == 'S' || keyCode == 'O') && shift == CtrlMask) {
        keyCode = 0;
        m_commands->file.func_Click(1);
    } else if (keyCode == 'F' && shift == CtrlMask) {
        showFindWindow();
    } else if (keyCode == 'F' && shift == CtrlMask + ShiftMask) {
        keyCode = 0;
        showSiteSearch();
    } else if (keyCode == 'S' && shift == CtrlMask + ShiftMask) {
        keyCode = 0;
        m_session->CurrentFile.clear();
        m_commands->file.func_Click(1);
    }
}

int FRAmain::GetLineCount() const
{
    return m_richText->GetLineCount();
}

int FRAmain::GetCurrentLine() const
{
    return m_richText->GetCurrentLine();
}

qsizetype FRAmain::GetLineStart(int line) const
{
    return m_richText->GetLineStart(line);
}

void FRAmain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bands->layout();
}

void FRAmain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Back from another program: has it changed the page? Asked once the
    // activation has settled, never inside it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_loading)
        QTimer::singleShot(0, m_recovery, [this] { m_recovery->watch().check(); });
}

void FRAmain::connectRecovery()
{
    m_recovery = new WindowRecovery(*m_richText, *m_session, *m_staBar, m_prompts, this);
    connect(m_richText, &RichTextBox::Change, &m_recovery->journal(), &RecoveryJournal::noteEdit);
    FileCommands::PageHooks hooks;
    hooks.mayWrite = [this](const QString &path) { return m_recovery->mayWrite(path); };
    hooks.written = [this](const QString &path) { m_recovery->pageWritten(path); };
    hooks.read = [this](const QString &path) { m_recovery->pageRead(path); };
    m_commands->file.setPageHooks(std::move(hooks));
    m_recovery->watch().setSaveOver([this] { return m_commands->file.Save(); });
    m_recovery->watch().setIsActive([this] { return isActiveWindow(); });
    m_recovery->setMayReplace([this] { return m_commands->file.MayReplaceModifiedPage(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { commitSessionData(); });
    // A logout the user cancelled says nothing; typing again tells that
    // the session goes on, and closing asks once more.
    connect(m_richText->document(), &QTextDocument::contentsChanged, this,
            [this] { m_sessionEnding = false; });
}

void FRAmain::commitSessionData()
{
    m_sessionEnding = true;
    m_recovery->journal().writeNow();
}

void FRAmain::endBySignal(int signal)
{
    m_recovery->journal().writeNow();
    WindowPlacement::store(this);
    QuitSignals::endBy(signal);
}

void FRAmain::closeEvent(QCloseEvent *event)
{
    if (m_sessionEnding) {
        m_recovery->journal().writeNow();
        Form_Unload();
        event->accept();
        return;
    }
    // A cancelled or failed save keeps the window.
    if (!m_commands->file.MayCloseModifiedPage()) {
        event->ignore();
        return;
    }
    // Still changed: the user dropped the edits, and nothing is left to
    // recover.
    if (m_richText->isModified())
        m_recovery->journal().remove();
    Form_Unload();
    event->accept();
}

void FRAmain::Form_Unload()
{
    WindowPlacement::store(this);
    // Closing the main window ends the program, whatever else is open; the
    // other windows close without their own handling.
    FRAsearch::unload();
    Form3::unload();
    QCoreApplication::quit();
}
