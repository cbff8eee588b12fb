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
        return unencodableWhere(text, [this](char32_t c) { return !holds(c); });
    }

    bool keepsEveryByte() const override { return false; }

private:
    // Whether the converter writes the character and reads it back as itself.
    bool holds(char32_t c) const
    {
        if (c < 0x80)
            return true;
        const auto known = m_holds.constFind(c);
        if (known != m_holds.constEnd())
            return *known;
        const QString character = QStringView(QChar::fromUcs4(c)).toString();
        QStringEncoder encoder(m_converter.constData(), QStringConverter::Flag::Stateless);
        QStringDecoder decoder(m_converter.constData(), QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(character);
        const bool held = !encoder.hasError() && QString(decoder.decode(bytes)) == character;
        m_holds.insert(c, held);
        return held;
    }

    QString withReferences(QStringView text) const
    {
        QString out;
        out.reserve(text.size());
        forEachCodePoint(text, [&](qsizetype, char32_t c) {
            if (holds(c)) {
                out += QChar::fromUcs4(c);
            } else {
                QByteArray reference;
                appendReference(reference, c);
                out += QLatin1String(reference);
            }
        });
        return out;
    }

    QByteArray m_converter;
    mutable QHash<char32_t, bool> m_holds;
};

} // namespace

std::unique_ptr<TextCodec> makeStatefulCodec(const QString &name)
{
    auto codec = std::make_unique<StatefulCodec>(name);
    if (!codec->isValid())
        return nullptr;
    return codec;
}
