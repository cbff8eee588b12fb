#include "platform/encodingdetection.h"

#include "platform/htmlprescan.h"
#include "platform/textcodec.h"
#include "platform/unicodecodecs.h"

namespace EncodingDetection {

namespace {

const QString kUtf8 = QStringLiteral("UTF-8");

} // namespace

int byteOrderMarkLength(QByteArrayView bytes, const QString &encoding)
{
    const TextCodec *codec = TextCodec::forName(encoding);
    const QByteArray mark = codec ? codec->byteOrderMark() : QByteArray();
    return !mark.isEmpty() && bytes.startsWith(mark) ? int(mark.size()) : 0;
}

Result detect(QByteArrayView bytes)
{
    Result result;
    for (const QString &encoding :
         {kUtf8, QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE")}) {
        if (const int length = byteOrderMarkLength(bytes, encoding)) {
            result.encoding = encoding;
            result.bomLength = length;
            return result;
        }
    }

    bool nonAscii = false;
    const bool utf8 = firstInvalidUtf8(bytes, &nonAscii) < 0 && nonAscii;
    const std::optional<HtmlPrescan::Declaration> declaration = HtmlPrescan::find(bytes);
    if (utf8) {
        result.encoding = kUtf8;
        if (declaration && declaration->encoding != kUtf8)
            result.overruledDeclaration = declaration->encoding;
        return result;
    }
    result.encoding = declaration ? declaration->encoding : QStringLiteral("GBK");
    return result;
}

} // namespace EncodingDetection
