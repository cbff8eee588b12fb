#pragma once

#include <QObject>
#include <functional>

class AutoList;
class KeyCommands;
class QKeyEvent;
class RichTextBox;
class TagCompletion;

// Turns the editing area's Qt events into the editor's handlers: key press
// into the window's key preview (when set) and then KeyCommands, key release
// into the completion search, a mouse press in the text and a double-click
// on the list into closing the list, and every change of the text into the
// completion's change rule. A key whose code ends up 0 does not reach the
// editing area. Text committed by an input method counts as typed; text
// still being composed never enters the document and is not looked at.
//
// It filters the editing area and its viewport itself. Qt runs the filter
// installed last first, so a key preview of the window must be installed on
// the editing area after this object is created, or filter the whole
// application, which Qt asks before any object's own filters.
class KeyCommandsFilter : public QObject {
    Q_OBJECT
public:
    // All must outlive the filter; autoList may be null.
    KeyCommandsFilter(RichTextBox &richText, KeyCommands &commands, TagCompletion &completion,
                      AutoList *autoList, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(QKeyEvent *event);
    void textChanged();

    RichTextBox &m_richText;
    // Its viewport, compared with and never asked of the editing area again:
    // the area may be going, no longer a scroll area, when an event comes.
    const QObject *m_viewport;
    KeyCommands &m_commands;
    TagCompletion &m_completion;
    // The last committed character, while the input method's text goes in.
    QChar m_committed;
};
