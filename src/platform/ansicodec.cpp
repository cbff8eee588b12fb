#include "platform/ansicodec.h"

#include "platform/textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtGlobal>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace AnsiCodec {

namespace {

// Byte layout of the code page and of GB18030's four-byte sequences.
constexpr int kLeadFirst = 0x81;
constexpr int kLeadLast = 0xFE;
constexpr int kLeadCount = kLeadLast - kLeadFirst + 1; // 126
constexpr int kTrailFirst = 0x40;
constexpr int kTrailLast = 0xFE;
constexpr int kTrailCount = kTrailLast - kTrailFirst + 1; // 191, 0x7F stays undefined

// Four-byte sequences b1 b2 b3 b4 with b1, b3 in 0x81-0xFE and b2, b4 in 0x30-0x39 are
// numbered linearly from 81 30 81 30. The first 39,420 of them (up to 84 31 A4 39) hold the
// basic multilingual plane; 90 30 81 30 onwards holds U+10000 to U+10FFFF in order.
constexpr int kFourByteBmpCount = 39420;
constexpr int kFourByteSupplementaryStart = (0x90 - kLeadFirst) * 10 * 126 * 10;

// Escapes for bytes that belong to no character.
constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kEscapeFirst = 0xDC80;
constexpr char16_t kEscapeLast = 0xDCFF;

constexpr char kUnencodable = '?';

constexpr bool isLead(uchar b)
{
    return b >= kLeadFirst && b <= kLeadLast;
}
constexpr bool isDigit(uchar b)
{
    return b >= 0x30 && b <= 0x39;
}
constexpr bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

constexpr bool isPrivateUse(char32_t c)
{
    return c >= 0xE000 && c <= 0xF8FF;
}

int fourByteIndex(uchar b1, uchar b2, uchar b3, uchar b4)
{
    return (((b1 - kLeadFirst) * 10 + (b2 - 0x30)) * 126 + (b3 - kLeadFirst)) * 10 + (b4 - 0x30);
}

quint32 fourByteSequence(int index)
{
    const quint32 b4 = 0x30 + index % 10;
    index /= 10;
    const quint32 b3 = kLeadFirst + index % 126;
    index /= 126;
    const quint32 b2 = 0x30 + index % 10;
    index /= 10;
    const quint32 b1 = kLeadFirst + index;
    return (b1 << 24) | (b2 << 16) | (b3 << 8) | b4;
}

struct Tables {
    // Single bytes 0x80-0xFF; 0 where the byte is no character on its own.
    std::array<char16_t, 128> single{};
    // Lead 0x81-0xFE by trail 0x40-0xFE; 0 where undefined.
    std::array<std::array<char16_t, kTrailCount>, kLeadCount> pair{};
    // GB18030 four-byte sequences of the basic plane; 0 where they must stay escapes.
    std::array<char16_t, kFourByteBmpCount> fourByteBmp{};
    // Encoded bytes of every BMP character, most significant byte first: below 0x100 one
    // byte, below 0x10000 two, otherwise four. 0 where the character has no encoding.
    // ASCII is not stored here.
    std::array<quint32, 0x10000> encoded{};
    // The same for the encoder's inner loop, every code unit included: bits 0-7 the first
    // byte, 8-15 the second, 24-31 the count of bytes. A count of 0 (surrogates but the
    // escapes) or 4 sends the unit to the slow path.
    std::array<quint32, 0x10000> unit{};

    Tables();
    void fillUnits();

