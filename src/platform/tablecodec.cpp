#include "platform/tablecodec.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <iconv.h>
#include <optional>
#include <vector>

namespace {

constexpr char32_t kNone = 0xFFFFFFFF;

// Encoded bytes of one character, packed: up to three bytes and their count.
struct Packed {
    quint32 value = 0;

    static Packed of(QByteArrayView bytes)
    {
        Packed packed;
        for (const char b : bytes)
            packed.value = (packed.value << 8) | uchar(b);
        packed.value |= quint32(bytes.size()) << 24;
        return packed;
    }
    int size() const { return int(value >> 24); }
    bool isEmpty() const { return value == 0; }
    void appendTo(QByteArray &out) const
    {
        for (int i = size() - 1; i >= 0; --i)
            out += char((value >> (8 * i)) & 0xFF);
    }
};

// How the system's converter is named, and the longest byte sequence of the
// encoding. Where browsers decode a label with a larger table than its
// strict name (EUC-KR as Windows' code page 949, Big5 with the Hong Kong
// additions, Shift_JIS as Windows' code page 932), the larger one is used.
struct Source {
    const char *converter;
    int longest;
};

std::optional<Source> sourceFor(const QString &name)
{
    static const QHash<QString, Source> special = {
        {QStringLiteral("Big5"), {"Big5-HKSCS", 2}},
        {QStringLiteral("EUC-KR"), {"windows-949", 2}},
        {QStringLiteral("Shift_JIS"), {"windows-31j", 2}},
        {QStringLiteral("EUC-JP"), {"EUC-JP", 3}},
        {QStringLiteral("ISO-8859-8-I"), {"ISO-8859-8", 1}},
    };
    const auto found = special.constFind(name);
    if (found != special.constEnd())
        return *found;
    // Names browsers give that are no encoding of pages (GBK, Unicode and
    // ISO-2022-JP have codecs of their own and never come here).
    static const QStringList unsupported = {QStringLiteral("replacement"),
                                            QStringLiteral("x-user-defined")};
    if (unsupported.contains(name))
        return std::nullopt;
    return Source{nullptr, 1};
}

// The system's converter for one encoding: ICU's through Qt, else the C
// library's (which knows a few encodings ICU's data leaves out, such as
// ISO-8859-16).
class Converter {
public:
    explicit Converter(const char *name)
        : m_decoder(name, QStringConverter::Flag::Stateless)
        , m_encoder(name, QStringConverter::Flag::Stateless)
    {
        if (m_decoder.isValid() && m_encoder.isValid())
            return;
        m_toText = iconv_open("UTF-16LE", name);
        m_fromText = iconv_open(name, "UTF-16LE");
    }
    ~Converter()
    {
        for (iconv_t converter : {m_toText, m_fromText}) {
            if (converter != kNoIconv)
                iconv_close(converter);
        }
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isValid() const
    {
        return (m_decoder.isValid() && m_encoder.isValid()) ||
               (m_toText != kNoIconv && m_fromText != kNoIconv);
    }

    QString decode(QByteArrayView bytes)
    {
        if (m_decoder.isValid())
            return m_decoder.decode(bytes);
        QString text(bytes.size() * 2, Qt::Uninitialized);
        const QByteArray out = run(m_toText, bytes, text.size() * 2);
        if (out.isNull())
            return QString(QChar::ReplacementCharacter);
        return QString(reinterpret_cast<const QChar *>(out.constData()), out.size() / 2);
    }

    QByteArray encode(const QString &text)
    {
        if (m_encoder.isValid())
            return m_encoder.encode(text);
        return run(m_fromText,
                   QByteArrayView(reinterpret_cast<const char *>(text.utf16()), text.size() * 2),
                   text.size() * 4 + 8);
    }

private:
    static inline const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

    // The whole input converted, or a null array when any of it fails.
    static QByteArray run(iconv_t converter, QByteArrayView input, qsizetype room)
    {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        QByteArray output(room, Qt::Uninitialized);
        char *in = const_cast<char *>(input.data());
        size_t inLeft = size_t(input.size());
        char *out = output.data();
        size_t outLeft = size_t(room);
        if (iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1) || inLeft != 0)
            return {};
        output.truncate(room - qsizetype(outLeft));
        return output;
    }

    QStringDecoder m_decoder;
    QStringEncoder m_encoder;
    iconv_t m_toText = kNoIconv;
    iconv_t m_fromText = kNoIconv;
};

class TableCodec : public TextCodec {
public:
    TableCodec(const QString &name, const char *converter, int longest);
    bool isValid() const { return m_valid; }

    QString decode(QByteArrayView bytes) const override;
    QByteArray encode(QStringView text, QStringView tail) const override;
    qsizetype encodedLength(QStringView text) const override;
    Unencodable unencodable(QStringView text) const override;

private:
    // The character the converter makes of bytes, when it makes exactly one
    // and turns it back into the same bytes.
    char32_t probe(QByteArrayView bytes);
    void learn(QByteArrayView bytes, char32_t codePoint);
    Packed bytesOf(char32_t codePoint) const;

