#include "platform/htmlprescan.h"

#include "platform/encodinglabels.h"

#include <cstring>

namespace HtmlPrescan {

namespace {

using EncodingLabels::isAsciiWhitespace;

bool isUpper(char16_t c)
{
    return c >= 'A' && c <= 'Z';
}

bool isLetter(char16_t c)
{
    return isUpper(c) || (c >= 'a' && c <= 'z');
}

char16_t lower(char16_t c)
{
    return isUpper(c) ? char16_t(c + ('a' - 'A')) : c;
}

// An attribute as the scan reads it: name and value lowercased (ASCII only),
// and where the value stands in the input.
struct Attribute {
    QString name;
    QString value;
    qsizetype valueStart = 0;
};

// The scan over units of the input: bytes of a file, or UTF-16 units of
// text. Units of 0x80 and above are never part of the syntax, so both read
// the same way.
template <typename Unit> class Scanner {
public:
    Scanner(const Unit *data, qsizetype size)
        : m_data(data)
        , m_size(size)
    {}

    std::optional<Declaration> run();

private:
    char16_t at(qsizetype i) const { return char16_t(m_data[i]); }
    bool startsWithAt(qsizetype i, const char *lowerText) const;
    qsizetype find(char16_t c, qsizetype from) const;
    // With collect false, only the position moves: nothing is kept.
    std::optional<Attribute> nextAttribute(bool collect = true);
    std::optional<Declaration> meta();
    void skipTag();

    const Unit *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

template <typename Unit> bool Scanner<Unit>::startsWithAt(qsizetype i, const char *lowerText) const
{
    for (; *lowerText; ++lowerText, ++i) {
        if (i >= m_size || lower(at(i)) != char16_t(uchar(*lowerText)))
            return false;
    }
    return true;
}

template <typename Unit> qsizetype Scanner<Unit>::find(char16_t c, qsizetype from) const
{
    if constexpr (sizeof(Unit) == 1) {
        if (from >= m_size)
            return m_size;
        const void *found = std::memchr(m_data + from, int(c), size_t(m_size - from));
        return found ? static_cast<const Unit *>(found) - m_data : m_size;
    }
    for (qsizetype i = from; i < m_size; ++i) {
        if (at(i) == c)
            return i;
    }
    return m_size;
}

// Reads one attribute at the current position; nothing when the tag ends
// (or the input does) first.
template <typename Unit> std::optional<Attribute> Scanner<Unit>::nextAttribute(bool collect)
{
    while (m_pos < m_size && (isAsciiWhitespace(at(m_pos)) || at(m_pos) == '/'))
        ++m_pos;
    if (m_pos >= m_size || at(m_pos) == '>')
        return std::nullopt;

    Attribute attribute;
    const qsizetype nameStart = m_pos;
    for (;; ++m_pos) {
        if (m_pos >= m_size)
            return std::nullopt;
        const char16_t c = at(m_pos);
        if (c == '=' && m_pos > nameStart) {
            ++m_pos;
            break;
        }
        if (isAsciiWhitespace(c)) {
            while (m_pos < m_size && isAsciiWhitespace(at(m_pos)))
                ++m_pos;
            if (m_pos >= m_size)
                return std::nullopt;
            if (at(m_pos) != '=')
                return attribute;
            ++m_pos;
            break;
        }
        if (c == '/' || c == '>')
            return attribute;
        if (collect)
            attribute.name.append(QChar(lower(c)));
    }

    while (m_pos < m_size && isAsciiWhitespace(at(m_pos)))
        ++m_pos;
    if (m_pos >= m_size)
        return std::nullopt;
    const char16_t first = at(m_pos);
    if (first == '"' || first == '\'') {
        attribute.valueStart = ++m_pos;
        for (; m_pos < m_size; ++m_pos) {
            if (at(m_pos) == first) {
                ++m_pos;
                return attribute;
            }
            if (collect)
                attribute.value.append(QChar(lower(at(m_pos))));
        }
        return std::nullopt;
    }
    if (first == '>')
        return attribute;
    attribute.valueStart = m_pos;
    for (; m_pos < m_size; ++m_pos) {
        const char16_t c = at(m_pos);
        if (isAsciiWhitespace(c) || c == '>')
            return attribute;
        if (collect)
            attribute.value.append(QChar(lower(c)));
    }
    return std::nullopt;
}

// The label inside a content attribute's value ("text/html; charset=gbk"):
// its offset and length in the value, or nothing.
std::optional<std::pair<qsizetype, qsizetype>> charsetInContent(const QString &value)
{
    qsizetype pos = 0;
    for (;;) {
        pos = value.indexOf(QLatin1String("charset"), pos);
        if (pos < 0)
            return std::nullopt;
        pos += 7;
        while (pos < value.size() && isAsciiWhitespace(value[pos].unicode()))
            ++pos;
        if (pos >= value.size() || value[pos] != u'=')
            continue;
        ++pos;
        while (pos < value.size() && isAsciiWhitespace(value[pos].unicode()))
            ++pos;
        if (pos >= value.size())
            return std::nullopt;
        const QChar first = value[pos];
        if (first == u'"' || first == u'\'') {
            const qsizetype end = value.indexOf(first, pos + 1);
            if (end < 0)
                return std::nullopt;
            return std::pair(pos + 1, end - pos - 1);
        }
        qsizetype end = pos;
        while (end < value.size() && !isAsciiWhitespace(value[end].unicode()) && value[end] != u';')
            ++end;
        return std::pair(pos, end - pos);
    }
}

// The label's span without the blanks around it, and its encoding.
std::optional<Declaration> declarationFor(const QString &value, qsizetype offset, qsizetype length,
                                          qsizetype valueStart)
{
    while (length > 0 && isAsciiWhitespace(value[offset].unicode())) {
        ++offset;
        --length;
    }
    while (length > 0 && isAsciiWhitespace(value[offset + length - 1].unicode()))
        --length;
    const QString name = EncodingLabels::nameForLabel(QStringView(value).mid(offset, length));
    if (name.isEmpty() || name == QLatin1String("replacement"))
        return std::nullopt;
    Declaration declaration;
    declaration.encoding = name;
    declaration.labelStart = valueStart + offset;
    declaration.labelLength = length;
    return declaration;
}

// At "<meta" followed by a blank or "/": reads its attributes and decides.
template <typename Unit> std::optional<Declaration> Scanner<Unit>::meta()
{
    QStringList seen;
    bool gotPragma = false;
    std::optional<bool> needPragma;
    std::optional<Declaration> charset;
    bool charsetFailed = false;
    while (const std::optional<Attribute> attribute = nextAttribute()) {
        if (seen.contains(attribute->name))
            continue;
        seen.append(attribute->name);
        if (attribute->name == QLatin1String("http-equiv")) {
            if (attribute->value == QLatin1String("content-type"))
                gotPragma = true;
        } else if (attribute->name == QLatin1String("content")) {
            // An unknown label here counts as none at all.
            if (!charset && !charsetFailed) {
                if (const auto span = charsetInContent(attribute->value)) {
                    charset = declarationFor(attribute->value, span->first, span->second,
                                             attribute->valueStart);
                    if (charset)
                        needPragma = true;
                }
            }
        } else if (attribute->name == QLatin1String("charset")) {
            charset =
                declarationFor(attribute->value, 0, attribute->value.size(), attribute->valueStart);
            charsetFailed = !charset;
            needPragma = false;
        }
    }
    if (!needPragma || (*needPragma && !gotPragma) || !charset)
        return std::nullopt;
    if (charset->encoding.startsWith(QLatin1String("UTF-16")))
        charset->encoding = QStringLiteral("UTF-8");
    else if (charset->encoding == QLatin1String("x-user-defined"))
        charset->encoding = QStringLiteral("windows-1252");
    return charset;
}

// Past a tag's name and its attributes.
template <typename Unit> void Scanner<Unit>::skipTag()
{
    while (m_pos < m_size && !isAsciiWhitespace(at(m_pos)) && at(m_pos) != '>')
        ++m_pos;
    while (nextAttribute(false)) {
    }
}

template <typename Unit> std::optional<Declaration> Scanner<Unit>::run()
{
    for (; m_pos < m_size; ++m_pos) {
        m_pos = find('<', m_pos);
        if (m_pos >= m_size)
            break;
        if (startsWithAt(m_pos, "<!--")) {
            // The comment ends at the first "-->", whose dashes may be the
            // opening ones ("<!-->").
            qsizetype end = m_pos + 2;
            for (;;) {
                end = find('>', end + 1);
                if (end >= m_size || (at(end - 1) == '-' && at(end - 2) == '-'))
                    break;
            }
            m_pos = end;
        } else if (startsWithAt(m_pos, "<meta") && m_pos + 5 < m_size &&
                   (isAsciiWhitespace(at(m_pos + 5)) || at(m_pos + 5) == '/')) {
            m_pos += 5;
            if (std::optional<Declaration> declaration = meta())
                return declaration;
        } else if (m_pos + 1 < m_size &&
                   (isLetter(at(m_pos + 1)) ||
                    (at(m_pos + 1) == '/' && m_pos + 2 < m_size && isLetter(at(m_pos + 2))))) {
            skipTag();
        } else if (m_pos + 1 < m_size &&
                   (at(m_pos + 1) == '!' || at(m_pos + 1) == '/' || at(m_pos + 1) == '?')) {
            m_pos = find('>', m_pos + 1);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<Declaration> find(QByteArrayView bytes)
{
    return Scanner<uchar>(reinterpret_cast<const uchar *>(bytes.data()), bytes.size()).run();
}

std::optional<Declaration> find(QStringView text)
{
    return Scanner<char16_t>(text.utf16(), text.size()).run();
}

} // namespace HtmlPrescan
