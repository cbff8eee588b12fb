#include "editor/frasearch.h"

#include "controls/controlaccessibility.h"
#include "editor/findreplace.h"
#include "editor/richtextbox.h"
#include "platform/settingsfile.h"
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

// The row of the search options and the line that says why a pattern is
// invalid lie below the boxes, in either layout.
constexpr int kOptionsRow = 330;
constexpr int kErrorRow = 300;
constexpr Layout kCompact{1700 + kOptionsRow + kErrorRow, 848, 843, false};
constexpr Layout kFull{2760 + kOptionsRow + kErrorRow, 1900, 1920, true};

const QString kSettingsSection = QStringLiteral("main");
const QString kRegexKey = QStringLiteral("findregex");
const QString kWordKey = QStringLiteral("findword");

bool storedTick(const QString &key)
{
    return ReadSetting(kSettingsSection, key, QStringLiteral("0")) == QLatin1String("1");
}

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
    , m_checkRegex(new QCheckBox(QStringLiteral("正则表达式"), this))
    , m_checkWord(new QCheckBox(QStringLiteral("全字匹配"), this))
    , m_patternError(new QLabel(this))
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
    m_checkRegex->setObjectName(QStringLiteral("CheckRegex"));
    m_checkWord->setObjectName(QStringLiteral("CheckWord"));
    m_patternError->setObjectName(QStringLiteral("LabPatternError"));
    m_patternError->setWordWrap(false);
    m_patternError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_checkRegex->setChecked(storedTick(kRegexKey));
    m_checkWord->setChecked(storedTick(kWordKey));

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
    place(m_checkRegex, 480, kFull.checksTop + kOptionsRow, 1455, 255);
    place(m_checkWord, 2040, kFull.checksTop + kOptionsRow, 1575, 255);
    place(m_patternError, 240, kFull.checksTop + kOptionsRow + kErrorRow, 5535, 255);
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
    for (QCheckBox *box : {m_checkRegex, m_checkWord}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            storeOptions();
            checkPattern();
        });
    }
    connect(m_findText, &QLineEdit::textChanged, this, [this] { checkPattern(); });
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
    moveTop(m_checkRegex, layout.checksTop + kOptionsRow);
    moveTop(m_checkWord, layout.checksTop + kOptionsRow);
    moveTop(m_patternError, layout.checksTop + kOptionsRow + kErrorRow);
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

SearchOptions FRAsearch::searchOptions() const
{
    SearchOptions options;
    options.cs = m_check2->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    options.regex = m_checkRegex->isChecked();
    options.wholeWord = m_checkWord->isChecked();
    return options;
}

bool FRAsearch::checkPattern()
{
    const SearchOptions options = searchOptions();
    const QString findText = m_findText->text();
    // An empty text is no error here: find next has always taken it.
    QString error;
    if (options.regex && !findText.isEmpty())
        error = SearchPattern(findText, options).error();
    m_patternError->setText(error);
    m_patternError->setToolTip(error);
    return error.isEmpty();
}

void FRAsearch::storeOptions()
{
    WriteSetting(kSettingsSection, kRegexKey,
                 m_checkRegex->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    WriteSetting(kSettingsSection, kWordKey,
                 m_checkWord->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void FRAsearch::commFindStr_Click()
{
    if (!m_richText || !checkPattern())
        return;
    if (m_findReplace->FindNextMatch(m_findText->text(), searchOptions()))
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
    if (m_richText && checkPattern())
        m_findReplace->ReplaceAll(m_findText->text(), m_replaceText->text(), searchOptions());
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
