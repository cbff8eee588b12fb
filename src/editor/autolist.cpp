#include "editor/autolist.h"

#include "platform/twips.h"

#include <QEvent>
#include <QListWidget>

namespace {

// The list box. Its entries are never edited, so an entry becoming current
// is not offered to the item delegate for editing, which would style a
// whole item each time the typed prefix selects another entry.
class ListBox : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    bool edit(const QModelIndex &, EditTrigger, QEvent *) override { return false; }
};

} // namespace

AutoList::AutoList(QWidget *mainWindow)
    : QFrame(mainWindow)
    , m_picture(new QWidget(this))
    , m_list(new ListBox(m_picture))
{
    setObjectName(QStringLiteral("contAutoList"));
    m_picture->setObjectName(QStringLiteral("Picture3"));
    m_list->setObjectName(QStringLiteral("ListAuto"));

    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedSize(Twips::toPixels(kWidth), Twips::toPixels(kHeight));
    m_picture->setGeometry(Twips::toPixels(kPictureLeft), Twips::toPixels(kPictureTop),
                           Twips::toPixels(kPictureWidth), Twips::toPixels(kPictureHeight));
    m_list->setGeometry(0, 0, Twips::toPixels(kListWidth), Twips::toPixels(kListHeight));

    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    m_list->setPalette(palette);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every entry is one line: the list need not measure each of them when
    // it scrolls to one.
    m_list->setUniformItemSizes(true);

    const QList<QWidget *> parts = {this, m_picture, m_list, m_list->viewport()};
    for (QWidget *widget : parts)
        widget->setFocusPolicy(Qt::NoFocus);
    m_list->viewport()->installEventFilter(this);

    hide();
}

void AutoList::Clear()
{
    m_list->clear();
}

void AutoList::AddItem(const QString &item)
{
    m_list->addItem(item);
}

QString AutoList::List(int index) const
{
    const QListWidgetItem *item = m_list->item(index);
    return item ? item->text() : QString();
}

int AutoList::ListCount() const
{
    return m_list->count();
}

int AutoList::ListIndex() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? m_list->currentRow() : -1;
}

void AutoList::setListIndex(int index)
{
    QListWidgetItem *item = m_list->item(index);
    if (!item) {
        // Typing on past the last match keeps nothing selected.
        if (!m_list->currentItem() && !m_list->selectionModel()->hasSelection())
            return;
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
        return;
    }
    // Typing on through a tag keeps selecting the same entry.
    if (m_list->currentRow() == index && item->isSelected())
        return;
    // In single selection the current row is the selected one; the list
    // scrolls to it, at once or when it is next shown.
    m_list->setCurrentRow(index);
}

bool AutoList::Visible() const
{
    return !isHidden();
}

void AutoList::setShown(bool shown)
{
    if (shown) {
        show();
        raise();
    } else {
        hide();
    }
}

void AutoList::Move(int left, int top)
{
    m_left = left;
    m_top = top;
    move(Twips::toPixels(left), Twips::toPixels(top));
}

bool AutoList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick)
        emit ListAuto_DblClick();
    return QFrame::eventFilter(watched, event);
}
