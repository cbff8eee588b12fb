#include "document/charsetdeclaration.h"

#include "platform/encodinglabels.h"

namespace CharsetDeclaration {

namespace {

bool isChinese(const QString &encoding)
{
    return encoding == QLatin1String("GBK") || encoding == QLatin1String("gb18030");
}

} // namespace

bool disagrees(const QString &declared, const QString &encoding)
{
    if (declared.isEmpty() || encoding.startsWith(QLatin1String("UTF-16")))
        return false;
    if (isChinese(declared) && isChinese(encoding))
        return false;
    return declared != encoding;
}

QString labelFor(const QString &encoding)
{
    return encoding.toLower();
}

std::optional<HtmlPrescan::Declaration> findXml(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && EncodingLabels::isAsciiWhitespace(text[at].unicode()))
        ++at;
    if (!text.sliced(at).startsWith(u"<?xml"))
        return std::nullopt;
    const qsizetype end = text.indexOf(u"?>", at);
    const QStringView declaration = text.sliced(at, (end < 0 ? text.size() : end) - at);
    const qsizetype name = declaration.indexOf(u"encoding");
    if (name < 0)
        return std::nullopt;
    qsizetype i = name + 8;
    const auto skipBlanks = [&] {
        while (i < declaration.size() &&
               EncodingLabels::isAsciiWhitespace(declaration[i].unicode()))
            ++i;
    };
    skipBlanks();
    if (i >= declaration.size() || declaration[i] != u'=')
        return std::nullopt;
    ++i;
    skipBlanks();
    if (i >= declaration.size() || (declaration[i] != u'"' && declaration[i] != u'\''))
        return std::nullopt;
    const qsizetype close = declaration.indexOf(declaration[i], i + 1);
    if (close < 0)
        return std::nullopt;
    HtmlPrescan::Declaration found;
    found.encoding = EncodingLabels::nameForLabel(declaration.sliced(i + 1, close - i - 1));
    if (found.encoding.isEmpty())
        return std::nullopt;
    found.labelStart = at + i + 1;
    found.labelLength = close - i - 1;
    return found;
}

} // namespace CharsetDeclaration
