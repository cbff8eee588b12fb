#include "editor/tagcompletionhost.h"

#include "editor/richtextbox.h"
#include "platform/twips.h"

#include <QFontMetrics>

WindowCompletionHost::WindowCompletionHost(QWidget &window, RichTextBox &richText)
    : m_window(window)
    , m_richText(richText)
{}

QPoint WindowCompletionHost::caretPosition() const
{
    // The caret as it stands once the view has followed it; mostly it is in
    // view already, and finding its place once is enough.
    QRect caret = m_richText.cursorRect();
    if (!m_richText.viewport()->rect().contains(caret)) {
        m_richText.ensureCursorVisible();
        caret = m_richText.cursorRect();
    }
    return m_richText.viewport()->mapTo(&m_richText, caret.topLeft());
}

int WindowCompletionHost::editLeft() const
{
    return Twips::fromPixelsRounded(m_richText.mapTo(&m_window, QPoint(0, 0)).x());
}

int WindowCompletionHost::editTop() const
{
    return Twips::fromPixelsRounded(m_richText.mapTo(&m_window, QPoint(0, 0)).y());
}

int WindowCompletionHost::scaleWidth() const
{
    return Twips::fromPixelsRounded(m_window.width());
}

int WindowCompletionHost::scaleHeight() const
{
    return Twips::fromPixelsRounded(m_window.height());
}

int WindowCompletionHost::textHeight() const
{
    return Twips::fromPixelsRounded(QFontMetrics(m_richText.font()).height());
}
