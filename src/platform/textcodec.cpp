#include "platform/textcodec.h"

#include "platform/ansicodec.h"
#include "platform/statefulcodec.h"
#include "platform/tablecodec.h"
#include "platform/unicodecodecs.h"

#include <QHash>
#include <memory>

namespace {

// GBK and GB18030 pages: code page 936 with GB18030's four-byte forms, which
// hold every character, so nothing is ever unencodable.
class AnsiTextCodec : public TextCodec {
public:
    explicit AnsiTextCodec(QString name)
        : TextCodec(std::move(name))
    {}

    QString decode(QByteArrayView bytes) const override { return AnsiCodec::decode(bytes); }
    QByteArray encode(QStringView text, QStringView tail) const override
    {
        return AnsiCodec::encode(text, AnsiCodec::encode(tail));
    }
    qsizetype encodedLength(QStringView text) const override
    {
        return AnsiCodec::encodedLength(text);
    }
    Unencodable unencodable(QStringView) const override { return {}; }
};

std::unique_ptr<TextCodec> makeCodec(const QString &name)
{
    if (name == QLatin1String("GBK") || name == QLatin1String("gb18030"))
        return std::make_unique<AnsiTextCodec>(name);
    if (name == QLatin1String("UTF-8"))
        return makeUtf8Codec();
    if (name == QLatin1String("UTF-16LE") || name == QLatin1String("UTF-16BE"))
        return makeUtf16Codec(name);
    if (name == QLatin1String("ISO-2022-JP"))
        return makeStatefulCodec(name);
    return makeTableCodec(name);
}

} // namespace

const TextCodec *TextCodec::forName(const QString &name)
{
    // Made once and kept for the run; a name without codec is remembered too.
    static QHash<QString, std::shared_ptr<TextCodec>> codecs;
    auto found = codecs.constFind(name);
    if (found == codecs.constEnd())
        found = codecs.insert(name, std::shared_ptr<TextCodec>(makeCodec(name)));
    return found->get();
}

const TextCodec *TextCodec::defaultCodec()
{
    return forName(QStringLiteral("GBK"));
}

bool TextCodec::holdsLineBreakingCharacter(QStringView text)
{
    // Three searches that use the processor's vector instructions beat one
    // loop that does not.
    return text.contains(QChar(0x2029)) || text.contains(QChar(0xFDD0)) ||
           text.contains(QChar(0xFDD1));
}

void TextCodec::appendReference(QByteArray &out, char32_t codePoint)
{
    out += "&#";
    out += QByteArray::number(uint(codePoint));
    out += ';';
}

qsizetype TextCodec::referenceLength(char32_t codePoint)
{
    qsizetype digits = 1;
    for (char32_t rest = codePoint; rest >= 10; rest /= 10)
        ++digits;
    return digits + 3;
}
