#include "editor/frasearch.h"

#include "controls/controlaccessibility.h"
#include "editor/findreplace.h"
#include "editor/richtextbox.h"
#include "platform/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const QString kFindNextCaption = QStringLiteral("查找下一个");
const QString kNotFoundCaption = QStringLiteral("找不到了");

// Client width and the room the title bar and borders take from the
// window's outer height, in twips.
constexpr int kClientWidth = 5835;
constexpr int kFrameHeight = 405;

struct Layout {
    int height;      // outer height of the window
    int checksTop;   // Check1 and Check2
    int exitTop;     // Commexit
    bool showFrame1; // the replace row
};

constexpr Layout kCompact{1700, 848, 843, false};
constexpr Layout kFull{2760, 1900, 1920, true};

QPointer<FRAsearch> gLoaded;

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width),
                        Twips::toPixels(height));
}

void moveTop(QWidget *widget, int top)
{
    widget->move(widget->x(), Twips::toPixels(top));
}

void useLabelFont(QLabel *label)
{
    QFont font = label->font();
    font.setFamily(QStringLiteral("宋体"));
    label->setFont(font);
}

} // namespace

FRAsearch *FRAsearch::loaded()
{
    return gLoaded;
}

void FRAsearch::unload()
{
    delete gLoaded.data();
}

