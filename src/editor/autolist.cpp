#include "editor/autolist.h"

#include "controls/listbox.h"
#include "platform/twips.h"

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

    const QList<QWidget *> parts = {this, m_picture, m_list};
    for (QWidget *widget : parts)
        widget->setFocusPolicy(Qt::NoFocus);
    connect(m_list, &ListBox::doubleClicked, this, &AutoList::ListAuto_DblClick);

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
    return m_list->item(index);
}

int AutoList::ListCount() const
{
    return m_list->count();
}

int AutoList::ListIndex() const
{
    return m_list->currentIndex();
}

void AutoList::setListIndex(int index)
{
    // An index past the last entry (typing on past the last match) selects
    // none.
    m_list->setCurrentIndex(index);
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
