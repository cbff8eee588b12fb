#include "document/unencodablechoice.h"

#include "platform/prompts.h"

namespace UnencodableChoice {

Choice ask(Prompts &prompts, const QString &text, const QString &encoding,
           const TextCodec::Unencodable &found)
{
    // Lines of the text break at CR LF; the column counts characters.
    const QStringView before = QStringView(text).left(found.first);
    const qsizetype line = before.count(QLatin1String("\r\n")) + 1;
    const qsizetype lineStart = before.lastIndexOf(QLatin1String("\r\n"));
    const qsizetype column = found.first - (lineStart < 0 ? 0 : lineStart + 2) + 1;
    const qsizetype length =
        text[found.first].isHighSurrogate() && found.first + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(found.first, length);

    const QString message =
        QStringLiteral("网页的编码 %1 不能保存字符“%2”(第 %3 行第 %4 列)，"
                       "这样的字符共有 %5 个。\r\n\r\n"
                       "是：改用 UTF-8 编码保存网页\r\n"
                       "否：把这些字符写成 HTML 字符引用(如 &#20013;)，浏览器照样显示\r\n"
                       "取消：不保存")
            .arg(encoding, character)
            .arg(line)
            .arg(column)
            .arg(found.count);
    switch (prompts.messageBox(message, Prompts::Exclamation + Prompts::YesNoCancel,
                               QStringLiteral("编码"))) {
    case Prompts::AnswerYes:
        return SaveAsUtf8;
    case Prompts::AnswerNo:
        return WriteReferences;
    default:
        return Cancel;
    }
}

} // namespace UnencodableChoice
