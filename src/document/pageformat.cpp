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
    return LineBreaks::text(lineBreak);
}

QString PageFormat::description(bool mixedLineBreaks) const
{
    QString text = EncodingLabels::displayName(encoding);
    if (byteOrderMark)
        text += QStringLiteral(" BOM");
    const bool mixed = mixedLineBreaks || (finalLineBreak && finalBreak() != lineBreak);
    return text + (mixed ? QStringLiteral(" 混合换行")
                         : QStringLiteral(" ") + LineBreaks::name(lineBreak));
}

qint64 PageFormat::bytesAroundText() const
{
    const TextCodec *textCodec = codec();
    qint64 bytes = trailingBytes.size();
    if (byteOrderMark)
        bytes += textCodec->byteOrderMark().size();
    if (finalLineBreak)
        bytes += textCodec->encodedLength(LineBreaks::text(finalBreak()));
    return bytes;
}

PageFormat PageFormat::withLineBreaks(LineBreak to) const
{
    PageFormat format = *this;
    format.lineBreak = to;
    format.ownFinalBreak.reset();
    return format;
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
