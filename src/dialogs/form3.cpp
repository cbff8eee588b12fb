#include "dialogs/form3.h"

#include "controls/controlaccessibility.h"
#include "dialogs/form3text.h"
#include "dialogs/frmpathplaces.h"
#include "platform/twips.h"
#include "platform/virtualkey.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Client area in twips.
constexpr int kClientWidth = 4740;
constexpr int kClientHeight = 885;

QPointer<Form3> gLoaded;

} // namespace

Form3 *Form3::loaded()
{
    return gLoaded;
}

void Form3::unload()
{
    delete gLoaded.data();
}

Form3 *Form3::showFor(QWidget *owner)
{
    Form3 *window = gLoaded;
    if (window && window->parentWidget() != owner) {
        unload();
        window = nullptr;
    }
    if (!window) {
        window = new Form3(owner);
        gLoaded = window;
        window->Form_Load();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
    return window;
}

Form3::Form3(QWidget *owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
{
    installControlAccessibility();
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("键值测试"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
}

void Form3::Form_Load()
{
    if (const QWidget *owner = parentWidget())
        move(FolderPlaces::centredOver(owner->frameGeometry(), frameGeometry().size()));
    show();
    print(Form3Text::prompt());
}

void Form3::Form_KeyDown(int keyCode, int shift)
{
    Q_UNUSED(shift);
    print(Form3Text::forKey(keyCode));
}

void Form3::Form_Click()
{
    close();
}

void Form3::Form_LostFocus()
{
    close();
}

void Form3::print(const QString &text)
{
    // The surface is cleared and the text drawn again from the top left.
    m_text = text;
    update();
}

void Form3::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QString shown = m_text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, shown);
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    Form_KeyDown(VirtualKey::fromKeyEvent(event), VirtualKey::shiftState(event->modifiers()));
    event->accept();
}

void Form3::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        Form_Click();
}

void Form3::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        m_wasActive = true;
    else if (m_wasActive)
        Form_LostFocus();
}

void Form3::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // Unloaded from now on, though deleted only once control returns to
    // the event loop (a click into the main window's button that closed the
    // tester may open the next one before that).
    if (gLoaded == this)
        gLoaded = nullptr;
}

bool Form3::focusNextPrevChild(bool)
{
    // Tab is a key to test like any other.
    return false;
}