    // Accepts c as the decoding of the given bytes when it is a plain character that
    // nothing else encodes to yet, so that every decoded unit encodes back to its bytes.
    bool claim(char16_t c, quint32 bytes)
    {
        if (c < 0x80 || isSurrogate(c) || encoded[c] != 0)
            return false;
        encoded[c] = bytes;
        return true;
    }
};

// The bytes as one number, most significant first; 0 for anything but 2 or 4 bytes.
quint32 packed(const QByteArray &bytes)
{
    if (bytes.size() != 2 && bytes.size() != 4)
        return 0;
    quint32 value = 0;
    for (const char b : bytes)
        value = value << 8 | uchar(b);
    return value;
}

// Decodes every sequence in one call, each followed by a line feed, and splits the result
// back into one entry per sequence: the code unit it decodes to, or 0 when it decodes to
// anything but exactly one code unit. Empty when the converter is missing or its output does
// not split up as expected.
std::vector<char16_t> decodeEach(const char *converter, const std::vector<QByteArray> &sequences)
{
    QStringDecoder decoder(converter, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        qWarning("AnsiCodec: text converter %s is not available", converter);
        return {};
    }
    QByteArray buffer;
    buffer.reserve(qsizetype(sequences.size()) * 5);
    for (const QByteArray &sequence : sequences) {
        buffer += sequence;
        buffer += '\n';
    }
    const QString decoded = decoder.decode(buffer);
    std::vector<char16_t> units;
    units.reserve(sequences.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        if (decoded.at(i) != u'\n')
            continue;
        units.push_back(i - start == 1 ? decoded.at(start).unicode() : char16_t(0));
        start = i + 1;
    }
    if (units.size() != sequences.size() || start != decoded.size()) {
        qWarning("AnsiCodec: unexpected output from text converter %s", converter);
        return {};
    }
    return units;
}

Tables::Tables()
{
    // Code page 936, taken from the system's converter for it. Its replacement characters
    // (U+FFFD, U+001A) mark sequences it does not define.
    std::vector<QByteArray> sequences;
    sequences.reserve(128 + kLeadCount * kTrailCount);
    for (int b = 0x80; b <= 0xFF; ++b)
        sequences.push_back(QByteArray(1, char(b)));
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            const char bytes[2] = {char(lead), char(trail)};
            sequences.push_back(QByteArray(bytes, 2));
        }
    }
    const std::vector<char16_t> cp936 = decodeEach("GBK", sequences);
    for (size_t i = 0; i < cp936.size(); ++i) {
        const char16_t c = cp936[i];
        if (c == 0 || c == 0xFFFD || c == 0x1A)
            continue;
        const QByteArray &bytes = sequences[i];
        if (bytes.size() == 1) {
            if (claim(c, uchar(bytes[0])))
                single[uchar(bytes[0]) - 0x80] = c;
        } else {
            const uchar lead = uchar(bytes[0]);
            const uchar trail = uchar(bytes[1]);
            if (trail != 0x7F && claim(c, quint32(lead) << 8 | trail))
                pair[lead - kLeadFirst][trail - kTrailFirst] = c;
        }
    }

    // GB18030's four-byte sequences of the basic plane, for the characters code page 936
    // lacks. A sequence decoding to a character that already has bytes of its own stays a
    // run of escapes. U+FFFD is a real character there, found at its own sequence only.
    sequences.clear();
    sequences.reserve(kFourByteBmpCount);
    for (int index = 0; index < kFourByteBmpCount; ++index) {
        const quint32 s = fourByteSequence(index);
        const char bytes[4] = {char(s >> 24), char(s >> 16), char(s >> 8), char(s)};
        sequences.push_back(QByteArray(bytes, 4));
    }
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    const quint32 replacementSequence = packed(encoder.encode(QStringView(u"\uFFFD")));
    const std::vector<char16_t> gb18030 = decodeEach("GB18030", sequences);
    // Four-byte sequences of private-use characters that code page 936 has two bytes for.
    std::vector<int> privateUseSequence(0xF8FF - 0xE000 + 1, -1);
    for (size_t i = 0; i < gb18030.size(); ++i) {
        const char16_t c = gb18030[i];
        const quint32 sequence = fourByteSequence(int(i));
        if (c == 0 || (c == 0xFFFD && sequence != replacementSequence))
            continue;
        if (claim(c, sequence))
            fourByteBmp[i] = c;
        else if (isPrivateUse(c))
            privateUseSequence[c - 0xE000] = int(i);
    }

    // A few characters have no four-byte form: GB18030 gives them two-byte codes that code
    // page 936 assigns to private-use characters (CJK radicals and ideographs at FE50-FEA0,
    // ideographic description characters at A989-A995, two Latin letters). Those codes read
    // as the real characters, as browsers read them; the private-use characters move to
    // their own GB18030 four-byte sequences, so that both survive.
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (isSurrogate(c) || encoded[c] != 0)
            continue;
        const QChar unit{char16_t(c)};
        const QByteArray bytes = encoder.encode(QStringView(&unit, 1));
        if (bytes.size() != 2 || !isLead(uchar(bytes[0])) || uchar(bytes[1]) < kTrailFirst ||
            uchar(bytes[1]) == 0x7F || uchar(bytes[1]) > kTrailLast)
            continue;
        char16_t &decoded = pair[uchar(bytes[0]) - kLeadFirst][uchar(bytes[1]) - kTrailFirst];
        const int privateUse = isPrivateUse(decoded) ? privateUseSequence[decoded - 0xE000] : -1;
        encoded[c] = packed(bytes);
        if (privateUse < 0)
            continue; // written as GB18030 has it, read back as code page 936 has it
        encoded[decoded] = fourByteSequence(privateUse);
        fourByteBmp[privateUse] = decoded;
        decoded = char16_t(c);
    }
    fillUnits();
}

