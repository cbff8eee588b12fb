#include "dialogs/fraabout.h"

#include "dialogs/fraabouticon.h"
#include "dialogs/fraaboutinfo.h"
#include "platform/launcher.h"
#include "platform/prompts.h"
#include "platform/twips.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

FRAabout::FRAabout(Prompts &prompts, QWidget *owner, Launcher *launcher)
    : QDialog(owner)
    , m_prompts(prompts)
    , m_launcher(launcher ? *launcher : desktopLauncher())
    , m_image1(new QLabel(this))
    , m_label2(new QLabel(this))
    , m_label3(new QLabel(this))
    , m_label6(new QLabel(this))
    , m_image2(new QPushButton(this))
    , m_exit(new QPushButton(QStringLiteral("确定"), this))
{
    setObjectName(QStringLiteral("FRAabout"));
    setWindowTitle(QStringLiteral("关于"));
    setModal(true);

    // The main window's icon, here and on the window itself.
    QIcon icon = owner ? owner->window()->windowIcon() : QIcon();
    if (icon.isNull())
        icon = ProgramIcon();
    setWindowIcon(icon);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(icon.pixmap(32, 32));
    m_image1->setAccessibleName(QStringLiteral("程序图标"));

    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setTextFormat(Qt::PlainText);
    m_label2->setText(LoginName());
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setTextFormat(Qt::PlainText);
    m_label3->setText(VersionLine());
    QFont bold = m_label3->font();
    bold.setBold(true);
    m_label3->setFont(bold);
    auto *label4 = new QLabel(QStringLiteral("Zelmo 工作室 出品"), this);
    label4->setObjectName(QStringLiteral("Label4"));
    auto *label5 = new QLabel(QStringLiteral("版权所有 (C) Zelmo 工作室，保留所有权利。"), this);
    label5->setObjectName(QStringLiteral("Label5"));
    label5->setWordWrap(true);

    m_label6->setObjectName(QStringLiteral("Label6"));
    m_label6->setText(QStringLiteral("<a href=\"thanks\">%1</a>").arg(QStringLiteral("鸣谢")));
    m_label6->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_label6->setAccessibleName(QStringLiteral("鸣谢"));
    connect(m_label6, &QLabel::linkActivated, this, [this] { Label6_Click(); });

    m_image2->setObjectName(QStringLiteral("Image2"));
    const QPixmap banner = AboutBanner();
    m_image2->setIcon(QIcon(banner));
    m_image2->setIconSize(banner.size());
    m_image2->setFlat(true);
    m_image2->setAutoDefault(false);
    m_image2->setCursor(Qt::PointingHandCursor);
    m_image2->setAccessibleName(QStringLiteral("访问作者网站"));
    m_image2->setToolTip(MakerLinks::homePage());
    connect(m_image2, &QPushButton::clicked, this, &FRAabout::Image2_Click);

    m_exit->setObjectName(QStringLiteral("EXIT"));
    m_exit->setDefault(true);
    connect(m_exit, &QPushButton::clicked, this, &FRAabout::EXIT_Click);

    auto *head = new QHBoxLayout;
    head->addWidget(m_image1, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->addWidget(m_label3);
    texts->addWidget(m_label2);
    head->addLayout(texts, 1);

    auto *foot = new QHBoxLayout;
    foot->addWidget(m_label6);
    foot->addStretch(1);
    foot->addWidget(m_exit);

    auto *layout = new QVBoxLayout(this);
    const int margin = Twips::toPixels(240);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addLayout(head);
    layout->addSpacing(Twips::toPixels(120));
    layout->addWidget(label4);
    layout->addWidget(label5);
    layout->addStretch(1);
    layout->addWidget(m_image2, 0, Qt::AlignHCenter);
    layout->addLayout(foot);

    resize(QSize(Twips::toPixels(4080), Twips::toPixels(4080)).expandedTo(sizeHint()));
}

void FRAabout::Image2_Click()
{
    openOrSay(m_launcher, m_prompts, QUrl(MakerLinks::homePage()));
}

void FRAabout::Label6_Click()
{
    m_prompts.messageBox(QStringLiteral("特别感谢:\r\n\r\n"
                                        "所有试用本软件并报告错误的朋友\r\n"
                                        "所有提出宝贵意见和建议的网友\r\n"
                                        "帮助整理标签词表的各位同仁"),
                         Prompts::Information, QStringLiteral("鸣谢"));
}

void FRAabout::EXIT_Click()
{
    accept();
}
