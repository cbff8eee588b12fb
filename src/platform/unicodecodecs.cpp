#include "platform/unicodecodecs.h"

#include <QStringDecoder>
#include <QtEndian>
#include <bit>

namespace {

char32_t threeByteCodePoint(const uchar *p)
{
    return char32_t(p[0] & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | char32_t(p[2] & 0x3F);
}

class Utf8Codec : public TextCodec {
public:
    Utf8Codec()
        : TextCodec(QStringLiteral("UTF-8"))
    {}

    QString decode(QByteArrayView bytes) const override
    {
        // Valid pages, the usual case, are decoded in one pass.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (!decoder.hasError() && !holdsLineBreakingCharacter(text))
            return text;

        // Otherwise sequence by sequence: what is no character, or one the
        // editing area would turn into a line break, stays bytes.
        text.clear();
        text.reserve(bytes.size());
        const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
        const qsizetype n = bytes.size();
        qsizetype runStart = 0;
        qsizetype i = 0;
        while (i < n) {
            const int length = utf8SequenceLength(p + i, n - i);
            if (length != 0 && !(length == 3 && breaksLines(threeByteCodePoint(p + i)))) {
                i += length;
                continue;
            }
            text += QString::fromUtf8(bytes.sliced(runStart, i - runStart));
            const int escaped = length == 0 ? 1 : length;
            for (int k = 0; k < escaped; ++k)
                text += QChar(TextCodec::escapeOf(p[i + k]));
            i += escaped;
            runStart = i;
        }
        text += QString::fromUtf8(bytes.sliced(runStart));
        return text;
    }

    QByteArray encode(QStringView text, QStringView tail) const override
    {
        QByteArray bytes;
        if (text.isValidUtf16()) {
            bytes = text.toUtf8();
        } else {
            bytes.reserve(text.size() * 3 / 2);
            qsizetype runStart = 0;
            forEachCodePoint(text, [&](qsizetype i, char32_t c) {
                if (!QChar::isSurrogate(c))
                    return;
                bytes += text.sliced(runStart, i - runStart).toUtf8();
                if (isEscape(c))
                    bytes += byteOf(c);
                else
                    appendReference(bytes, c);
                runStart = i + 1;
            });
            bytes += text.sliced(runStart).toUtf8();
        }
        if (!tail.isEmpty())
            bytes += encode(tail, {});
        return bytes;
    }

    qsizetype encodedLength(QStringView text) const override
    {
        qsizetype length = 0;
        forEachCodePoint(text, [&](qsizetype, char32_t c) {
            if (c < 0x80)
                length += 1;
            else if (c < 0x800)
                length += 2;
            else if (c >= 0x10000)
                length += 4;
            else if (!QChar::isSurrogate(c))
                length += 3;
            else
                length += isEscape(c) ? 1 : referenceLength(c);
        });
        return length;
    }

    // Escapes are bytes; other lone surrogates have none.
    Unencodable unencodable(QStringView text) const override
    {
        if (text.isValidUtf16())
            return {};
        return unencodableWhere(text,
                                [](char32_t c) { return QChar::isSurrogate(c) && !isEscape(c); });
    }

    QByteArray byteOrderMark() const override { return QByteArray("\xEF\xBB\xBF", 3); }
};

class Utf16Codec : public TextCodec {
public:
    explicit Utf16Codec(const QString &name)
        : TextCodec(name)
        , m_bigEndian(name.endsWith(QLatin1String("BE")))
    {}

    // A final odd byte, which is no unit, comes back as an escape.
    QString decode(QByteArrayView bytes) const override
    {
        const qsizetype units = bytes.size() / 2;
        QString text(units, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        if (m_bigEndian)
            qFromBigEndian<char16_t>(bytes.data(), units, out);
        else
            qFromLittleEndian<char16_t>(bytes.data(), units, out);
        if (bytes.size() % 2)
            text += QChar(TextCodec::escapeOf(uchar(bytes.back())));
        return text;
    }

    QByteArray encode(QStringView text, QStringView tail) const override
    {
        QByteArray bytes(2 * (text.size() + tail.size()), Qt::Uninitialized);
        put(text, bytes.data());
        put(tail, bytes.data() + 2 * text.size());
        return bytes;
    }

    qsizetype encodedLength(QStringView text) const override { return 2 * text.size(); }
    Unencodable unencodable(QStringView) const override { return {}; }

    QByteArray byteOrderMark() const override
    {
        return m_bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    }
    int unitSize() const override { return 2; }

private:
    void put(QStringView text, char *out) const
    {
        // An empty view may have no characters to point at.
        if (text.isEmpty())
            return;
        if (m_bigEndian)
            qToBigEndian<char16_t>(text.utf16(), text.size(), out);
        else
            qToLittleEndian<char16_t>(text.utf16(), text.size(), out);
    }

    bool m_bigEndian;
};

} // namespace

int utf8SequenceLength(const uchar *p, qsizetype available)
{
    const uchar b = p[0];
    if (b < 0x80)
        return 1;
    const auto continuation = [&](qsizetype i, uchar low = 0x80, uchar high = 0xBF) {
        return i < available && p[i] >= low && p[i] <= high;
    };
    if (b >= 0xC2 && b <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const uchar low = b == 0xE0 ? 0xA0 : 0x80;
        const uchar high = b == 0xED ? 0x9F : 0xBF;
        return continuation(1, low, high) && continuation(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const uchar low = b == 0xF0 ? 0x90 : 0x80;
        const uchar high = b == 0xF4 ? 0x8F : 0xBF;
        return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

qsizetype firstInvalidUtf8(QByteArrayView bytes, bool *sawNonAscii)
{
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    bool nonAscii = false;
    qsizetype i = 0;
    while (i < n) {
        // ASCII goes eight bytes at a time, up to the first byte that is not.
        if (i + 8 <= n) {
            const quint64 high = qFromLittleEndian<quint64>(p + i) & 0x8080808080808080ull;
            if (high == 0) {
                i += 8;
                continue;
            }
            i += std::countr_zero(high) / 8;
        } else if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const uchar b = p[i];
        // Most of a page's other characters are three bytes long (CJK).
        if (b >= 0xE1 && b != 0xED && b <= 0xEF && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 &&
            (p[i + 2] & 0xC0) == 0x80) {
            nonAscii = true;
            i += 3;
            continue;
        }
        const int length = utf8SequenceLength(p + i, n - i);
        if (length == 0) {
            if (sawNonAscii)
                *sawNonAscii = nonAscii;
            return i;
        }
        nonAscii = true;
        i += length;
    }
    if (sawNonAscii)
        *sawNonAscii = nonAscii;
    return -1;
}

std::unique_ptr<TextCodec> makeUtf8Codec()
{
    return std::make_unique<Utf8Codec>();
}

std::unique_ptr<TextCodec> makeUtf16Codec(const QString &name)
{
    return std::make_unique<Utf16Codec>(name);
}
