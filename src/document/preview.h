#pragma once

#include <QString>

class DocumentSession;
class Launcher;
class Prompts;
class RichText;
class StatusLine;

// Preview in the browser (shoot "运行HTML", F9): the page as it stands,
// saved or not, is written to "Preview.htm" (see Places) and opened with the
// desktop's default browser. The document's own file is not touched. Acts on
// the editing area, status line, prompts, launcher and session it is given
// and owns none of them; without a session every page counts as unsaved.
class Preview {
public:
    Preview(RichText &richText, StatusLine &status, Prompts &prompts, Launcher &launcher,
            const DocumentSession *session = nullptr);

    // Click on shoot, and F9.
    void shoot_Click();
    // Hint for shoot on the status line.
    void shoot_MouseMove();

    // Full path of the preview file.
    static QString PreviewPath();

private:
    RichText &m_richText;
    StatusLine &m_status;
    Prompts &m_prompts;
    Launcher &m_launcher;
    const DocumentSession *m_session;
};

// What the preview file holds for a page with this text, stored at pageFile
// ("" while it has no file): the text itself, but a stored page without a
// <base href> gets one naming its own folder, so that its relative links
// resolve as they do when the page itself is opened. The <base> goes right
// after <head> when there is one, else in front of everything but a leading
// doctype, declarations and comments (anything before the doctype would
// switch the browser to quirks mode).
QString PreviewText(const QString &text, const QString &pageFile);