    Converter m_converter;
    bool m_valid = false;
    std::array<char32_t, 256> m_single{};
    std::array<bool, 256> m_lead{};
    std::array<bool, 256> m_lead3{};
    std::vector<char32_t> m_double;          // by (lead << 8) | trail
    QHash<quint32, char32_t> m_triple;       // by the three bytes
    std::vector<Packed> m_bmp;               // encoded form of each BMP code point
    QHash<char32_t, Packed> m_supplementary; // and of the others
};

TableCodec::TableCodec(const QString &name, const char *converter, int longest)
    : TextCodec(name)
    , m_converter(converter)
    , m_double(size_t(65536), kNone)
    , m_bmp(size_t(65536))
{
    if (!m_converter.isValid())
        return;
    m_valid = true;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        m_single[size_t(b)] = probe(QByteArrayView(&byte, 1));
    }
    if (longest < 2)
        return;
    for (int lead = 0x80; lead < 256; ++lead) {
        if (m_single[size_t(lead)] != kNone)
            continue;
        for (int trail = 0; trail < 256; ++trail) {
            const char sequence[2] = {char(lead), char(trail)};
            const char32_t c = probe(QByteArrayView(sequence, 2));
            m_double[size_t(lead << 8 | trail)] = c;
            m_lead[size_t(lead)] = m_lead[size_t(lead)] || c != kNone;
        }
    }
    if (longest < 3)
        return;
    // Three-byte forms (EUC-JP's JIS X 0212) lead with a byte that starts no
    // shorter form; their other bytes are in the upper half.
    for (int lead = 0x80; lead < 256; ++lead) {
        if (m_single[size_t(lead)] != kNone || m_lead[size_t(lead)])
            continue;
        for (int second = 0xA1; second < 0xFF; ++second) {
            for (int third = 0xA1; third < 0xFF; ++third) {
                const char sequence[3] = {char(lead), char(second), char(third)};
                const char32_t c = probe(QByteArrayView(sequence, 3));
                if (c == kNone)
                    continue;
                m_triple.insert(quint32(lead << 16 | second << 8 | third), c);
                m_lead3[size_t(lead)] = true;
            }
        }
    }
}

char32_t TableCodec::probe(QByteArrayView bytes)
{
    const QString text = m_converter.decode(bytes);
    char32_t c = kNone;
    if (text.size() == 1 && !text[0].isSurrogate())
        c = text[0].unicode();
    else if (text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        c = QChar::surrogateToUcs4(text[0], text[1]);
    if (c == kNone || c == 0xFFFD || breaksLines(c))
        return kNone;
    const QByteArray back = m_converter.encode(text);
    if (back != bytes)
        return kNone;
    learn(bytes, c);
    return c;
}

void TableCodec::learn(QByteArrayView bytes, char32_t codePoint)
{
    if (codePoint < 0x10000)
        m_bmp[size_t(codePoint)] = Packed::of(bytes);
    else
        m_supplementary.insert(codePoint, Packed::of(bytes));
}

Packed TableCodec::bytesOf(char32_t codePoint) const
{
    if (codePoint < 0x10000)
        return m_bmp[size_t(codePoint)];
    return m_supplementary.value(codePoint);
}

QString TableCodec::decode(QByteArrayView bytes) const
{
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    // A supplementary character takes two units from at least three bytes,
    // so the text never outgrows the bytes.
    const auto put = [&out](char32_t c) {
        if (c < 0x10000) {
            *out++ = char16_t(c);
        } else {
            *out++ = QChar::highSurrogate(c);
            *out++ = QChar::lowSurrogate(c);
        }
    };
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        const char32_t single = m_single[b];
        if (single != kNone) {
            put(single);
            ++i;
            continue;
        }
        if (m_lead[b] && i + 1 < n) {
            const char32_t c = m_double[size_t(b << 8 | p[i + 1])];
            if (c != kNone) {
                put(c);
                i += 2;
                continue;
            }
        }
        if (m_lead3[b] && i + 2 < n) {
            const auto found = m_triple.constFind(quint32(b << 16 | p[i + 1] << 8 | p[i + 2]));
            if (found != m_triple.constEnd()) {
                put(*found);
                i += 3;
                continue;
            }
        }
        *out++ = escapeOf(b);
        ++i;
    }
    text.truncate(out - begin);
    return text;
}

// Escapes go back to their byte; what has no bytes is a reference.
QByteArray TableCodec::encode(QStringView text, QStringView tail) const
{
    QByteArray bytes;
    bytes.reserve(text.size() + tail.size());
    for (const QStringView part : {text, tail}) {
        forEachCodePoint(part, [&](qsizetype, char32_t c) {
            const Packed packed = bytesOf(c);
            if (!packed.isEmpty())
                packed.appendTo(bytes);
            else if (isEscape(c))
                bytes += byteOf(c);
            else
                appendReference(bytes, c);
        });
    }
    return bytes;
}

qsizetype TableCodec::encodedLength(QStringView text) const
{
    qsizetype length = 0;
    forEachCodePoint(text, [&](qsizetype, char32_t c) {
        const Packed packed = bytesOf(c);
        if (!packed.isEmpty())
            length += packed.size();
        else if (isEscape(c))
            length += 1;
        else
            length += referenceLength(c);
    });
    return length;
}

TextCodec::Unencodable TableCodec::unencodable(QStringView text) const
{
    return unencodableWhere(text,
                            [this](char32_t c) { return bytesOf(c).isEmpty() && !isEscape(c); });
}

} // namespace

std::unique_ptr<TextCodec> makeTableCodec(const QString &name)
{
    const std::optional<Source> source = sourceFor(name);
    if (!source)
        return nullptr;
    const QByteArray converter =
        source->converter ? QByteArray(source->converter) : name.toLatin1();
    auto codec = std::make_unique<TableCodec>(name, converter.constData(), source->longest);
    if (!codec->isValid())
        return nullptr;
    return codec;
}
