#include "document/pageformat.h"

#include "platform/encodinglabels.h"
#include "platform/textcodec.h"

const TextCodec *PageFormat::codec() const
{
    const TextCodec *found = TextCodec::forName(encoding);
    return found ? found : TextCodec::defaultCodec();
}

QStringView PageFormat::lineBreakText() const
{
    switch (lineBreak) {
    case LineBreak::Lf:
        return u"\n";
    case LineBreak::Cr:
        return u"\r";
    case LineBreak::CrLf:
        break;
    }
    return u"\r\n";
}

QString PageFormat::description() const
{
    QString text = EncodingLabels::displayName(encoding);
    if (byteOrderMark)
        text += QStringLiteral(" BOM");
    switch (lineBreak) {
    case LineBreak::CrLf:
        return text + QStringLiteral(" CRLF");
    case LineBreak::Lf:
        return text + QStringLiteral(" LF");
    case LineBreak::Cr:
        return text + QStringLiteral(" CR");
    }
    return text;
}

PageFormat PageFormat::inEncoding(const QString &name, bool withByteOrderMark) const
{
    PageFormat format = *this;
    if (format.encoding != name)
        format.trailingBytes.clear();
    format.encoding = name;
    format.byteOrderMark = withByteOrderMark || name.startsWith(QLatin1String("UTF-16"));
    return format;
}

PageFormat::LineBreak PageFormat::lineBreakOf(QStringView text)
{
    // CR and LF together are either CR LF pairs or a mix; both count as CR LF.
    const bool hasCr = text.contains(u'\r');
    const bool hasLf = text.contains(u'\n');
    if (hasCr == hasLf)
        return LineBreak::CrLf;
    return hasCr ? LineBreak::Cr : LineBreak::Lf;
}
