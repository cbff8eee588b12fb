#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// One encoding of pages, read and written without loss. Decoding keeps every
// byte: a byte that is no character of the encoding comes back as the lone
// surrogate U+DC00 + byte, which encoding writes back as that same byte, so a
// page opened and saved unchanged keeps its bytes. Encoding writes a
// character that the encoding cannot hold as an HTML numeric character
// reference ("&#20013;"), which browsers show as the character; callers that
// must not do so ask unencodable() first.
class TextCodec {
public:
    struct Unencodable {
        qsizetype first = -1; // index in the text of the first such character
        qsizetype count = 0;  // how many there are (a surrogate pair counts once)
    };

    virtual ~TextCodec() = default;

    // The encoding's name as browsers give it: "GBK", "UTF-8", "Big5", ...
    QString name() const { return m_name; }

    virtual QString decode(QByteArrayView bytes) const = 0;
    // Encodes text and then tail (a line break, say) into one array.
    virtual QByteArray encode(QStringView text, QStringView tail = {}) const = 0;
    // Bytes that encode(text) writes, without building them.
    virtual qsizetype encodedLength(QStringView text) const = 0;
    virtual Unencodable unencodable(QStringView text) const = 0;

    // The byte-order mark of the encoding; empty where it has none.
    virtual QByteArray byteOrderMark() const { return {}; }
    // Bytes of the smallest unit of the encoding (2 for UTF-16, else 1).
    virtual int unitSize() const { return 1; }
    // False where a page's bytes may come back different after decoding and
    // encoding (the text itself does not change); such pages are checked.
    virtual bool keepsEveryByte() const { return true; }

    // The codec of an encoding named as browsers name it, made on first
    // use; nullptr for a name that is not an encoding pages can be kept in.
    static const TextCodec *forName(const QString &name);
    // The default for new pages and pages that declare nothing: GBK.
    static const TextCodec *defaultCodec();

    // Characters the editing area turns into line breaks: the paragraph
    // separator and the two noncharacters it marks frames with. Pages decode
    // their bytes to escapes instead, so that an unchanged page keeps them.
    static bool breaksLines(char32_t c) { return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1; }
    static bool holdsLineBreakingCharacter(QStringView text);

    // The escape a byte that is no character decodes to, and back.
    static char16_t escapeOf(uchar byte) { return char16_t(0xDC00 + byte); }
    static bool isEscape(char32_t c) { return c >= 0xDC00 && c <= 0xDCFF; }
    static char byteOf(char32_t escape) { return char(escape - 0xDC00); }

protected:
    explicit TextCodec(QString name)
        : m_name(std::move(name))
    {}

    // "&#N;" for a code point.
    static void appendReference(QByteArray &out, char32_t codePoint);
    static qsizetype referenceLength(char32_t codePoint);

    // Calls visit(index, codePoint) for each character of text: a surrogate
    // pair as the code point it stands for, any other unit (an escape or a
    // lone surrogate too) as itself.
    template <typename Visit> static void forEachCodePoint(QStringView text, Visit visit)
    {
        const char16_t *p = text.utf16();
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = p[i];
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
                visit(i, QChar::surrogateToUcs4(c, p[i + 1]));
                ++i;
            } else {
                visit(i, char32_t(c));
            }
        }
    }

    // The characters of text for which lacksBytes(codePoint) holds.
    template <typename Test> static Unencodable unencodableWhere(QStringView text, Test lacksBytes)
    {
        Unencodable found;
        forEachCodePoint(text, [&](qsizetype i, char32_t c) {
            if (!lacksBytes(c))
                return;
            if (found.first < 0)
                found.first = i;
            ++found.count;
        });
        return found;
    }

private:
    QString m_name;
};
