#include "settings/setfav.h"

#include "platform/launcher.h"

#include "controls/zmbutton.h"
#include "controls/zmline.h"
#include "dialogs/fraaboutinfo.h"
#include "dialogs/frmpath.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "settings/colorswatch.h"
#include "settings/toolbarchoice.h"
#include "settings/toolbarpage.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The tab column, in twips.
constexpr double kColumnWidth = 1440;
constexpr double kTabLeft = 210;
constexpr double kTabTop = 150;
constexpr double kTabStep = 480;
constexpr double kTabWidth = 1110;
constexpr double kTabHeight = 405;

struct TabInfo {
    const char *caption;
    int page;
    Qt::Key key;
};

// The check box of "保存成功提示" for each stored value 0, 1 and 2.
constexpr Qt::CheckState kSaveMessageChecks[3] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

constexpr TabInfo kTabs[5] = {
    {"保  存(S)", SetFav::SavePage, Qt::Key_S},         {"工作区(W)", SetFav::WorkPage, Qt::Key_W},
    {"快速拦(C)", SetFav::ToolbarPageIndex, Qt::Key_C}, {"杂  项(O)", SetFav::MiscPage, Qt::Key_O},
    {"关  于(A)", SetFav::AboutPage, Qt::Key_A},
};

SetFavHooks withFallbacks(SetFavHooks hooks)
{
    if (!hooks.editorFontName)
        hooks.editorFontName = [] { return SetFavStore::storedFontName(); };
    if (!hooks.editorBackColor)
        hooks.editorBackColor = [] { return SetFavStore::storedTableColor(); };
    if (!hooks.editorTextColor)
        hooks.editorTextColor = [] { return quint32(0); };
    if (!hooks.launcher)
        hooks.launcher = &desktopLauncher();
    if (!hooks.chooseFolder)
        hooks.chooseFolder = [](QWidget *owner, QString &start) {
            return ChooseFolder(owner, start, 0, 0);
        };
    return hooks;
}

} // namespace

