// The pages of the settings dialog: their controls and what each control
// does on its own page.
#include "settings/setfav.h"

#include "controls/clicklabel.h"
#include "controls/zmline.h"
#include "dialogs/fraaboutinfo.h"
#include "platform/caption.h"
#include "settings/colorswatch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFrame *newPage(QWidget *parent)
{
    auto *page = new QFrame(parent);
    page->setFrameShape(QFrame::NoFrame);
    return page;
}

ClickLabel *fieldLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new ClickLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QFrame *SetFav::buildSavePage()
{
    QFrame *page = newPage(this);
    m_checkSaveMsg = new QCheckBox(QStringLiteral("保存成功提示"), page);
    m_checkSaveMsg->setObjectName(QStringLiteral("CheckSaveMsg"));
    m_checkTimeFlag = new QCheckBox(QStringLiteral("每5分钟自动保存(文件夹)"), page);
    m_checkTimeFlag->setObjectName(QStringLiteral("Checktimeflag"));

    m_txtTimeSave = new QLineEdit(page);
    m_txtTimeSave->setObjectName(QStringLiteral("Txttimesave"));
    m_txtTimeSave->setAccessibleName(QStringLiteral("自动保存文件夹"));
    m_commGetPath = new QPushButton(QStringLiteral("..."), page);
    m_commGetPath->setObjectName(QStringLiteral("CommGetPATH"));
    m_commGetPath->setAccessibleName(QStringLiteral("选择文件夹"));
    m_commGetPath->setAutoDefault(false);
    m_commGetPath->setFixedWidth(
        m_commGetPath->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    m_imgOpenPath = new QToolButton(page);
    m_imgOpenPath->setObjectName(QStringLiteral("ImgOpenPATH"));
    m_imgOpenPath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_imgOpenPath->setToolTip(QStringLiteral("打开文件夹"));
    m_imgOpenPath->setAccessibleName(QStringLiteral("打开文件夹"));

    connect(m_checkTimeFlag, &QCheckBox::toggled, m_txtTimeSave, &QWidget::setEnabled);
    connect(m_txtTimeSave, &QLineEdit::textChanged, m_txtTimeSave, &QWidget::setToolTip);
    connect(m_commGetPath, &QPushButton::clicked, this, &SetFav::CommGetPATH_Click);
    connect(m_imgOpenPath, &QToolButton::clicked, this, &SetFav::ImgOpenPATH_Click);

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_txtTimeSave, 1);
    folderRow->addWidget(m_commGetPath);
    folderRow->addWidget(m_imgOpenPath);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_checkSaveMsg);
    layout->addWidget(m_checkTimeFlag);
    layout->addLayout(folderRow);
    layout->addStretch(1);
    return page;
}

