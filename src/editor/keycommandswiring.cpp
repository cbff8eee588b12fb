#include "editor/keycommandswiring.h"

#include "editor/autolist.h"
#include "editor/keycommandsfilter.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "editor/tagcompletionhost.h"
#include "editor/tagcompletiontext.h"

EditorKeyHandling::EditorKeyHandling(QWidget &mainWindow, RichTextBox &richText,
                                     KeyCommandHooks hooks)
    : QObject(&mainWindow)
    , m_text(std::make_unique<RichTextBoxCaretText>(richText))
    , m_host(std::make_unique<WindowCompletionHost>(mainWindow, richText))
    , m_autoList(new AutoList(&mainWindow))
    , m_completion(std::make_unique<TagCompletion>(*m_text, *m_autoList, *m_host))
    , m_commands(std::make_unique<KeyCommands>(richText, *m_completion, std::move(hooks)))
    , m_filter(new KeyCommandsFilter(richText, *m_commands, *m_completion, m_autoList, this))
{}

EditorKeyHandling::~EditorKeyHandling()
{
    // The filter goes first: no event may reach the parts destroyed below.
    delete m_filter;
}

bool EditorKeyHandling::LoadTagList()
{
    return m_completion->LoadTagList();
}

void EditorKeyHandling::setHooks(KeyCommandHooks hooks)
{
    m_commands->setHooks(std::move(hooks));
}
