#include "controls/zmbutton.h"

#include "controls/controlaccessibility.h"
#include "platform/wincolor.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <cmath>

zmBUTTon::zmBUTTon(QWidget *parent)
    : zmBUTTon(QString(), parent)
{}

zmBUTTon::zmBUTTon(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_caption(new QLabel(this))
    , m_foreColor(WinColor::kWindowText)
{
    installControlAccessibility();
    m_caption->setObjectName(QStringLiteral("LabCaption"));
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    applyForeColor();
    setText(text);
}

QString zmBUTTon::Text() const
{
    return m_caption->text();
}

void zmBUTTon::setText(const QString &text)
{
    m_caption->setText(text);
    placeCaption();
    updateGeometry();
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void zmBUTTon::setForeColor(quint32 color)
{
    m_foreColor = color;
    applyForeColor();
}

void zmBUTTon::applyForeColor()
{
    QPalette palette = m_caption->palette();
    palette.setColor(QPalette::WindowText, WinColor::toColor(m_foreColor, this->palette()));
    m_caption->setPalette(palette);
}

void zmBUTTon::performClick()
{
    emit click();
}

QSize zmBUTTon::sizeHint() const
{
    return m_caption->sizeHint() + QSize(16, 8);
}

void zmBUTTon::setFill(quint32 color)
{
    if (m_fill == color)
        return;
    m_fill = color;
    update();
}

void zmBUTTon::placeCaption()
{
    m_caption->adjustSize();
    // Centred, even when the caption is wider than the button: it is then
    // clipped on both sides.
    const double left = (width() - m_caption->width()) / 2.0;
    const double top = (height() - m_caption->height()) / 2.0;
    m_caption->move(int(std::floor(left)), int(std::floor(top)));
}

void zmBUTTon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), WinColor::toColor(m_fill, palette()));
    painter.setPen(WinColor::toColor(WinColor::kButtonHighlight, palette()));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        option.backgroundColor = WinColor::toColor(m_fill, palette());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void zmBUTTon::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCaption();
}

void zmBUTTon::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        placeCaption();
        updateGeometry();
    } else if (event->type() == QEvent::PaletteChange) {
        applyForeColor();
    }
    QWidget::changeEvent(event);
}

void zmBUTTon::mousePressEvent(QMouseEvent *event)
{
    m_mouseDown = true;
    setFill(kDownColor);
    event->accept();
}

void zmBUTTon::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasDown = m_mouseDown;
    m_mouseDown = false;
    setFill(kUpColor);
    event->accept();
    if (wasDown && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit click();
}

void zmBUTTon::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click counts as a press of its own.
    mousePressEvent(event);
}

void zmBUTTon::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            m_spaceDown = true;
            setFill(kDownColor);
        }
        event->accept();
        return;
    }
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        emit click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void zmBUTTon::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && m_spaceDown) {
        m_spaceDown = false;
        setFill(kUpColor);
        event->accept();
        emit click();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void zmBUTTon::focusOutEvent(QFocusEvent *event)
{
    m_spaceDown = false;
    if (!m_mouseDown)
        setFill(kUpColor);
    QWidget::focusOutEvent(event);
}
