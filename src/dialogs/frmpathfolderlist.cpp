#include "dialogs/frmpathfolderlist.h"

#include "dialogs/frmpathplaces.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QTimer>

namespace {
constexpr int kFolderRole = Qt::UserRole + 1;
}

FolderList::FolderList(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("Dir1"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(12);
    setUniformRowHeights(true);
    setAccessibleName(QStringLiteral("文件夹"));
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { setPath(folderOf(item)); });
}

QString FolderList::folderOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kFolderRole).toString() : QString();
}

bool FolderList::setPath(const QString &folder)
{
    const QString path = FolderPlaces::normalPath(folder);
    if (!FolderPlaces::canEnter(path))
        return false;
    if (path == m_path)
        return true;
    m_path = path;
    fill();
    emit pathChanged(m_path);
    return true;
}

void FolderList::fill()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the current folder.
    QStringList chain;
    for (QDir dir(m_path);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    QTreeWidgetItem *parentItem = nullptr;
    for (const QString &folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QDir(folder).dirName();
        auto *item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, name);
        item->setIcon(0, open);
        item->setData(0, kFolderRole, folder);
        item->setToolTip(0, folder);
        item->setExpanded(true);
        parentItem = item;
    }

    const QDir current(m_path);
    const QStringList children = current.entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString &child : children) {
        auto *item = new QTreeWidgetItem(parentItem);
        item->setText(0, child);
        item->setIcon(0, closed);
        item->setData(0, kFolderRole, current.absoluteFilePath(child));
    }
    expandAll();
    setCurrentItem(parentItem);
    revealCurrent();
}

void FolderList::revealCurrent()
{
    // The parent folders stay in sight when there is room for them.
    if (topLevelItemCount() == 0)
        return;
    scrollToTop();
    if (currentItem())
        scrollToItem(currentItem(), QAbstractItemView::EnsureVisible);
}

void FolderList::showEvent(QShowEvent *event)
{
    QTreeWidget::showEvent(event);
    QTimer::singleShot(0, this, &FolderList::revealCurrent);
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        setPath(folderOf(currentItem()));
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