QFrame *SetFav::buildWorkPage()
{
    QFrame *page = newPage(this);
    m_txtFontName = new QComboBox(page);
    m_txtFontName->setObjectName(QStringLiteral("Txtfontname"));
    m_txtFontName->setEditable(true);
    m_txtFontName->setInsertPolicy(QComboBox::NoInsert);
    m_comboFontSize = new QComboBox(page);
    m_comboFontSize->setObjectName(QStringLiteral("Combofontsize"));
    m_comboFontSize->setEditable(true);
    m_comboFontSize->setInsertPolicy(QComboBox::NoInsert);

    m_labBackColor = new ColorSwatch(page);
    m_labBackColor->setObjectName(QStringLiteral("Labbackcolor"));
    m_labYufa = new ColorSwatch(page);
    m_labYufa->setObjectName(QStringLiteral("Labyufa"));
    m_labYufa->setReadOnly(true);
    m_labQitaColor = new ColorSwatch(page);
    m_labQitaColor->setObjectName(QStringLiteral("Labqitacolor"));
    m_labQitaColor->setReadOnly(true);

    m_fontNameLabel = fieldLabel(QStringLiteral("字体:"), m_txtFontName, page);
    m_fontSizeLabel = fieldLabel(QStringLiteral("字号:"), m_comboFontSize, page);
    m_backColorLabel = fieldLabel(QStringLiteral("工作区颜色:"), m_labBackColor, page);
    for (ClickLabel *label : {m_fontNameLabel, m_fontSizeLabel, m_backColorLabel})
        label->setToolTip(QStringLiteral("双击试试"));
    auto *tagLabel = fieldLabel(QStringLiteral("语法颜色:"), m_labYufa, page);
    auto *otherLabel = fieldLabel(QStringLiteral("标准颜色:"), m_labQitaColor, page);
    m_labBackColor->setAccessibleName(QStringLiteral("工作区颜色"));
    m_labYufa->setAccessibleName(QStringLiteral("语法颜色"));
    m_labQitaColor->setAccessibleName(QStringLiteral("标准颜色"));

    connect(m_labBackColor, &ColorSwatch::clicked, this, &SetFav::Labbackcolor_Click);
    connect(m_backColorLabel, &ClickLabel::doubleClicked, this,
            [this] { m_labBackColor->setColor(SetFavStore::kDefaultTableColor); });
    connect(m_fontSizeLabel, &ClickLabel::doubleClicked, this,
            [this] { m_comboFontSize->setCurrentText(QStringLiteral("9")); });
    connect(m_fontNameLabel, &ClickLabel::clicked, this,
            [this] { m_txtFontName->setCurrentText(QStringLiteral("宋体")); });

    auto *layout = new QGridLayout(page);
    layout->addWidget(m_fontNameLabel, 0, 0);
    layout->addWidget(m_txtFontName, 0, 1);
    layout->addWidget(m_fontSizeLabel, 1, 0);
    layout->addWidget(m_comboFontSize, 1, 1);
    layout->addWidget(m_backColorLabel, 2, 0);
    layout->addWidget(m_labBackColor, 2, 1);
    layout->addWidget(tagLabel, 3, 0);
    layout->addWidget(m_labYufa, 3, 1);
    layout->addWidget(otherLabel, 4, 0);
    layout->addWidget(m_labQitaColor, 4, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(5, 1);
    return page;
}

QFrame *SetFav::buildMiscPage()
{
    QFrame *page = newPage(this);
    const QString texts[5] = {
        QStringLiteral("添加到右键"),
        QStringLiteral("设置HTML,HTM,ASP,TXT文件关联"),
        QStringLiteral("使用VISTA皮肤"),
        QStringLiteral("使用外部加密压缩(Vexwrap.EXE 附件)"),
        QStringLiteral("使用外部调色(Huevane.exe 附件)"),
    };
    auto *layout = new QVBoxLayout(page);
    for (int i = 0; i < 5; ++i) {
        m_misc[i] = new QCheckBox(texts[i], page);
        m_misc[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        layout->addWidget(m_misc[i]);
    }
    layout->addStretch(1);
    // None of them is stored or acted upon: the first two cannot be
    // ticked, the external tools only turn grey, whatever changes the box
    // (mouse, keyboard, assistive technology).
    const auto holdAt = [](QCheckBox *box, Qt::CheckState state) {
        connect(box, &QCheckBox::stateChanged, box, [box, state] { box->setCheckState(state); });
    };
    for (int i : {0, 1})
        holdAt(m_misc[i], Qt::Unchecked);
    for (int i : {3, 4})
        holdAt(m_misc[i], Qt::PartiallyChecked);
    return page;
}

QFrame *SetFav::buildAboutPage()
{
    QFrame *page = newPage(this);
    auto *name = new QLabel(ProductName(), page);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto *line = new ZMLine(0, page);
    line->setObjectName(QStringLiteral("ZMLine4"));

    m_aboutText = new ClickLabel(
        QStringLiteral("本软件的各项功能仍在开发和完善之中。如果您在使用中发现了错误，"
                       "请发邮件到 %1 告诉作者，或者到我们的网站上留言。"
                       "也非常欢迎您提出宝贵的意见和建议！")
            .arg(MakerLinks::contactMail()),
        page);
    m_aboutText->setObjectName(QStringLiteral("aboutText"));
    m_aboutText->setWordWrap(true);
    m_aboutText->setCursor(Qt::PointingHandCursor);
    m_aboutText->setToolTip(QStringLiteral("单击复制邮件地址"));
    connect(m_aboutText, &ClickLabel::clicked, this, &SetFav::aboutText_Click);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(name);
    layout->addWidget(line);
    layout->addWidget(m_aboutText);
    layout->addStretch(1);
    return page;
}