void Tables::fillUnits()
{
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c < 0x80) {
            unit[c] = c | 1u << 24;
        } else if (c >= kEscapeFirst && c <= kEscapeLast) {
            unit[c] = (c - kEscapeBase) | 1u << 24;
        } else if (!isSurrogate(c)) {
            const quint32 bytes = encoded[c];
            if (bytes == 0)
                unit[c] = quint32(uchar(kUnencodable)) | 1u << 24;
            else if (bytes < 0x100)
                unit[c] = bytes | 1u << 24;
            else if (bytes < 0x10000)
                unit[c] = (bytes >> 8) | (bytes & 0xFF) << 8 | 2u << 24;
            else
                unit[c] = 4u << 24;
        }
    }
}

const Tables &tables()
{
    static const std::unique_ptr<const Tables> instance = std::make_unique<Tables>();
    return *instance;
}

constexpr quint64 kAsciiMask8 = 0x8080808080808080ULL;

// Bytes of one non-ASCII BMP code unit that is not part of a surrogate pair.
quint32 bmpBytes(const Tables &t, char16_t c)
{
    if (c >= kEscapeFirst && c <= kEscapeLast)
        return c - kEscapeBase;
    if (isSurrogate(c))
        return 0;
    return t.encoded[c];
}

int lengthOf(quint32 bytes)
{
    if (bytes == 0 || bytes < 0x100)
        return 1; // 0 is written as a single '?'
    return bytes < 0x10000 ? 2 : 4;
}

quint32 supplementaryBytes(char32_t codePoint)
{
    return fourByteSequence(kFourByteSupplementaryStart + int(codePoint - 0x10000));
}

} // namespace

