#pragma once

#include <QString>

class Launcher;
class Prompts;
struct PageFormat;
class RichText;
class StatusLine;

// Preview in the browser (shoot "运行HTML", F9): the page as it stands,
// saved or not, is written to "Preview.htm" beside the program and opened
// with the desktop's default browser. The document's own file is not
// touched. Acts on the editing area, status line, prompts and launcher it is
// given and owns none of them.
class Preview {
public:
    Preview(RichText &richText, StatusLine &status, Prompts &prompts, Launcher &launcher);

    // Click on shoot, and F9.
    void shoot_Click();
    // Hint for shoot on the status line.
    void shoot_MouseMove();

    // Full path of the preview file.
    static QString PreviewPath();

    // The page's form, which the preview is written in; GBK while unset.
    // Characters its encoding cannot hold go in as character references.
    void followFormat(const PageFormat *format) { m_format = format; }

private:
    RichText &m_richText;
    StatusLine &m_status;
    Prompts &m_prompts;
    Launcher &m_launcher;
    const PageFormat *m_format = nullptr;
};
