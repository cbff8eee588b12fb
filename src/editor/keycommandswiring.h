#pragma once

#include "editor/keycommands.h"

#include <QObject>
#include <functional>
#include <memory>

class AutoList;
class KeyCommandsFilter;
class QWidget;
class RichTextBox;
class RichTextBoxCaretText;
class TagCompletion;
class WindowCompletionHost;

// Tag completion and the editor keys, built on the main window and its
// editing area: the completion list widget on the window, the completion
// logic reading the editing area's document, the key commands and the
// filter that feeds them the editing area's events. Owned by the window
// (its QObject parent).
class EditorKeyHandling : public QObject {
    Q_OBJECT
public:
    EditorKeyHandling(QWidget &mainWindow, RichTextBox &richText, KeyCommandHooks hooks = {});
    ~EditorKeyHandling() override;

    TagCompletion &completion() const { return *m_completion; }
    KeyCommands &commands() const { return *m_commands; }
    AutoList *autoList() const { return m_autoList; }
    KeyCommandsFilter *filter() const { return m_filter; }

    // The word list "tags.dat" beside the program; false when it cannot be read.
    bool LoadTagList();

    void setHooks(KeyCommandHooks hooks);

private:
    std::unique_ptr<RichTextBoxCaretText> m_text;
    std::unique_ptr<WindowCompletionHost> m_host;
    AutoList *m_autoList;
    std::unique_ptr<TagCompletion> m_completion;
    std::unique_ptr<KeyCommands> m_commands;
    KeyCommandsFilter *m_filter;
};
