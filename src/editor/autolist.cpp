#include "editor/autolist.h"

#include "controls/listbox.h"
#include "platform/twips.h"

#include <QEvent>

AutoList::AutoList(QWidget *mainWindow)
    : QFrame(mainWindow)
    , m_picture(new QWidget(this))
    , m_list(new ListBox(m_picture))
{
    setObjectName(QStringLiteral("contAutoList"));
    m_picture->setObjectName(QStringLiteral("Picture3"));
    m_list->setObjectName(QStringLiteral("ListAuto"));

    setFrameStyle(QFrame::Panel | QFrame::Raised);
    fitToEntries();

    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    m_list->setPalette(palette);

    const QList<QWidget *> parts = {this, m_picture, m_list};
    for (QWidget *widget : parts)
        widget->setFocusPolicy(Qt::NoFocus);
    connect(m_list, &ListBox::doubleClicked, this, &AutoList::ListAuto_DblClick);

    hide();
}

void AutoList::fitToEntries()
{
    const int designHeight = Twips::toPixels(kListHeight);
    const int rows =
        qMax(1, (designHeight - 2 * m_list->frameWidth()) / qMax(1, m_list->rowHeight()));
    QSize list = m_list->sizeFor(rows, Twips::toPixels(kListWidth));
    const int besides = Twips::toPixels(kWidth - kListWidth);
    m_list->setGeometry(0, 0, list.width(), list.height());
    const int pictureBelow = Twips::toPixels(kPictureHeight - kListHeight);
    m_picture->setGeometry(Twips::toPixels(kPictureLeft), Twips::toPixels(kPictureTop),
                           list.width(), list.height() + pictureBelow);
    setFixedSize(list.width() + besides, list.height() + Twips::toPixels(kHeight - kListHeight));
}

int AutoList::Width() const
{
    return Twips::fromPixelsRounded(width());
}

int AutoList::Height() const
{
    return Twips::fromPixelsRounded(height());
}

void AutoList::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitToEntries();
}

void AutoList::Clear()
{
    m_list->clear();
    fitToEntries();
}

void AutoList::AddItem(const QString &item)
{
    m_list->addItem(item);
    fitToEntries();
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
