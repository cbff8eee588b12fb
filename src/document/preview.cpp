#include "document/preview.h"

#include "document/documentsession.h"
#include "document/pagefile.h"
#include "editor/richtext.h"
#include "platform/launcher.h"
#include "platform/places.h"
#include "platform/prompts.h"
#include "platform/statusline.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

QString PreviewText(const QString &text, const QString &pageFile)
{
    if (pageFile.isEmpty())
        return text;
    constexpr auto kNoCase = QRegularExpression::CaseInsensitiveOption;
    static const QRegularExpression baseHref(QStringLiteral(R"(<base\b[^>]*[\s"'/]href\s*=)"),
                                             kNoCase);
    if (text.contains(baseHref))
        return text;

    const QString folder = QFileInfo(pageFile).absolutePath();
    const QString url = QUrl::fromLocalFile(AddBackslash(folder)).toString(QUrl::FullyEncoded);
    const QString base =
        QStringLiteral("<base href=\"") + url.toHtmlEscaped() + QStringLiteral("\">");

    static const QRegularExpression head(QStringLiteral(R"(<head(?=[\s/>])[^>]*>)"), kNoCase);
    static const QRegularExpression prologue(
        QStringLiteral(R"(^(?:\s|<!--.*?-->|<\?[^>]*>|<!doctype[^>]*>)*)"),
        kNoCase | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch headTag = head.match(text);
    const qsizetype at =
        headTag.hasMatch() ? headTag.capturedEnd() : prologue.match(text).capturedEnd();
    return QString(text).insert(at, base);
}

Preview::Preview(RichText &richText, StatusLine &status, Prompts &prompts, Launcher &launcher,
                 const DocumentSession *session)
    : m_richText(richText)
    , m_status(status)
    , m_prompts(prompts)
    , m_launcher(launcher)
    , m_session(session)
{}

QString Preview::PreviewPath()
{
    return Places::previewFile();
}

void Preview::shoot_Click()
{
    const QString path = PreviewPath();
    const QString pageFile = m_session ? m_session->CurrentFile : QString();
    const SafeFile::Result written =
        PageFile::write(path, PreviewText(m_richText.Text(), pageFile),
                        m_session ? m_session->format() : PageFormat());
    if (!written.ok) {
        m_prompts.messageBox(QStringLiteral("无法预览：预览文件写不进去。\r\n") + path +
                                 QStringLiteral("\r\n") + written.error,
                             Prompts::Exclamation, QStringLiteral("错误"));
        return;
    }
    openOrSay(m_launcher, m_prompts, QUrl::fromLocalFile(path));
}

void Preview::shoot_MouseMove()
{
    m_status.setText(QStringLiteral("在浏览器中预览   F9"));
}
