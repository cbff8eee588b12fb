#include "checker/fullwidthslips.h"

#include "checker/tokenmessages.h"

using Checker::charAt;
using Checker::FixEdit;
using Checker::Problem;
using Checker::Severity;
using Checker::Tag;
using Checker::TextPos;

namespace FullWidthSlips {

namespace {

bool isOpeningQuote(char16_t c)
{
    return c == u'“' || c == u'‘' || c == u'「' || c == u'『' || c == u'＂' || c == u'＇' ||
           c == u'”' || c == u'’';
}

bool isClosingQuote(char16_t c)
{
    return c == u'”' || c == u'’' || c == u'」' || c == u'』' || c == u'＂' || c == u'＇' ||
           c == u'“';
}

bool isFullWidthAlnum(char16_t c)
{
    return (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||
           (c >= 0xFF41 && c <= 0xFF5A);
}

char16_t quoteFor(char16_t c)
{
    return c == u'‘' || c == u'’' || c == u'＇' ? u'\'' : u'"';
}

Problem slip(TextPos pos, qsizetype length, QLatin1StringView code, const QString &message,
             QList<FixEdit> fix)
{
    return Problem{pos, length, Severity::Error, code, message, std::move(fix)};
}

Problem singleSlip(TextPos pos, char16_t c)
{
    const QString half = u'“' + QString(QChar(halfWidth(c))) + u'”';
    if (isSlipSpace(c)) {
        return slip(pos, 1, QLatin1StringView("fullwidth-space"),
                    QStringLiteral("标签中的%1 %2 不是 HTML 的空白，应为半角空格")
                        .arg(c == 0x3000 ? QStringLiteral("全角空格") : QString(),
                             Checker::characterName(c)),
                    {FixEdit{pos, 1, QStringLiteral(" ")}});
    }
    if (c == u'＝') {
        return slip(pos, 1, QLatin1StringView("fullwidth-equals-sign"),
                    QStringLiteral("属性名后的全角等号 %1 应为半角的 %2")
                        .arg(Checker::characterName(c), half),
                    {FixEdit{pos, 1, QString(QChar(halfWidth(c)))}});
    }
    return slip(
        pos, 1, QLatin1StringView("fullwidth-punctuation"),
        QStringLiteral("标签中的全角符号 %1 应为半角的 %2").arg(Checker::characterName(c), half),
        {FixEdit{pos, 1, QString(QChar(halfWidth(c)))}});
}

// A run of full-width letters and digits from index from in text.
Problem letterSlip(QStringView text, TextPos pos, qsizetype from, qsizetype &end)
{
    end = from;
    QString ascii;
    while (end < text.size() && isFullWidthAlnum(text[end].unicode())) {
        ascii += QChar(text[end].unicode() - 0xFEE0);
        ++end;
    }
    const QString written = text.mid(from, end - from).toString();
    return slip(pos, end - from, QLatin1StringView("fullwidth-letter"),
                QStringLiteral("名称中的全角字母“%1”应为半角的“%2”").arg(written, ascii),
                {FixEdit{pos, end - from, ascii}});
}

// One part of a tag, with where it starts.
struct Part {
    QStringView text;
    TextPos start;
    bool name;  // a tag or attribute name (full-width letters are slips)
    bool value; // an unquoted value (a quote counts only at its start)
};

} // namespace

bool isSlipSpace(char16_t c)
{
    return c == 0x3000 || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x205F ||
           c == 0xFEFF;
}

char16_t halfWidth(char16_t c)
{
    if (isSlipSpace(c))
        return u' ';
    if (isFullWidthAlnum(c) || c == u'＝' || c == u'＜' || c == u'＞' || c == u'／' || c == u'；')
        return char16_t(c - 0xFEE0);
    if (isOpeningQuote(c) || isClosingQuote(c))
        return quoteFor(c);
    return 0;
}

QString intendedName(const QString &name)
{
    QString meant;
    for (const QChar c : name) {
        if (isFullWidthAlnum(c.unicode()))
            meant += QChar(c.unicode() - 0xFEE0);
        else if (halfWidth(c.unicode()))
            break;
        else
            meant += c;
    }
    return meant;
}

void findInTag(const Tag &tag, std::vector<Problem> &out)
{
    std::vector<Part> parts;
    parts.push_back({tag.name, tag.namePos, true, false});
    for (const Checker::Attribute &attribute : tag.attributes) {
        parts.push_back({attribute.name, attribute.namePos, true, false});
        if (attribute.hasValue && !attribute.quoted())
            parts.push_back({attribute.value, attribute.valuePos, false, true});
    }
    // An opening quote waiting for its closing one, perhaps in a later part.
    qsizetype openProblem = -1;
    char16_t openChar = 0;
    for (const Part &part : parts) {
        for (qsizetype i = 0; i < part.text.size(); ++i) {
            const char16_t c = part.text[i].unicode();
            const TextPos pos = Checker::advance(part.start, part.text, i);
            if (openProblem >= 0 && isClosingQuote(c)) {
                Problem &problem = out[size_t(openProblem)];
                problem.fix.append(FixEdit{pos, 1, QString(QChar(quoteFor(c)))});
                problem.message = QStringLiteral("全角引号 %1 和 %2 不能括起属性值，应为半角的“%3”")
                                      .arg(Checker::characterName(openChar),
                                           Checker::characterName(c), problem.fix.first().text);
                openProblem = -1;
                continue;
            }
            const bool quoteHere =
                isOpeningQuote(c) &&
                ((part.value && i == 0) || (part.name && i > 0 && part.text[i - 1] == u'＝'));
            if (quoteHere) {
                const QString half(QChar(quoteFor(c)));
                out.push_back(slip(pos, 1, QLatin1StringView("fullwidth-quote"),
                                   QStringLiteral("全角引号 %1 不能括起属性值，应为半角的“%2”")
                                       .arg(Checker::characterName(c), half),
                                   {FixEdit{pos, 1, half}}));
                openProblem = qsizetype(out.size()) - 1;
                openChar = c;
            } else if (part.name && isFullWidthAlnum(c)) {
                qsizetype end = i;
                out.push_back(letterSlip(part.text, pos, i, end));
                i = end - 1;
            } else if (isSlipSpace(c) || c == u'＝' || c == u'＜' || c == u'＞' || c == u'／') {
                if (c == u'＝' && !part.name)
                    continue;
                out.push_back(singleSlip(pos, c));
            }
        }
    }
}

bool findAfterLessThan(QStringView text, TextPos at, std::vector<Problem> &out)
{
    if (text.isEmpty())
        return false;
    const char16_t c = text[0].unicode();
    if (isFullWidthAlnum(c)) {
        qsizetype end = 0;
        out.push_back(letterSlip(text, at, 0, end));
        return true;
    }
    if (c == u'／' && text.size() > 1 &&
        (text[1].isLetter() || isFullWidthAlnum(text[1].unicode()))) {
        out.push_back(singleSlip(at, c));
        return true;
    }
    return false;
}

bool isFullWidthTagOpen(QStringView text, qsizetype i)
{
    auto asciiLetter = [&](qsizetype k) {
        return k < text.size() && text[k].unicode() < 0x80 && text[k].isLetter();
    };
    return asciiLetter(i + 1) ||
           ((charAt(text, i + 1) == u'/' || charAt(text, i + 1) == u'／') && asciiLetter(i + 2)) ||
           text.mid(i + 1, 3) == QLatin1StringView("!--");
}

Problem fullWidthTagOpen(TextPos at)
{
    return slip(
        at, 1, QLatin1StringView("fullwidth-punctuation"),
        QStringLiteral("全角的 %1 不能开始标签，应为半角的“<”").arg(Checker::characterName(u'＜')),
        {FixEdit{at, 1, QStringLiteral("<")}});
}

Problem fullWidthSemicolon(TextPos at, QStringView name)
{
    return slip(at, 1, QLatin1StringView("fullwidth-semicolon"),
                QStringLiteral("字符引用 &%1 后的全角分号 %2 应为半角的“;”")
                    .arg(name.toString(), Checker::characterName(u'；')),
                {FixEdit{at, 1, QStringLiteral(";")}});
}

} // namespace FullWidthSlips
