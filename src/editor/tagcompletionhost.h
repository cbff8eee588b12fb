#pragma once

#include "editor/tagcompletionports.h"

class QWidget;
class RichTextBox;

// The main window and its editing area as the completion list sees them:
// measures in twips of the window's client area, the caret in pixels.
class WindowCompletionHost : public CompletionHost {
public:
    // Both widgets must outlive the host; richText lies inside window.
    WindowCompletionHost(QWidget &window, RichTextBox &richText);

    // The caret's top-left corner in the editing area's own pixels (its
    // frame included), so that the list lines up with the caret.
    QPoint caretPosition() const override;
    int editLeft() const override;
    int editTop() const override;
    int scaleWidth() const override;
    int scaleHeight() const override;
    // The line height of the editing area's font. The window's own font is
    // left alone: its controls keep theirs.
    int textHeight() const override;

private:
    QWidget &m_window;
    RichTextBox &m_richText;
};
