#include "platform/regexreasons.h"

#include <QHash>

namespace {

// PCRE2's compile errors, as Qt passes them on, and their Chinese.
const QHash<QString, QString> &reasons()
{
    static const QHash<QString, QString> table{
        {"no error", "没有错误"},
        {"\\ at end of pattern", "末尾的 \\ 后面缺少字符"},
        {"\\c at end of pattern", "末尾的 \\c 后面缺少字符"},
        {"unrecognized character follows \\", "\\ 后面的字符无法识别"},
        {"numbers out of order in {} quantifier", "{} 次数中前一个数大于后一个数"},
        {"number too big in {} quantifier", "{} 次数中的数太大"},
        {"missing terminating ] for character class", "字符集缺少结尾的 ]"},
        {"escape sequence is invalid in character class", "字符集中不能用这个转义序列"},
        {"range out of order in character class", "字符集中范围的起点大于终点"},
        {"quantifier does not follow a repeatable item", "次数符号前面没有可重复的内容"},
        {"unrecognized character after (? or (?-", "(? 或 (?- 后面的字符无法识别"},
        {"POSIX named classes are supported only within a class",
         "POSIX 字符类只能写在 [] 字符集里"},
        {"POSIX collating elements are not supported", "不支持 POSIX 排序元素"},
        {"missing closing parenthesis", "缺少右括号 )"},
        {"reference to non-existent subpattern", "引用了不存在的分组"},
        {"missing ) after (?# comment", "(?# 注释缺少右括号 )"},
        {"parentheses are too deeply nested", "括号嵌套太深"},
        {"regular expression is too large", "正则表达式太大"},
        {"failed to allocate heap memory", "内存不足"},
        {"unmatched closing parenthesis", "多了右括号 )，没有与之配对的左括号"},
        {"missing closing parenthesis for condition", "条件缺少右括号 )"},
        {"lookbehind assertion is not fixed length", "向后查找断言的长度不固定"},
        {"a relative value of zero is not allowed", "相对分组编号不能为 0"},
        {"conditional subpattern contains more than two branches", "条件分组的分支多于两个"},
        {"assertion expected after (?( or (?(?C)", "(?( 或 (?(?C) 后面应是断言"},
        {"digit expected after (?+ or (?-", "(?+ 或 (?- 后面应是数字"},
        {"unknown POSIX class name", "未知的 POSIX 字符类名"},
        {"parentheses are too deeply nested (stack check)", "括号嵌套太深"},
        {"character code point value in \\x{} or \\o{} is too large",
         "\\x{} 或 \\o{} 中的字符编码太大"},
        {"lookbehind is too complicated", "向后查找断言太复杂"},
        {"\\C is not allowed in a lookbehind assertion in UTF-16 mode", "向后查找断言中不能用 \\C"},
        {"PCRE2 does not support \\F, \\L, \\l, \\N{name}, \\U, or \\u",
         "不支持 \\F、\\L、\\l、\\N{名称}、\\U 和 \\u"},
        {"number after (?C is greater than 255", "(?C 后面的数大于 255"},
        {"closing parenthesis for (?C expected", "(?C 缺少右括号 )"},
        {"invalid escape sequence in (*VERB) name", "(*动词) 名称中的转义序列无效"},
        {"unrecognized character after (?P", "(?P 后面的字符无法识别"},
        {"syntax error in subpattern name (missing terminator?)",
         "分组名写法有误（是否缺少结尾的 > 或 '？）"},
        {"two named subpatterns have the same name (PCRE2_DUPNAMES not set)",
         "两个命名分组用了同一个名字"},
        {"subpattern name must start with a non-digit", "分组名不能以数字开头"},
        {"this version of PCRE2 does not have support for \\P, \\p, or \\X",
         "不支持 \\P、\\p 和 \\X"},
        {"malformed \\P or \\p sequence", "\\P 或 \\p 的写法有误"},
        {"unknown property after \\P or \\p", "\\P 或 \\p 后面是未知的字符属性"},
        {"subpattern name is too long (maximum 32 code units)", "分组名太长（最多 32 个字符）"},
        {"too many named subpatterns (maximum 10000)", "命名分组太多（最多 10000 个）"},
        {"invalid range in character class", "字符集中的范围无效"},
        {"octal value is greater than \\377 in 8-bit non-UTF-8 mode", "八进制值大于 \\377"},
        {"DEFINE subpattern contains more than one branch", "DEFINE 分组的分支多于一个"},
        {"missing opening brace after \\o", "\\o 后面缺少左花括号 {"},
        {"\\g is not followed by a braced, angle-bracketed, or quoted name/number or by a "
         "plain number",
         "\\g 后面应是写在 {}、<> 或引号中的名字或编号，或一个数"},
        {"(?R (recursive pattern call) must be followed by a closing parenthesis",
         "(?R（递归调用）后面应是右括号 )"},
        {"(*VERB) not recognized or malformed", "(*动词) 无法识别或写法有误"},
        {"subpattern number is too big", "分组编号太大"},
        {"subpattern name expected", "这里应是分组名"},
        {"non-octal character in \\o{} (closing brace missing?)",
         "\\o{} 中有非八进制字符（是否缺少右花括号 }？）"},
        {"different names for subpatterns of the same number are not allowed",
         "同一编号的分组不能有不同的名字"},
        {"(*MARK) must have an argument", "(*MARK) 必须带参数"},
        {"non-hex character in \\x{} (closing brace missing?)",
         "\\x{} 中有非十六进制字符（是否缺少右花括号 }？）"},
        {"\\c must be followed by a printable ASCII character", "\\c 后面应是可打印的 ASCII 字符"},
        {"\\k is not followed by a braced, angle-bracketed, or quoted name",
         "\\k 后面应是写在 {}、<> 或引号中的名字"},
        {"\\N is not supported in a class", "字符集中不能用 \\N"},
        {"callout string is too long", "标注字符串太长"},
        {"disallowed Unicode code point (>= 0xd800 && <= 0xdfff)",
         "不允许的 Unicode 编码（0xD800 至 0xDFFF）"},
        {"using UTF is disabled by the application", "程序不允许使用 UTF"},
        {"using UCP is disabled by the application", "程序不允许使用 UCP"},
        {"name is too long in (*MARK), (*PRUNE), (*SKIP), or (*THEN)",
         "(*MARK)、(*PRUNE)、(*SKIP) 或 (*THEN) 中的名字太长"},
        {"character code point value in \\u.... sequence is too large", "\\u 序列中的字符编码太大"},
        {"digits missing in \\x{} or \\o{} or \\N{U+}", "\\x{}、\\o{} 或 \\N{U+} 中缺少数字"},
        {"syntax error or number too big in (?(VERSION condition",
         "(?(VERSION 条件写法有误或数字太大"},
        {"missing terminating delimiter for callout with string argument",
         "带字符串的标注缺少结尾的分隔符"},
        {"unrecognized string delimiter follows (?C", "(?C 后面的字符串分隔符无法识别"},
        {"using \\C is disabled by the application", "程序不允许使用 \\C"},
        {"(?| and/or (?J: or (?x: parentheses are too deeply nested",
         "(?|、(?J: 或 (?x: 括号嵌套太深"},
        {"using \\C is disabled in this PCRE2 library", "不允许使用 \\C"},
        {"regular expression is too complicated", "正则表达式太复杂"},
        {"lookbehind assertion is too long", "向后查找断言太长"},
        {"pattern string is longer than the limit set by the application", "正则表达式太长"},
        {"\\N{U+dddd} is supported only in Unicode (UTF) mode",
         "\\N{U+dddd} 只能在 Unicode 模式下使用"},
        {"invalid hyphen in option setting", "选项设置中的连字符 - 无效"},
        {"(*alpha_assertion) not recognized", "(*字母断言) 无法识别"},
        {"script runs require Unicode support, which this version of PCRE2 does not have",
         "不支持文字连续段（script run）"},
        {"too many capturing groups (maximum 65535)", "捕获分组太多（最多 65535 个）"},
        {"atomic assertion expected after (?( or (?(?C)", "(?( 或 (?(?C) 后面应是原子断言"},
        {"\\K is not allowed in lookarounds (but see PCRE2_EXTRA_ALLOW_LOOKAROUND_BSK)",
         "查找断言中不能用 \\K"},
    };
    return table;
}

bool isAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

} // namespace

QString RegexReason(const QString &qtReason)
{
    const auto found = reasons().constFind(qtReason);
    if (found != reasons().constEnd())
        return *found;
    // Texts the library has no business giving a user, and newer ones.
    if (qtReason.startsWith(QLatin1String("internal error")))
        return QStringLiteral("正则表达式库内部出错（%1）").arg(qtReason);
    if (!qtReason.isEmpty() && isAscii(qtReason))
        return QStringLiteral("写法有误（%1）").arg(qtReason);
    return qtReason;
}

QString RegexReasonTranslator::translate(const char *context, const char *sourceText, const char *,
                                         int) const
{
    if (qstrcmp(context, "QRegularExpression") != 0 || !sourceText)
        return QString();
    return RegexReason(QString::fromLatin1(sourceText));
}