FRAsearch *FRAsearch::showFor(QWidget *owner, RichTextBox *richText)
{
    FRAsearch *window = gLoaded;
    if (window && (window->parentWidget() != owner || window->m_richText != richText)) {
        unload();
        window = nullptr;
    }
    if (!window) {
        window = new FRAsearch(owner, richText);
        gLoaded = window;
        window->Form_Load();
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

FRAsearch::FRAsearch(QWidget *owner, RichTextBox *richText)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
    , m_richText(richText)
    , m_findReplace(std::make_unique<FindReplace>(*richText))
    , m_label1(new QLabel(QStringLiteral("查找内容："), this))
    , m_findText(new QLineEdit(this))
    , m_findNext(new QPushButton(kFindNextCaption, this))
    , m_frame1(new QGroupBox(this))
    , m_label2(new QLabel(QStringLiteral("替换为："), m_frame1))
    , m_replaceText(new QLineEdit(m_frame1))
    , m_replace(new QPushButton(QStringLiteral("替换"), m_frame1))
    , m_replaceAll(new QPushButton(QStringLiteral("全部替换"), m_frame1))
    , m_check1(new QCheckBox(QStringLiteral("替换"), this))
    , m_check2(new QCheckBox(QStringLiteral("区分大小写"), this))
    , m_exit(new QPushButton(QStringLiteral("取消"), this))
{
    installControlAccessibility();
    setObjectName(QStringLiteral("FRAsearch"));
    setWindowTitle(QStringLiteral("查找"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_findText->setObjectName(QStringLiteral("Txtfindstr"));
    m_findNext->setObjectName(QStringLiteral("commFindStr"));
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_replaceText->setObjectName(QStringLiteral("txtreplacestr"));
    m_replace->setObjectName(QStringLiteral("commRpalceStr"));
    m_replaceAll->setObjectName(QStringLiteral("CommAllReplace"));
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_exit->setObjectName(QStringLiteral("Commexit"));

    useLabelFont(m_label1);
    useLabelFont(m_label2);
    place(m_label1, 240, 240, 1050, 210);
    place(m_findText, 1560, 240, 2295, 300);
    place(m_findNext, 4200, 240, 1455, 300);
    place(m_frame1, 240, 720, 5535, 975);
    place(m_label2, 240, 360, 960, 240);
    place(m_replaceText, 1320, 360, 2295, 300);
    place(m_replace, 3960, 120, 1455, 300);
    place(m_replaceAll, 3960, 600, 1455, 300);
    place(m_check1, 480, kFull.checksTop, 855, 255);
    place(m_check2, 2040, kFull.checksTop, 1575, 255);
    place(m_exit, 4200, kFull.exitTop, 1455, 300);
    refreshload(Compact);

    setTabOrder(m_findText, m_findNext);
    m_findText->setFocus();
    m_findText->installEventFilter(this);

    connect(m_findNext, &QPushButton::clicked, this, &FRAsearch::commFindStr_Click);
    connect(m_replace, &QPushButton::clicked, this, &FRAsearch::commRpalceStr_Click);
    connect(m_replaceAll, &QPushButton::clicked, this, &FRAsearch::CommAllReplace_Click);
    // The tick, however it changes (mouse, keyboard, assistive technology).
    connect(m_check1, &QCheckBox::toggled, this, &FRAsearch::Check1_Click);
    connect(m_exit, &QPushButton::clicked, this, &FRAsearch::Commexit_Click);
    // Enter in a field does what its button does; in the find field it
    // first makes "查找下一个" ready again, as a click into the field does,
    // so that the keyboard alone gets past "找不到了".
    connect(m_findText, &QLineEdit::returnPressed, this, [this] {
        Txtfindstr_Click();
        commFindStr_Click();
    });
    connect(m_replaceText, &QLineEdit::returnPressed, this, &FRAsearch::commRpalceStr_Click);
}

FRAsearch::~FRAsearch() = default;

void FRAsearch::refreshload(int way)
{
    if (way != Compact && way != Full)
        return;
    m_compact = way == Compact;
    const Layout &layout = m_compact ? kCompact : kFull;
    m_height = layout.height;
    setFixedSize(Twips::toPixels(kClientWidth), Twips::toPixels(layout.height - kFrameHeight));
    moveTop(m_check1, layout.checksTop);
    moveTop(m_check2, layout.checksTop);
    moveTop(m_exit, layout.exitTop);
    m_frame1->setVisible(layout.showFrame1);
}

void FRAsearch::Form_Load()
{
    refreshload(Compact);
    // Above all other windows, not only above the owner.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    centreOverOwner();
}

void FRAsearch::centreOverOwner()
{
    const QWidget *owner = parentWidget();
    if (!owner)
        return;
    // Outer rectangles: the owner's frame, this window's outer height as
    // its layout sets it.
    const QRect ownerFrame = owner->frameGeometry();
    const int width = frameGeometry().width();
    const int height = Twips::toPixels(m_height);
    move(ownerFrame.left() + qAbs(ownerFrame.width() - width) / 2,
         ownerFrame.top() + qAbs(ownerFrame.height() - height) / 2);
}

Qt::CaseSensitivity FRAsearch::caseSensitivity() const
{
    return m_check2->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

void FRAsearch::commFindStr_Click()
{
    if (!m_richText)
        return;
    if (m_findReplace->FindNextMatch(m_findText->text(), caseSensitivity()))
        return;
    // No wrap-around: the button rests until the find field is clicked.
    m_findNext->setEnabled(false);
    m_findNext->setText(kNotFoundCaption);
    m_findText->setFocus();
}

void FRAsearch::Txtfindstr_Click()
{
    m_findNext->setEnabled(true);
    m_findNext->setText(kFindNextCaption);
}

void FRAsearch::commRpalceStr_Click()
{
    if (m_richText)
        m_findReplace->ReplaceSelection(m_replaceText->text());
}

void FRAsearch::CommAllReplace_Click()
{
    if (m_richText)
        m_findReplace->ReplaceAll(m_findText->text(), m_replaceText->text(), caseSensitivity());
}

void FRAsearch::Check1_Click()
{
    refreshload(m_check1->isChecked() ? Full : Compact);
}

void FRAsearch::Commexit_Click()
{
    close();
}

void FRAsearch::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // Unloaded from now on, though deleted only once control returns to
    // the event loop: the next opening loads a new window.
    if (gLoaded == this)
        gLoaded = nullptr;
}

void FRAsearch::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the window, as "取消" does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Commexit_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FRAsearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_findText && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Txtfindstr_Click();
    return QWidget::eventFilter(watched, event);
}
