#include "settings/toolbarpage.h"

#include "controls/zmbutton.h"
#include "platform/twips.h"
#include "settings/toolbarchoice.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

void fillList(QListWidget *list, const QStringList &names, const QList<bool> &ticks)
{
    list->clear();
    for (int i = 0; i < names.size(); ++i) {
        auto *item = new QListWidgetItem(names[i], list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(i < ticks.size() && ticks[i] ? Qt::Checked : Qt::Unchecked);
    }
}

QList<bool> ticksOf(const QListWidget *list)
{
    QList<bool> ticks;
    for (int i = 0; i < list->count(); ++i)
        ticks.append(list->item(i)->checkState() == Qt::Checked);
    return ticks;
}

zmBUTTon *pageButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new zmBUTTon(text, parent);
    button->setObjectName(name);
    button->setFixedHeight(Twips::toPixels(330));
    button->setMinimumWidth(Twips::toPixels(855));
    return button;
}

} // namespace

ToolbarPage::ToolbarPage(QWidget *parent)
    : QFrame(parent)
    , m_list1(new QListWidget(this))
    , m_list2(new QListWidget(this))
    , m_first(pageButton(QStringLiteral("zmBUTTon6"), QStringLiteral("功能栏"), this))
    , m_second(pageButton(QStringLiteral("zmBUTTon7"), QStringLiteral("快捷栏"), this))
    , m_name(pageButton(QStringLiteral("setbufaceing"), QStringLiteral("+方案"), this))
{
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list2->setObjectName(QStringLiteral("List2"));
    m_list1->setAccessibleName(QStringLiteral("功能栏"));
    m_list2->setAccessibleName(QStringLiteral("快捷栏"));
    m_name->setToolTip(QStringLiteral("读入方案"));

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(Twips::toPixels(60));
    buttons->addWidget(m_first);
    buttons->addWidget(m_second);
    buttons->addStretch(1);
    buttons->addWidget(m_name);

    // Both lists share one place; one shows at a time.
    auto *lists = new QGridLayout;
    lists->addWidget(m_list1, 0, 0);
    lists->addWidget(m_list2, 0, 0);
    m_list2->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addLayout(lists, 1);

    connect(m_first, &zmBUTTon::click, this, &ToolbarPage::showFirstList);
    connect(m_second, &zmBUTTon::click, this, &ToolbarPage::showSecondList);
}

void ToolbarPage::Fill()
{
    fillList(m_list1, ToolbarChoice::firstNames(), ToolbarChoice::readFirstTicks());
    fillList(m_list2, ToolbarChoice::secondNames(), ToolbarChoice::readSecondTicks());
    showFirstList();
}

void ToolbarPage::Store() const
{
    ToolbarChoice::storeFirstTicks(firstTicks());
    ToolbarChoice::storeSecondTicks(secondTicks());
}

QList<bool> ToolbarPage::firstTicks() const
{
    return ticksOf(m_list1);
}

QList<bool> ToolbarPage::secondTicks() const
{
    return ticksOf(m_list2);
}

void ToolbarPage::showFirstList()
{
    m_list2->hide();
    m_list1->show();
}

void ToolbarPage::showSecondList()
{
    m_list1->hide();
    m_list2->show();
}
