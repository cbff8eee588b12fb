#include "editor/keycommands.h"

#include "editor/editmenu.h"
#include "editor/richtext.h"
#include "editor/tagcompletion.h"
#include "platform/virtualkey.h"

namespace {
constexpr int kF5 = VirtualKey::F1 + 4;
} // namespace

const QString KeyCommands::kImageTag =
    QStringLiteral("<img src=\"http://\" style=\"\" alt=\"一个图象\" border=\"0\">");

KeyCommands::KeyCommands(RichText &richText, TagCompletion &completion, KeyCommandHooks hooks)
    : m_richText(richText)
    , m_completion(completion)
    , m_hooks(std::move(hooks))
{}

void KeyCommands::selbutton(int index)
{
    if (m_hooks.selbutton)
        m_hooks.selbutton(index);
}

void KeyCommands::noselbutton(int index)
{
    if (m_hooks.noselbutton)
        m_hooks.noselbutton(index);
}

void KeyCommands::refreshTotals()
{
    if (m_hooks.refreshTotals)
        m_hooks.refreshTotals();
}

void KeyCommands::RichText_KeyDown(int &keyCode, int shift)
{
    runRow(keyCode, shift);
    // Left and Right leave the tag being typed, whatever the modifiers.
    if (keyCode == VirtualKey::Left || keyCode == VirtualKey::Right)
        m_completion.close();
}

bool KeyCommands::hasCommand(int keyCode, int shift) const
{
    using namespace VirtualKey;
    switch (shift) {
    case 0:
        switch (keyCode) {
        case Tab:
        case Return:
        case Apps:
        case kF5:
            return true;
        case Escape:
        case Up:
        case Down:
            return m_completion.isShown();
        default:
            return false;
        }
    case ShiftMask:
        return keyCode == Return;
    case CtrlMask:
        return keyCode == Return || keyCode == 'V';
    case AltMask:
        return keyCode == Space ||
               (keyCode < 128 && QByteArrayView("FHKMTUZ").contains(char(keyCode)));
    default:
        return false;
    }
}

void KeyCommands::runRow(int &keyCode, int shift)
{
    using namespace VirtualKey;
    const bool shown = m_completion.isShown();
    if (shift == 0) {
        switch (keyCode) {
        case Tab:
            keyCode = 0;
            m_richText.setSelText(QStringLiteral("\t"));
            return;
        case Return:
            if (shown) {
                keyCode = 0;
                m_completion.accept();
            }
            // Hidden, the totals count the lines before the new line break.
            refreshTotals();
            return;
        case Escape:
            if (shown)
                m_completion.close();
            return;
        case Up:
            if (shown) {
                keyCode = 0;
                m_completion.selectPrevious();
            }
            return;
        case Down:
            if (shown) {
                keyCode = 0;
                m_completion.selectNext();
            }
            return;
        case Apps:
            if (m_hooks.popupEditMenu)
                m_hooks.popupEditMenu();
            return;
        case kF5:
            noselbutton(8);
            return;
        default:
            return;
        }
    }
    if (shift == ShiftMask && keyCode == Return) {
        keyCode = 0;
        noselbutton(0);
    } else if (shift == CtrlMask && keyCode == Return) {
        keyCode = 0;
        noselbutton(1);
    } else if (shift == CtrlMask && keyCode == 'V') {
        keyCode = 0;
        m_richText.setSelText(m_hooks.clipboardText ? m_hooks.clipboardText()
                                                    : clipboardPlainText());
    } else if (shift == AltMask) {
        runAltRow(keyCode);
    }
}

void KeyCommands::runAltRow(int &keyCode)
{
    // The Alt commands are all consumed: passed on, the editing area would
    // also type the letter after the fragment.
    switch (keyCode) {
    case VirtualKey::Space:
        noselbutton(6);
        break;
    case 'F':
        selbutton(1);
        break;
    case 'H':
        noselbutton(2);
        break;
    case 'K':
        selbutton(0);
        break;
    case 'M':
        m_richText.setSelText(kImageTag);
        break;
    case 'T':
        noselbutton(4);
        break;
    case 'U':
        selbutton(9);
        break;
    case 'Z':
        noselbutton(7);
        break;
    default:
        return;
    }
    keyCode = 0;
}
