#include "document/preview.h"

#include "document/pagefile.h"
#include "editor/richtext.h"
#include "platform/launcher.h"
#include "platform/places.h"
#include "platform/prompts.h"
#include "shell/statusline.h"

Preview::Preview(RichText &richText, StatusLine &status, Prompts &prompts, Launcher &launcher)
    : m_richText(richText)
    , m_status(status)
    , m_prompts(prompts)
    , m_launcher(launcher)
{}

QString Preview::PreviewPath()
{
    return AddBackslash(Places::programFolder()) + QStringLiteral("Preview.htm");
}

void Preview::shoot_Click()
{
    const QString path = PreviewPath();
    const SafeFile::Result written =
        PageFile::write(path, m_richText.Text(), m_format ? *m_format : PageFormat());
    if (!written.ok) {
        m_prompts.messageBox(QStringLiteral("无法预览：预览文件写不进程序所在的文件夹。\r\n") +
                                 path + QStringLiteral("\r\n") + written.error,
                             Prompts::Exclamation, QStringLiteral("错误"));
        return;
    }
    // Relative links in the page resolve against the program's folder.
    openOrSay(m_launcher, m_prompts, QUrl::fromLocalFile(path));
}

void Preview::shoot_MouseMove()
{
    m_status.setText(QStringLiteral("在浏览器中预览   F9"));
}
