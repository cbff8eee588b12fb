#include "shell/toolstrip.h"

#include "platform/twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

// A raised double bar, the look of a grip at the start of a toolbar.
QPixmap gripPicture(int height)
{
    QPixmap picture(6, qMax(4, height - 4));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (int x : {0, 3}) {
        painter.setPen(QColor(255, 255, 255));
        painter.drawLine(x, 0, x, picture.height() - 1);
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(x + 1, 0, x + 1, picture.height() - 1);
    }
    return picture;
}

} // namespace

ToolStrip::ToolStrip(int index, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
    , m_grip(new QLabel(this))
{
    setObjectName(QStringLiteral("Picback(%1)").arg(index));
    setMouseTracking(true);
    setAutoFillBackground(true);
    const int height = Twips::toPixels(kHeightTwips);
    resize(width(), height);

    m_grip->setObjectName(QStringLiteral("Imagetou(%1)").arg(index));
    m_grip->setAccessibleName(QStringLiteral("工具栏把手"));
    m_grip->setPixmap(gripPicture(height));
    // Left of the first button, which starts at 120 twips.
    m_grip->setGeometry(1, 2, 6, height - 4);
    m_grip->installEventFilter(this);
}

// Events that a control of the strip passes on arrive here as well; only
// those over the bare background count.
void ToolStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (!childAt(event->position().toPoint()))
        emit backgroundMouseMove(m_index);
    QWidget::mouseMoveEvent(event);
}

void ToolStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && !childAt(event->position().toPoint()))
        emit menuRequested(m_index, event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

bool ToolStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grip) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_grip->setCursor(Qt::SizeAllCursor);
                emit gripPressed(m_index);
            }
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                m_grip->unsetCursor();
            else
                emit menuRequested(m_index, mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void placeOnStrip(QWidget *control, int left, int width, int height)
{
    control->setGeometry(Twips::toPixels(left), 0, Twips::toPixels(width), Twips::toPixels(height));
}

QPushButton *addStripButton(QWidget *strip, const QString &name, const QString &caption, int left,
                            int width, int height)
{
    auto *button = new QPushButton(caption, strip);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setFocusPolicy(Qt::TabFocus);
    placeOnStrip(button, left, width, height);
    return button;
}
