#include "checker/tokenmessages.h"

#include "checker/problem.h"

#include <QChar>

namespace Checker {

QString severityText(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("错误") : QStringLiteral("警告");
}

QString characterName(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    if (c < 0x21 || (c >= 0x7F && c <= 0xA0) || QChar::isSpace(c) || (c >= 0xD800 && c <= 0xDFFF) ||
        !QChar::isPrint(c))
        return code;
    return u'“' + QString::fromUcs4(&c, 1) + QStringLiteral("”（") + code + u'）';
}

QString tokenMessage(QLatin1StringView code, const QString &what)
{
    struct Entry {
        const char *code;
        const char *message; // %1 is what
    };
    static const Entry kMessages[] = {
        {"missing-whitespace-between-attributes", "属性之间缺少空格"},
        {"unexpected-character-in-attribute-name", "属性名中有不该有的字符 %1"},
        {"unexpected-character-in-unquoted-attribute-value", "没加引号的属性值中有不该有的字符 %1"},
        {"unexpected-equals-sign-before-attribute-name", "属性名前多了一个“=”"},
        {"missing-attribute-value", "“=”后缺少属性值"},
        {"unexpected-solidus-in-tag", "标签中的“/”后面不是“>”"},
        {"invalid-first-character-of-tag-name", "“<”后的 %1 不能开始标签名，这个“<”被当作文字"},
        {"unexpected-question-mark-instead-of-tag-name", "“<?”不是 HTML 的标签，被当作注释"},
        {"missing-end-tag-name", "结束标签“</>”缺少标签名，被忽略"},
        {"abrupt-closing-of-empty-comment", "空注释过早结束，应写成“<!---->”"},
        {"incorrectly-closed-comment", "注释以“--!>”结束，应为“-->”"},
        {"incorrectly-opened-comment", "“<!”后既不是注释“<!--”也不是 DOCTYPE，被当作注释"},
        {"eof-in-tag", "标签 %1 直到文件末尾都没有“>”"},
        {"eof-in-comment", "注释直到文件末尾都没有结束，缺少“-->”"},
        {"eof-in-doctype", "DOCTYPE 直到文件末尾都没有“>”"},
        {"eof-before-tag-name", "文件以“<”结束"},
        {"eof-in-script-html-comment-like-text", "脚本中的“<!--”直到文件末尾都没有结束"},
        {"duplicate-attribute", "属性 %1 重复，后一个被忽略"},
        {"end-tag-with-attributes", "结束标签 %1 不能带属性"},
        {"end-tag-with-trailing-solidus", "结束标签 %1 不能以“/>”结束"},
        {"non-void-html-element-start-tag-with-trailing-solidus", "%1 不是空元素，“/>”并不结束它"},
        {"missing-semicolon-after-character-reference", "字符引用 %1 后缺少“;”"},
        {"unknown-named-character-reference", "没有名为 %1 的字符引用"},
        {"absence-of-digits-in-numeric-character-reference", "数字字符引用 %1 中没有数字"},
        {"null-character-reference", "字符引用 %1 指向空字符 U+0000"},
        {"character-reference-outside-unicode-range", "字符引用 %1 超出了 Unicode 的范围"},
        {"surrogate-character-reference", "字符引用 %1 指向代理码位，不是字符"},
        {"noncharacter-character-reference", "字符引用 %1 指向非字符码位"},
        {"control-character-reference", "字符引用 %1 指向控制字符"},
        {"unexpected-null-character", "页面中有空字符 U+0000"},
        {"control-character-in-input-stream", "页面中有控制字符 %1"},
        {"noncharacter-in-input-stream", "页面中有非字符码位 %1"},
        {"surrogate-in-input-stream", "页面中有落单的代理码位 %1"},
        {"missing-doctype-name", "DOCTYPE 缺少名称，应为“<!DOCTYPE html>”"},
    };
    for (const Entry &entry : kMessages) {
        if (code == QLatin1StringView(entry.code)) {
            const QString message = QString::fromUtf8(entry.message);
            return message.contains(QLatin1StringView("%1")) ? message.arg(what) : message;
        }
    }
    return QStringLiteral("语法错误 %1").arg(what);
}

} // namespace Checker
