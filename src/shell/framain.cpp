#include "shell/framain.h"

#include "document/documentsession.h"
#include "document/filecommands.h"
#include "document/pagefile.h"
#include "editor/richtextbox.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "platform/virtualkey.h"
#include "shell/caption.h"
#include "shell/commandline.h"
#include "shell/plainstatusarea.h"
#include "shell/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

FRAmain::FRAmain(Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_session(new DocumentSession(this))
    , m_richText(new RichTextBox(this))
    , m_status(new PlainStatusArea(this))
    , m_fileCommands(new FileCommands(*m_richText, *m_session, *m_status, prompts)) {
    setObjectName(QStringLiteral("FRAmain"));
    connect(m_session, &DocumentSession::captionChanged, this, &QWidget::setWindowTitle);
    m_session->setCaption(ProductName());
    setWindowTitle(ProductName());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_richText, 1);
    layout->addWidget(m_status);

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

FRAmain::~FRAmain() {
    delete m_fileCommands;
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
        if (keyCode != 0) {
            Form_KeyDown(keyCode, VirtualKey::shiftState(keyEvent->modifiers()));
            if (keyCode == 0)
                return true;
        }
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
