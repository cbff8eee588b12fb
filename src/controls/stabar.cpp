#include "controls/stabar.h"

#include "controls/mousehooks.h"
#include "controls/sizegrip.h"
#include "platform/twips.h"
#include "platform/wincolor.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QPoint toPixels(const QPointF &twips)
{
    return QPoint(Twips::toPixels(twips.x()), Twips::toPixels(twips.y()));
}

QLine toPixels(const QLineF &twips)
{
    return QLine(toPixels(twips.p1()), toPixels(twips.p2()));
}

} // namespace

StaBar::StaBar(QWidget *parent)
    : QWidget(parent)
    , m_labLib(new ClickLabel(this))
    , m_labRight(new ClickLabel(this))
    , m_labCode(new ClickLabel(this))
    , m_labModified(new QLabel(QStringLiteral("已修改"), this))
    , m_labJiao(new SizeGrip(this))
    , m_foreColor(WinColor::kWindowText)
{
    m_labLib->setObjectName(QStringLiteral("LabLib"));
    m_labRight->setObjectName(QStringLiteral("Labright"));
    m_labCode->setObjectName(QStringLiteral("LabCode"));
    for (QLabel *label : {static_cast<QLabel *>(m_labLib), static_cast<QLabel *>(m_labRight),
                          static_cast<QLabel *>(m_labCode)})
        label->setTextFormat(Qt::PlainText);
    m_labCode->hide();
    m_labModified->setObjectName(QStringLiteral("LabModified"));
    m_labModified->setAccessibleName(m_labModified->text());
    m_labModified->adjustSize();
    m_labModified->hide();

    // Where the labels stand until the first layout.
    m_labLib->move(toPixels(QPointF(240, 150)));
    m_labLib->adjustSize();
    m_labRight->setGeometry(Twips::toPixels(240), Twips::toPixels(480), Twips::toPixels(450),
                            Twips::toPixels(180));
    m_labJiao->move(toPixels(QPointF(1200, 360)));

    connect(m_labLib, &ClickLabel::clicked, this, &StaBar::click);
    connect(m_labRight, &ClickLabel::clicked, this, &StaBar::SecondClick);
    connect(m_labCode, &ClickLabel::clicked, this, &StaBar::ThirdClick);
    for (ClickLabel *label : {m_labLib, m_labRight, m_labCode})
        MouseHooks::onRightPress(label, [this] { emit RightClick(); });
    applyForeColor();
}

QString StaBar::Text() const
{
    return m_labLib->text();
}

namespace {

// A label's text is also its name for assistive technology.
void showText(QLabel *label, const QString &text, bool fitWidth)
{
    label->setText(text);
    label->setAccessibleName(text);
    if (fitWidth)
        label->adjustSize();
}

} // namespace

void StaBar::setText(const QString &text)
{
    showText(m_labLib, text, true);
    // The texts before the right one give way to a longer left text at once.
    relayOutTexts();
}

void StaBar::relayOutTexts()
{
    if (!m_laidOut)
        return;
    const StaBarLayout now = StaBarGeometry::layOut(currentMeasures());
    if (m_layout.rightTextShown && now.rightTextShown) {
        m_layout = now;
        placeRightText();
    } else {
        m_layout.thirdTextShown = false;
        m_layout.modifiedTextShown = false;
    }
    placeThirdText();
    update();
}

QString StaBar::Text2() const
{
    return m_labRight->text();
}

void StaBar::setText2(const QString &text)
{
    showText(m_labRight, text, false);
    // Whatever the bar has no room for is read in full over it.
    m_labRight->setToolTip(text);
    relayOutTexts();
}

QString StaBar::Text3() const
{
    return m_labCode->text();
}

void StaBar::setText3(const QString &text)
{
    showText(m_labCode, text, true);
    if (m_laidOut)
        layOutBar();
}

QFont StaBar::Font() const
{
    return m_labLib->font();
}

void StaBar::setFont(const QFont &font)
{
    m_labLib->setFont(font);
    m_labLib->adjustSize();
}

void StaBar::setForeColor(quint32 color)
{
    m_foreColor = color;
    applyForeColor();
}

