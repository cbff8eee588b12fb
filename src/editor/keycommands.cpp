#include "editor/keycommands.h"

#include "editor/editmenu.h"
#include "editor/richtext.h"
#include "editor/tagcompletion.h"
#include "platform/virtualkey.h"

namespace {

using namespace VirtualKey;

enum class Command {
    Tab,
    Enter,
    Escape,
    Up,
    Down,
    Menu,
    Time,
    Br,
    P,
    Paste,
    Space,
    Font,
    Rule,
    Link,
    Image,
    Table,
    Centre,
    Comment,
    Partner,
    Element,
};

struct Row {
    int keyCode;
    int shift;
    bool onlyWithList; // the row applies only while the completion list shows
    Command command;
};

// The key table, in the order its rows are tested; a row applies only to its
// exact shift state.
constexpr Row kRows[] = {
    {Tab, 0, false, Command::Tab},
    {Return, 0, false, Command::Enter},
    {Escape, 0, true, Command::Escape},
    {Up, 0, true, Command::Up},
    {Down, 0, true, Command::Down},
    {Apps, 0, false, Command::Menu},
    {F1 + 4, 0, false, Command::Time},
    {Return, ShiftMask, false, Command::Br},
    {Return, CtrlMask, false, Command::P},
    {'V', CtrlMask, false, Command::Paste},
    {Space, AltMask, false, Command::Space},
    {'F', AltMask, false, Command::Font},
    {'H', AltMask, false, Command::Rule},
    {'K', AltMask, false, Command::Link},
    {'M', AltMask, false, Command::Image},
    {'T', AltMask, false, Command::Table},
    {'U', AltMask, false, Command::Centre},
    {'Z', AltMask, false, Command::Comment},
    // Most window managers take Alt+Space for their window menu.
    {Space, CtrlMask + ShiftMask, false, Command::Space},
    // The tag pairs.
    {'J', CtrlMask, false, Command::Partner},
    {'J', CtrlMask + ShiftMask, false, Command::Element},
};

const Row *rowFor(int keyCode, int shift, bool listShown)
{
    for (const Row &row : kRows) {
        if (row.keyCode == keyCode && row.shift == shift && (listShown || !row.onlyWithList))
            return &row;
    }
    return nullptr;
}

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
    return rowFor(keyCode, shift, m_completion.isShown()) != nullptr;
}

void KeyCommands::runRow(int &keyCode, int shift)
{
    const Row *row = rowFor(keyCode, shift, m_completion.isShown());
    if (!row)
        return;
    // The Alt commands are all consumed: passed on, the editing area would
    // also type the letter after the fragment.
    bool consumed = row->shift != 0;
    switch (row->command) {
    case Command::Tab:
        consumed = true;
        m_richText.setSelText(QStringLiteral("\t"));
        break;
    case Command::Enter:
        if (m_completion.isShown()) {
            consumed = true;
            m_completion.accept();
        }
        // Hidden, the totals count the lines before the new line break.
        refreshTotals();
        break;
    case Command::Escape:
        m_completion.close();
        break;
    case Command::Up:
        consumed = true;
        m_completion.selectPrevious();
        break;
    case Command::Down:
        consumed = true;
        m_completion.selectNext();
        break;
    case Command::Menu:
        if (m_hooks.popupEditMenu)
            m_hooks.popupEditMenu();
        break;
    case Command::Time:
        noselbutton(8);
        break;
    case Command::Br:
        noselbutton(0);
        break;
    case Command::P:
        noselbutton(1);
        break;
    case Command::Paste:
        m_richText.setSelText(m_hooks.clipboardText ? m_hooks.clipboardText()
                                                    : clipboardPlainText());
        break;
    case Command::Space:
        noselbutton(6);
        break;
    case Command::Font:
        selbutton(1);
        break;
    case Command::Rule:
        noselbutton(2);
        break;
    case Command::Link:
        selbutton(0);
        break;
    case Command::Image:
        m_richText.setSelText(kImageTag);
        break;
    case Command::Table:
        noselbutton(4);
        break;
    case Command::Centre:
        selbutton(9);
        break;
    case Command::Comment:
        noselbutton(7);
        break;
    case Command::Partner:
        consumed = true;
        if (m_hooks.jumpToPartner)
            m_hooks.jumpToPartner();
        break;
    case Command::Element:
        if (m_hooks.selectElement)
            m_hooks.selectElement();
        break;
    }
    if (consumed)
        keyCode = 0;
}
