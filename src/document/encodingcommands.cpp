#include "document/encodingcommands.h"

#include "document/documentsession.h"
#include "document/filecommands.h"
#include "editor/richtext.h"
#include "platform/encodinglabels.h"
#include "platform/prompts.h"
#include "platform/textcodec.h"

EncodingCommands::EncodingCommands(RichText &richText, DocumentSession &session,
                                   FileCommands &fileCommands, Prompts &prompts)
    : m_richText(richText)
    , m_session(session)
    , m_fileCommands(fileCommands)
    , m_prompts(prompts)
{}

QStringList EncodingCommands::commonEncodings()
{
    return {QStringLiteral("GBK"),         QStringLiteral("UTF-8"),     QStringLiteral("Big5"),
            QStringLiteral("gb18030"),     QStringLiteral("Shift_JIS"), QStringLiteral("EUC-KR"),
            QStringLiteral("windows-1252")};
}

QStringList EncodingCommands::otherEncodings()
{
    const QStringList common = commonEncodings();
    QStringList others;
    // Not offered: the stand-in for no encoding, and a label browsers read as
    // windows-1252 anyway.
    const QStringList never = {QStringLiteral("replacement"), QStringLiteral("x-user-defined")};
    for (const QString &name : EncodingLabels::names()) {
        if (!common.contains(name) && !never.contains(name))
            others.append(name);
    }
    return others;
}

bool EncodingCommands::isUsable(const QString &encoding)
{
    if (TextCodec::forName(encoding))
        return true;
    m_prompts.messageBox(QStringLiteral("这台电脑不支持 %1 编码。").arg(encoding),
                         Prompts::Exclamation, QStringLiteral("编码"));
    return false;
}

void EncodingCommands::ReopenWithEncoding(const QString &encoding)
{
    if (!isUsable(encoding))
        return;
    const QString path = m_session.CurrentFile;
    if (path.isEmpty()) {
        m_prompts.messageBox(QStringLiteral("网页还没有保存成文件,不能重新打开。"),
                             Prompts::Exclamation, QStringLiteral("确认"));
        return;
    }
    if (!m_fileCommands.MayReplaceModifiedPage())
        return;
    m_fileCommands.LoadNamedFileOrSay(path, encoding);
}

void EncodingCommands::SaveWithEncoding(const QString &encoding, bool byteOrderMark)
{
    if (!isUsable(encoding))
        return;
    m_fileCommands.SaveInFormat(m_session.format().inEncoding(encoding, byteOrderMark));
}