void StaBar::applyForeColor()
{
    QPalette palette = m_labLib->palette();
    palette.setColor(QPalette::WindowText, WinColor::toColor(m_foreColor, this->palette()));
    m_labLib->setPalette(palette);
}

QSize StaBar::sizeHint() const
{
    return QSize(Twips::toPixels(1695), Twips::toPixels(330));
}

void StaBar::watchWindow()
{
    QWidget *top = window();
    if (top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top != this ? top : nullptr;
    if (m_watchedWindow)
        m_watchedWindow->installEventFilter(this);
}

StaBarMeasures StaBar::currentMeasures() const
{
    StaBarMeasures measures;
    measures.width = Twips::fromPixels(width());
    measures.height = Twips::fromPixels(height());
    measures.gripWidth = Twips::fromPixels(m_labJiao->width());
    measures.gripHeight = Twips::fromPixels(m_labJiao->height());
    measures.leftTextWidth = Twips::fromPixels(m_labLib->width());
    measures.leftTextHeight = Twips::fromPixels(m_labLib->height());
    measures.thirdTextWidth =
        m_labCode->text().isEmpty() ? 0 : Twips::fromPixels(m_labCode->width());
    measures.modifiedTextWidth = m_modifiedShown ? Twips::fromPixels(m_labModified->width()) : 0;
    measures.rightTextWidth = Twips::fromPixels(m_labRight->sizeHint().width());
    return measures;
}

void StaBar::setModifiedShown(bool shown)
{
    if (shown == m_modifiedShown)
        return;
    m_modifiedShown = shown;
    if (m_laidOut)
        layOutBar();
}

void StaBar::placeThirdText()
{
    m_labCode->move(toPixels(m_layout.thirdText));
    m_labCode->setVisible(m_layout.thirdTextShown);
    m_labModified->move(toPixels(m_layout.modifiedText));
    m_labModified->setVisible(m_layout.modifiedTextShown);
}

void StaBar::placeRightText()
{
    const QPoint right = toPixels(m_layout.rightText);
    if (m_layout.rightTextShown) {
        m_labRight->setGeometry(right.x(), right.y(), Twips::toPixels(m_layout.rightTextWidth),
                                qMax(m_labRight->sizeHint().height(), m_labLib->height()));
        m_labRight->show();
    } else {
        m_labRight->move(right);
        m_labRight->hide();
    }
}

void StaBar::layOutBar()
{
    QWidget *top = window();
    const bool ownWindow = top == this;
    if (!ownWindow && top->isMinimized())
        return;

    // The bar takes the window's inner width.
    if (!ownWindow && width() != top->width())
        resize(top->width(), height());

    m_layout = StaBarGeometry::layOut(currentMeasures());
    m_laidOut = true;

    m_labJiao->move(toPixels(m_layout.grip));
    m_labJiao->raise();
    m_labLib->move(toPixels(m_layout.leftText));
    placeRightText();
    placeThirdText();
    update();
}

void StaBar::paintEvent(QPaintEvent *)
{
    if (!m_laidOut)
        return;
    QPainter painter(this);
    const QColor shadow = WinColor::toColor(WinColor::kButtonShadow, palette());
    const QColor highlight = WinColor::toColor(WinColor::kButtonHighlight, palette());
    const QColor panelColours[4] = {shadow, highlight, highlight, shadow};
    for (int i = 0; i < 4; ++i) {
        painter.setPen(panelColours[i]);
        painter.drawLine(toPixels(m_layout.panel[i]));
    }
    if (m_layout.rightTextShown) {
        painter.setPen(highlight);
        painter.drawLine(toPixels(m_layout.groove[0]));
        painter.setPen(shadow);
        painter.drawLine(toPixels(m_layout.groove[1]));
    }
}

void StaBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutBar();
}

void StaBar::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    watchWindow();
    layOutBar();
}

bool StaBar::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        watchWindow();
    else if (event->type() == QEvent::PaletteChange)
        applyForeColor();
    return QWidget::event(event);
}

void StaBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        emit RightClick();
    event->accept();
}

bool StaBar::eventFilter(QObject *watched, QEvent *event)
{
    // Coming back from the minimised state lays the bar out again.
    if (watched == m_watchedWindow && event->type() == QEvent::WindowStateChange &&
        !m_watchedWindow->isMinimized())
        layOutBar();
    return false;
}