namespace {

template <bool ForEditing> QString decodeAll(QByteArrayView bytes)
{
    const Tables &t = tables();
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    // No sequence decodes to more code units than it has bytes.
    QString text(n, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;

    qsizetype i = 0;
    while (i < n) {
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            if (word & kAsciiMask8)
                break;
            for (int k = 0; k < 8; ++k)
                out[k] = p[i + k];
            out += 8;
            i += 8;
        }
        if (i >= n)
            break;
        const uchar b = p[i];
        if (b < 0x80) {
            *out++ = b;
            ++i;
            continue;
        }
        if (isLead(b) && i + 1 < n) {
            const uchar b2 = p[i + 1];
            if (isDigit(b2)) {
                if (i + 3 < n && isLead(p[i + 2]) && isDigit(p[i + 3])) {
                    const int index = fourByteIndex(b, b2, p[i + 2], p[i + 3]);
                    if (index < kFourByteBmpCount) {
                        const char16_t c = t.fourByteBmp[index];
                        if (c && !(ForEditing && TextCodec::breaksLines(c))) {
                            *out++ = c;
                            i += 4;
                            continue;
                        }
                    } else if (index >= kFourByteSupplementaryStart) {
                        const char32_t c = char32_t(index - kFourByteSupplementaryStart) + 0x10000;
                        if (c <= 0x10FFFF) {
                            *out++ = QChar::highSurrogate(c);
                            *out++ = QChar::lowSurrogate(c);
                            i += 4;
                            continue;
                        }
                    }
                }
            } else if (b2 >= kTrailFirst && b2 <= kTrailLast) {
                if (const char16_t c = t.pair[b - kLeadFirst][b2 - kTrailFirst]) {
                    *out++ = c;
                    i += 2;
                    continue;
                }
            }
        }
        const char16_t c = t.single[b - 0x80];
        *out++ = c ? c : char16_t(kEscapeBase + b);
        ++i;
    }

    text.resize(out - begin);
    // Mostly two-byte text leaves half of the buffer unused; give it back when that is worth
    // a copy.
    if (n >= 4096 && text.size() < n - n / 4)
        text.squeeze();
    return text;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    return decodeAll<true>(bytes);
}

QString decodeExact(QByteArrayView bytes)
{
    return decodeAll<false>(bytes);
}

qsizetype encodedLength(QStringView text)
{
    const Tables &t = tables();
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    qsizetype length = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const quint32 count = t.unit[p[i]] >> 24;
        if (Q_LIKELY(count != 0)) {
            length += count;
        } else if (QChar::isHighSurrogate(p[i]) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            length += 4;
            ++i;
        } else {
            length += 1; // written as '?'
        }
    }
    return length;
}

int encodedLength(char32_t codePoint)
{
    if (codePoint < 0x80)
        return 1;
    if (codePoint <= 0xFFFF)
        return lengthOf(bmpBytes(tables(), char16_t(codePoint)));
    return codePoint <= 0x10FFFF ? 4 : 1;
}

QByteArray encode(QStringView text)
{
    return encode(text, QByteArrayView());
}

QByteArray encode(QStringView text, QByteArrayView suffix)
{
    const Tables &t = tables();
    const qsizetype length = encodedLength(text);
    if (length + suffix.size() == 0)
        return QByteArray();
    QByteArray bytes(length + suffix.size(), Qt::Uninitialized);
    // The inner loop writes two bytes for every unit and then moves on by one or two; the
    // terminating NUL that QByteArray keeps gives room for the spare byte, and is restored.
    uchar *out = reinterpret_cast<uchar *>(bytes.data());
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();

    const auto put = [&out](quint32 value) {
        if (value == 0) {
            *out++ = kUnencodable;
        } else if (value < 0x100) {
            *out++ = uchar(value);
        } else if (value < 0x10000) {
            *out++ = uchar(value >> 8);
            *out++ = uchar(value);
        } else {
            *out++ = uchar(value >> 24);
            *out++ = uchar(value >> 16);
            *out++ = uchar(value >> 8);
            *out++ = uchar(value);
        }
    };

    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        const quint32 u = t.unit[c];
        const quint32 count = u >> 24;
        if (Q_LIKELY(count == 1 || count == 2)) {
            out[0] = uchar(u);
            out[1] = uchar(u >> 8);
            out += count;
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            put(supplementaryBytes(QChar::surrogateToUcs4(c, p[i + 1])));
            ++i;
        } else {
            put(bmpBytes(t, c));
        }
    }
    Q_ASSERT(out == reinterpret_cast<uchar *>(bytes.data()) + length);
    if (!suffix.isEmpty())
        std::memcpy(bytes.data() + length, suffix.data(), size_t(suffix.size()));
    bytes.data()[bytes.size()] = '\0';
    return bytes;
}

} // namespace AnsiCodec
