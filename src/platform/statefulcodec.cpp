#include "platform/statefulcodec.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

class StatefulCodec : public TextCodec {
public:
    explicit StatefulCodec(const QString &name)
        : TextCodec(name)
        , m_converter(name.toLatin1())
    {}

    bool isValid() const { return QStringDecoder(m_converter.constData()).isValid(); }

    QString decode(QByteArrayView bytes) const override
    {
        QStringDecoder decoder(m_converter.constData(), QStringConverter::Flag::Stateless);
        return decoder.decode(bytes);
    }

    QByteArray encode(QStringView text, QStringView tail) const override
    {
        QString whole = withReferences(text);
        whole += withReferences(tail);
        // The converter does not return to ASCII at the end by itself; one
        // more ASCII character makes it write that escape, and goes again.
        whole += u'.';
        QStringEncoder encoder(m_converter.constData(), QStringConverter::Flag::Stateless);
        QByteArray bytes = encoder.encode(whole);
        bytes.chop(1);
        return bytes;
    }

    qsizetype encodedLength(QStringView text) const override { return encode(text, {}).size(); }

    Unencodable unencodable(QStringView text) const override
    {
        Unencodable found;
        forEachCharacter(text, [&](qsizetype i, QStringView character) {
            if (holds(character))
                return;
            if (found.first < 0)
                found.first = i;
            ++found.count;
        });
        return found;
    }

    bool keepsEveryByte() const override { return false; }

private:
    template <typename Visit> static void forEachCharacter(QStringView text, Visit visit)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()
                    ? 2
                    : 1;
            visit(i, text.sliced(i, length));
            i += length - 1;
        }
    }

    // Whether the converter writes the character and reads it back as itself.
    bool holds(QStringView character) const
    {
        if (character.size() == 1 && character[0].unicode() < 0x80)
            return true;
        const QString key = character.toString();
        const auto known = m_holds.constFind(key);
        if (known != m_holds.constEnd())
            return *known;
        QStringEncoder encoder(m_converter.constData(), QStringConverter::Flag::Stateless);
        QStringDecoder decoder(m_converter.constData(), QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(character);
        const bool held = !encoder.hasError() && QString(decoder.decode(bytes)) == key;
        m_holds.insert(key, held);
        return held;
    }

    QString withReferences(QStringView text) const
    {
        QString out;
        out.reserve(text.size());
        forEachCharacter(text, [&](qsizetype, QStringView character) {
            if (holds(character)) {
                out += character;
            } else {
                const char32_t c = character.size() == 2
                                       ? QChar::surrogateToUcs4(character[0], character[1])
                                       : character[0].unicode();
                out += QStringLiteral("&#%1;").arg(uint(c));
            }
        });
        return out;
    }

    QByteArray m_converter;
    mutable QHash<QString, bool> m_holds;
};

} // namespace

std::unique_ptr<TextCodec> makeStatefulCodec(const QString &name)
{
    auto codec = std::make_unique<StatefulCodec>(name);
    if (!codec->isValid())
        return nullptr;
    return codec;
}
