#include "shell/framain.h"

#include "document/documentsession.h"
#include "document/filecommands.h"
#include "document/pagefile.h"
#include "editor/caretstatus.h"
#include "editor/drophandler.h"
#include "editor/editmenu.h"
#include "editor/richtextbox.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "platform/virtualkey.h"
#include "shell/caption.h"
#include "shell/commandline.h"
#include "shell/mainbands.h"
#include "shell/plainstatusarea.h"
#include "shell/toolstrip.h"
#include "shell/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDropEvent>
#include <QKeyEvent>

FRAmain::FRAmain(Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_session(new DocumentSession(this))
    , m_richText(new RichTextBox(this))
    , m_status(new PlainStatusArea(this))
    , m_fileCommands(new FileCommands(*m_richText, *m_session, *m_status, prompts))
    , m_bands(new MainBands(this, m_richText, m_status))
    , m_editMenu(new EditMenu(*m_richText, this))
    , m_dropHandler(new DropHandler(*m_richText, *m_fileCommands, *m_status, prompts,
                                    [](const QUrl &url) { QDesktopServices::openUrl(url); })) {
    setObjectName(QStringLiteral("FRAmain"));
    connect(m_session, &DocumentSession::captionChanged, this, &QWidget::setWindowTitle);
    m_session->setCaption(ProductName());
    setWindowTitle(ProductName());

    connectBands();
    connectEditingArea();

    m_status->setText(ProductName());
    m_status->setText2(QStringLiteral("欢迎使用ZelmoHTML编辑器"));

    // Design-time place and size.
    move(Twips::toPixels(WindowPlacement::kDesignLeft),
         Twips::toPixels(WindowPlacement::kDesignTop));
    resize(Twips::toPixels(WindowPlacement::kDesignWidth),
           Twips::toPixels(WindowPlacement::kDesignHeight));

    // The window sees the editing area's keys before the editing area does.
    m_richText->installEventFilter(this);
}

FRAmain::~FRAmain()
{
    delete m_dropHandler;
    delete m_fileCommands;
}

void FRAmain::connectBands()
{
    for (int i = 0; i < 3; ++i) {
        ToolStrip *strip = m_bands->Picback(i);
        connect(strip, &ToolStrip::backgroundMouseMove, this, [this] {
            m_status->setText(QStringLiteral("ZelmoHTML编辑器，我们一直在努力..."));
        });
        connect(strip, &ToolStrip::gripPressed, this, [this] {
            m_status->setText(QStringLiteral("该版本不能移动〈快捷编辑栏〉"));
        });
        connect(strip, &ToolStrip::menuRequested, this,
                [this](int, const QPoint &globalPos) { popupBarMenu(globalPos); });
    }
}

void FRAmain::connectEditingArea()
{
    m_richText->setAcceptDrops(true);
    connect(m_richText, &RichTextBox::MouseUp, this, &FRAmain::RichText_MouseUp);
    connect(m_richText, &RichTextBox::OLEDragOver, this,
            [this](QDragMoveEvent *event) { m_dropHandler->RichText_OLEDragOver(event); });
    connect(m_richText, &RichTextBox::OLEDragDrop, this,
            [this](QDropEvent *event) { m_dropHandler->RichText_OLEDragDrop(event); });
}

void FRAmain::RichText_MouseUp(Qt::MouseButton button, const QPoint &globalPos)
{
    CaretStatus::refreshWithCaret(*m_richText, *m_status);
    if (button == Qt::RightButton)
        m_editMenu->popupAfterRightClick(globalPos);
}

void FRAmain::popupBarMenu(const QPoint &) {}

int FRAmain::GetLineCount() const { return m_richText->GetLineCount(); }

int FRAmain::GetCurrentLine() const { return m_richText->GetCurrentLine(); }

qsizetype FRAmain::GetLineStart(int line) const { return m_richText->GetLineStart(line); }

void FRAmain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bands->layout();
}

StatusLine &FRAmain::status() const {
    return *m_status;
}

bool FRAmain::readStartFile(PageFile::ReadResult &page) {
    const QString path = m_session->CurrentFile;
    page = PageFile::read(path);
    if (page.ok) {
        m_fileCommands->AdoptOpenedFile(path);
        return true;
    }
    // The document stays without a file, so that a later save cannot
    // overwrite what could not be read.
    m_session->CurrentFile.clear();
    m_prompts.messageBox(QStringLiteral("文件夹不能加载"), Prompts::OkOnly, ProductName());
    return false;
}

void FRAmain::Form_Load(const QStringList &arguments) {
    bool maximise = false;
    PageFile::ReadResult startPage;
    // Each step runs only when every step before it succeeded; the window is
    // shown in any case.
    [&] {
        m_session->CurrentFile = CommandLinePath(arguments);
        if (m_session->CurrentFile.isEmpty()) {
            m_session->setCaption(ProductName());
            m_fileCommands->func_Click(2);
        } else if (!readStartFile(startPage)) {
            return;
        }

        maximise = WindowPlacement::restore(this);

        // The toolbar scheme (font and colour of the editing area included)
        // is applied here.

        // The tag completion list is loaded here.

        QCoreApplication::processEvents();
        QFont windowFont = font();
        windowFont.setPointSizeF(m_richText->font().pointSizeF());
        setFont(windowFont);
    }();

    if (maximise)
        showMaximized();
    else
        show();
    // The page read at start-up goes in once the editing area has its size:
    // a visible editing area takes a large page in much faster. Nothing is
    // painted before it is there.
    if (startPage.ok)
        m_richText->setText(std::move(startPage.text));
}

void FRAmain::Form_KeyDown(int &keyCode, int shift) {
    using namespace VirtualKey;
    if (keyCode == 'S' && shift == CtrlMask) {
        keyCode = 0;
        m_fileCommands->func_Click(1);
    } else if (keyCode == 'O' && shift == CtrlMask) {
        keyCode = 0;
        m_fileCommands->func_Click(1);
    } else if (keyCode == 'S' && shift == CtrlMask + ShiftMask) {
        keyCode = 0;
        m_session->CurrentFile.clear();
        m_fileCommands->func_Click(1);
    }
}

bool FRAmain::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_richText && event->type() == QEvent::KeyPress) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        int keyCode = VirtualKey::fromKeyEvent(keyEvent);
        const int shift = VirtualKey::shiftState(keyEvent->modifiers());
        if (keyCode != 0) {
            Form_KeyDown(keyCode, shift);
            if (keyCode == 0)
                return true;
        }
        if (keyCode == VirtualKey::Return && shift == 0)
            CaretStatus::refreshTotals(*m_richText, *m_status);
    }
    return QWidget::eventFilter(watched, event);
}

void FRAmain::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void FRAmain::Form_Unload() {
    WindowPlacement::store(this);
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}