SetFav::SetFav(Prompts &prompts, StatusLine &status, SetFavHooks hooks, QWidget *owner)
    : QDialog(owner)
    , m_prompts(prompts)
    , m_status(status)
    , m_hooks(withFallbacks(std::move(hooks)))
{
    setObjectName(QStringLiteral("SetFav"));
    setWindowTitle(QStringLiteral("设置..."));
    setModal(true);

    auto *column = new QWidget(this);
    buildTabs(column);

    m_pages = new QStackedWidget(this);
    m_frames[SavePage] = buildSavePage();
    m_frames[WorkPage] = buildWorkPage();
    m_frames[MiscPage] = buildMiscPage();
    m_toolbarPage = new ToolbarPage(this);
    connect(m_toolbarPage->setbufaceing(), &zmBUTTon::click, this, &SetFav::setbufaceing_Click);
    m_frames[ToolbarPageIndex] = m_toolbarPage;
    m_frames[AboutPage] = buildAboutPage();
    for (int i = 0; i < 5; ++i) {
        m_frames[i]->setObjectName(QStringLiteral("Framback(%1)").arg(i));
        m_pages->addWidget(m_frames[i]);
    }

    m_newRevision = new QLabel(
        QStringLiteral("<a href=\"newest\">%1</a>").arg(QStringLiteral("看看最新版本")), this);
    m_newRevision->setObjectName(QStringLiteral("newRevision"));
    m_newRevision->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                           Qt::LinksAccessibleByKeyboard);
    m_newRevision->setAccessibleName(QStringLiteral("看看最新版本"));
    connect(m_newRevision, &QLabel::linkActivated, this, [this] { newRevision_Click(); });

    m_doit = new QPushButton(QStringLiteral("应用"), this);
    m_doit->setObjectName(QStringLiteral("doit"));
    m_exit = new QPushButton(QStringLiteral("关闭"), this);
    m_exit->setObjectName(QStringLiteral("EXIT"));
    for (QPushButton *button : {m_doit, m_exit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_doit, &QPushButton::clicked, this, &SetFav::doit_Click);
    connect(m_exit, &QPushButton::clicked, this, &SetFav::EXIT_Click);

    auto *line1 = new ZMLine(1, this);
    line1->setObjectName(QStringLiteral("ZMLine1"));
    auto *line3 = new ZMLine(0, this);
    line3->setObjectName(QStringLiteral("ZMLine3"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_newRevision);
    bottom->addStretch(1);
    bottom->addWidget(m_doit);
    bottom->addWidget(m_exit);

    auto *right = new QVBoxLayout;
    right->addWidget(m_pages, 1);
    right->addWidget(line3);
    right->addLayout(bottom);

    auto *layout = new QHBoxLayout(this);
    const int margin = Twips::toPixels(120);
    layout->setContentsMargins(0, margin, margin, margin);
    layout->addWidget(column);
    layout->addWidget(line1);
    layout->addLayout(right, 1);

    resize(QSize(Twips::toPixels(6000), Twips::toPixels(3465)).expandedTo(sizeHint()));

    Form_Load();
    qApp->installEventFilter(this);
}

SetFav::~SetFav()
{
    qApp->removeEventFilter(this);
}

void SetFav::buildTabs(QWidget *column)
{
    column->setFixedWidth(Twips::toPixels(kColumnWidth));
    column->setMinimumHeight(Twips::toPixels(kTabTop + 4 * kTabStep + kTabHeight));
    for (int i = 0; i < 5; ++i) {
        auto *tab = new zmBUTTon(QString::fromUtf8(kTabs[i].caption), column);
        tab->setObjectName(QStringLiteral("zmBUTTon%1").arg(i + 1));
        tab->setGeometry(Twips::toPixels(kTabLeft), Twips::toPixels(kTabTop + i * kTabStep),
                         Twips::toPixels(kTabWidth), Twips::toPixels(kTabHeight));
        connect(tab, &zmBUTTon::click, this, [this, i] { showTab(i + 1); });
        m_tabs[i] = tab;
    }
    // The marker of the chosen tab: a pointer.
    m_sign = new QLabel(column);
    m_sign->setObjectName(QStringLiteral("sign"));
    if (QFontDatabase::families().contains(QStringLiteral("Marlett"))) {
        m_sign->setFont(QFont(QStringLiteral("Marlett")));
        m_sign->setText(QStringLiteral("4"));
    } else {
        m_sign->setText(QStringLiteral("▶"));
    }
    m_sign->setAccessibleName(QStringLiteral("当前页"));
    m_sign->adjustSize();
}

void SetFav::Form_Load()
{
    m_txtFontName->addItems(QFontDatabase::families());
    m_toolbarPage->Fill();
    m_labBackColor->setColor(m_hooks.editorBackColor());
    const quint32 textColor = m_hooks.editorTextColor();
    m_labYufa->setColor(textColor);
    m_labQitaColor->setColor(textColor);
    m_comboFontSize->addItems({QStringLiteral("9"), QStringLiteral("12"), QStringLiteral("16")});
    showTab(1);
    showTab(2);
    showTab(5);
}

zmBUTTon *SetFav::tab(int number) const
{
    return number >= 1 && number <= 5 ? m_tabs[number - 1] : nullptr;
}

QFrame *SetFav::Framback(int page) const
{
    return page >= 0 && page < 5 ? m_frames[page] : nullptr;
}

int SetFav::shownPage() const
{
    return m_pages->currentIndex();
}

QCheckBox *SetFav::miscCheck(int number) const
{
    return number >= 1 && number <= 5 ? m_misc[number - 1] : nullptr;
}

void SetFav::showTab(int number)
{
    zmBUTTon *chosen = tab(number);
    if (!chosen)
        return;
    // The marker stands at the left edge, centred on the tab.
    const double tabTop = Twips::fromPixels(chosen->y());
    const double difference =
        std::round(Twips::fromPixels(chosen->height()) - Twips::fromPixels(m_sign->height()));
    const double top = tabTop + std::trunc(difference / 2);
    m_sign->move(0, Twips::toPixels(top));

    m_pages->setCurrentIndex(kTabs[number - 1].page);
    if (number == 1)
        loadSavePage();
    else if (number == 2)
        loadWorkPage();
}

void SetFav::loadSavePage()
{
    const SavePageSettings page = SetFavStore::readSavePage();
    m_txtTimeSave->setText(page.timePath);
    m_checkSaveMsg->setCheckState(kSaveMessageChecks[page.saveMessage]);
    m_checkTimeFlag->setChecked(page.timeFlag);
    m_txtTimeSave->setEnabled(page.timeFlag);
}

void SetFav::loadWorkPage()
{
    m_txtFontName->setCurrentText(m_hooks.editorFontName());
    m_comboFontSize->setCurrentText(SetFavStore::storedFontSize());
}

bool SetFav::saveMessageTicked() const
{
    return m_checkSaveMsg->checkState() == Qt::Checked;
}

SetFavFields SetFav::fields() const
{
    SetFavFields f;
    f.timePath = m_txtTimeSave->text();
    f.timeFlag = m_checkTimeFlag->isChecked();
    f.saveMessage =
        int(std::find(kSaveMessageChecks, kSaveMessageChecks + 3, m_checkSaveMsg->checkState()) -
            kSaveMessageChecks);
    f.fontName = m_txtFontName->currentText();
    f.fontSize = m_comboFontSize->currentText();
    f.tableColor = m_labBackColor->color();
    f.tagColor = m_labYufa->color();
    f.otherColor = m_labQitaColor->color();
    f.firstTicks = m_toolbarPage->firstTicks();
    f.secondTicks = m_toolbarPage->secondTicks();
    return f;
}

void SetFav::doit_Click()
{
    switch (SetFavStore::Apply(fields(), m_hooks, m_prompts, m_status)) {
    case SetFavStore::ApplyResult::Applied:
        accept();
        break;
    case SetFavStore::ApplyResult::FolderError:
        m_txtTimeSave->setText(SetFavStore::storedTimePath());
        break;
    case SetFavStore::ApplyResult::Failed:
        reject();
        break;
    }
}

void SetFav::EXIT_Click()
{
    reject();
}

void SetFav::CommGetPATH_Click()
{
    QString start = m_txtTimeSave->text();
    const QString chosen = m_hooks.chooseFolder(this, start);
    if (chosen != FRMpath::canceledResult())
        m_txtTimeSave->setText(chosen);
}

void SetFav::ImgOpenPATH_Click()
{
    const QString folder = m_txtTimeSave->text();
    if (SetFavStore::folderExists(folder)) {
        openOrSay(*m_hooks.launcher, m_prompts, QUrl::fromLocalFile(folder));
        return;
    }
    m_prompts.messageBox(QStringLiteral("路径不正确，请填写正确的路径！"), Prompts::OkOnly,
                         QStringLiteral("提示"));
}

void SetFav::Labbackcolor_Click()
{
    if (const std::optional<quint32> chosen = m_prompts.chooseColor(m_labBackColor->color()))
        m_labBackColor->setColor(*chosen);
    else
        m_labBackColor->setColor(SetFavStore::storedTableColor());
}

void SetFav::setbufaceing_Click()
{
    const QRect frame = frameGeometry();
    const QPoint position(frame.left() + Twips::toPixels(100),
                          frame.top() + (frame.height() - height()));
    ToolbarChoice::NameCustomScheme(m_prompts, m_status, position);
}

void SetFav::newRevision_Click()
{
    openOrSay(*m_hooks.launcher, m_prompts, QUrl(MakerLinks::newestVersionPage()));
}

void SetFav::aboutText_Click()
{
    QGuiApplication::clipboard()->setText(MakerLinks::contactMail());
    m_prompts.messageBox(QStringLiteral("邮件地址已经成功复制"), Prompts::OkOnly,
                         QStringLiteral("恭喜"));
}

bool SetFav::previewKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        doit_Click();
        return true;
    }
    if (modifiers == Qt::AltModifier) {
        for (int i = 0; i < 5; ++i) {
            if (event->key() == kTabs[i].key) {
                showTab(i + 1);
                return true;
            }
        }
    }
    return false;
}

bool SetFav::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && isVisible()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget == this || isAncestorOf(widget))
            return previewKey(static_cast<QKeyEvent *>(event));
    }
    if (watched == m_txtTimeSave && event->type() == QEvent::MouseButtonDblClick) {
        m_txtTimeSave->selectAll();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
