#include "editor/keycommandsfilter.h"

#include "editor/autolist.h"
#include "editor/keycommands.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "platform/virtualkey.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

KeyCommandsFilter::KeyCommandsFilter(RichTextBox &richText, KeyCommands &commands,
                                     TagCompletion &completion, AutoList *autoList, QObject *parent)
    : QObject(parent)
    , m_richText(richText)
    , m_viewport(richText.viewport())
    , m_commands(commands)
    , m_completion(completion)
{
    richText.installEventFilter(this);
    richText.viewport()->installEventFilter(this);
    connect(&richText, &RichTextBox::Change, this, &KeyCommandsFilter::textChanged);
    if (autoList) {
        connect(autoList, &AutoList::ListAuto_DblClick, this, [this] { m_completion.close(); });
    }
}

bool KeyCommandsFilter::keyPress(QKeyEvent *event)
{
    int keyCode = VirtualKey::fromKeyEvent(event);
    if (keyCode == 0)
        return false;
    const int shift = VirtualKey::shiftState(event->modifiers());
    m_commands.RichText_KeyDown(keyCode, shift);
    return keyCode == 0;
}

void KeyCommandsFilter::textChanged()
{
    m_completion.RichText_Change();
    if (m_committed.isNull())
        return;
    // Committed text is typed text: its last character searches the list
    // as the release of its key would.
    const char16_t c = m_committed.toUpper().unicode();
    m_committed = QChar();
    if ((c >= u'1' && c <= u'9') || (c >= u'A' && c <= u'Z'))
        m_completion.RichText_KeyUp(c, 0);
}

bool KeyCommandsFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_richText) {
        switch (event->type()) {
        case QEvent::KeyPress:
            m_committed = QChar();
            return keyPress(static_cast<QKeyEvent *>(event));
        case QEvent::ShortcutOverride: {
            // The table's keys reach the editing area, not a shortcut.
            auto *key = static_cast<QKeyEvent *>(event);
            if (m_commands.hasCommand(VirtualKey::fromKeyEvent(key),
                                      VirtualKey::shiftState(key->modifiers()))) {
                key->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat()) {
                m_completion.RichText_KeyUp(VirtualKey::fromKeyEvent(key),
                                            VirtualKey::shiftState(key->modifiers()));
            }
            break;
        }
        case QEvent::InputMethod: {
            const QString commit = static_cast<QInputMethodEvent *>(event)->commitString();
            m_committed = commit.isEmpty() ? QChar() : commit.back();
            break;
        }
        default:
            break;
        }
    } else if (watched == m_viewport) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            m_completion.close();
    }
    return QObject::eventFilter(watched, event);
}
