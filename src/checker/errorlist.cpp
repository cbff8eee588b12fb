#include "checker/errorlist.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Rows beyond this many are left out of the list (the underlines and counts
// still show them).
constexpr int kMostRows = 10000;

} // namespace

ErrorList::ErrorList(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTreeWidget(this))
    , m_fix(new QPushButton(QStringLiteral("修正"), this))
    , m_fixAll(new QPushButton(QStringLiteral("全部修正"), this))
{
    setObjectName(QStringLiteral("ErrorList"));
    setAccessibleName(QStringLiteral("错误列表"));
    m_table->setObjectName(QStringLiteral("ErrorListTable"));
    m_table->setAccessibleName(QStringLiteral("错误列表"));
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->setAllColumnsShowFocus(true);
    m_table->setHeaderLabels({QStringLiteral("行"), QStringLiteral("列"), QStringLiteral("类型"),
                              QStringLiteral("说明")});
    m_table->header()->setStretchLastSection(true);
    m_fix->setObjectName(QStringLiteral("ErrorListFix"));
    m_fix->setToolTip(QStringLiteral("修正选中的全角字符错误（Ctrl+.）"));
    m_fixAll->setObjectName(QStringLiteral("ErrorListFixAll"));
    m_fixAll->setToolTip(QStringLiteral("修正页面中所有的全角字符错误，可一次撤消"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_fix);
    buttons->addWidget(m_fixAll);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    const auto rowOf = [this](QTreeWidgetItem *item) { return m_table->indexOfTopLevelItem(item); };
    connect(m_table, &QTreeWidget::itemClicked, this,
            [this, rowOf](QTreeWidgetItem *item) { emit activated(rowOf(item)); });
    connect(m_table, &QTreeWidget::itemActivated, this,
            [this, rowOf](QTreeWidgetItem *item) { emit activated(rowOf(item)); });
    connect(m_fix, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem *item = m_table->currentItem())
            emit fixRequested(m_table->indexOfTopLevelItem(item));
    });
    connect(m_fixAll, &QPushButton::clicked, this, &ErrorList::fixAllRequested);
}

void ErrorList::setProblems(const std::vector<const Checker::Problem *> &problems)
{
    QList<QTreeWidgetItem *> items;
    bool anyFix = false;
    for (const Checker::Problem *problem : problems) {
        if (items.size() == kMostRows)
            break;
        auto *item = new QTreeWidgetItem(
            {QString::number(problem->pos.line + 1), QString::number(problem->pos.column + 1),
             Checker::severityText(problem->severity),
             problem->message + QStringLiteral(" [") + problem->code + u']'});
        item->setForeground(2, problem->severity == Checker::Severity::Error
                                   ? QColor(0xC0, 0, 0)
                                   : QColor(0xA0, 0x60, 0));
        anyFix = anyFix || !problem->fix.isEmpty();
        items.append(item);
    }
    m_table->clear();
    m_table->addTopLevelItems(items);
    m_fixAll->setEnabled(anyFix);
}

void ErrorList::selectRow(int row)
{
    if (QTreeWidgetItem *item = m_table->topLevelItem(row)) {
        m_table->setCurrentItem(item);
        m_table->scrollToItem(item);
    }
}
