#include "platform/profilefile.h"

#include "platform/ansicodec.h"
#include "platform/safefile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

// The file is split into lines and scanned as bytes wherever that is safe: line
// breaks, blanks, tabs, ";", "=" and a "[" at the start of a line are all below
// 0x40, so no byte of a double-byte or four-byte character can be mistaken for
// them. Names and values are compared and returned as decoded text; "]" may be
// the second byte of a character, so after any other byte it is looked for in
// decoded text too.

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

// Text as given by the caller: like a C string it ends at the first NUL.
QStringView untilNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? QStringView(text) : QStringView(text).left(nul);
}

// A name as given by the caller, without the blanks around it.
QString callerName(const QString &name)
{
    return trimmedBlanks(untilNul(name));
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

enum class LineKind { Other, Section, Key };

struct Line {
    qsizetype begin = 0;      // first byte of the line
    qsizetype contentEnd = 0; // first byte of its line break, or the end of the text
    qsizetype end = 0;        // first byte after its line break
    LineKind kind = LineKind::Other;
    qsizetype nameBegin = 0; // the name's bytes, blanks trimmed
    qsizetype nameEnd = 0;
    bool asciiName = true;
    QString section;          // a section's name when it is not ASCII
    qsizetype valueBegin = 0; // key lines: first byte of the value after the blanks
};

void setName(QByteArrayView bytes, Line &line, qsizetype begin, qsizetype end)
{
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    line.nameBegin = begin;
    line.nameEnd = end;
}

// Every search stays within the line, so that a file of long lines without
// "=" or "]" reads in one pass.
void parseLine(QByteArrayView bytes, Line &line)
{
    qsizetype pos = line.begin;
    while (pos < line.contentEnd && isBlank(bytes[pos]))
        ++pos;
    if (pos == line.contentEnd || bytes[pos] == ';')
        return;

    const QByteArrayView content = bytes.sliced(pos, line.contentEnd - pos);
    const qsizetype close = content.front() == '[' ? content.indexOf(']') : -1;
    if (close > 0 && isAscii(content.sliced(1, close - 1))) {
        line.kind = LineKind::Section;
        setName(bytes, line, pos + 1, pos + close);
        return;
    }
    if (close > 0) {
        // After other bytes, "]" may be the second byte of a character.
        const QString rest = AnsiCodec::decodeExact(content.sliced(1));
        const qsizetype textClose = rest.indexOf(u']');
        if (textClose >= 0) {
            line.kind = LineKind::Section;
            line.asciiName = false;
            line.section = trimmedBlanks(QStringView(rest).left(textClose));
            return;
        }
    }
    const qsizetype equals = content.indexOf('=');
    if (equals < 0)
        return;
    line.kind = LineKind::Key;
    setName(bytes, line, pos, pos + equals);
    line.asciiName = isAscii(bytes.sliced(line.nameBegin, line.nameEnd - line.nameBegin));
    line.valueBegin = pos + equals + 1;
    while (line.valueBegin < line.contentEnd && isBlank(bytes[line.valueBegin]))
        ++line.valueBegin;
}

QString nameOf(QByteArrayView bytes, const Line &line)
{
    if (!line.section.isNull())
        return line.section;
    return AnsiCodec::decodeExact(bytes.sliced(line.nameBegin, line.nameEnd - line.nameBegin));
}

// Names compare as text without regard to case; an ASCII name does so without
// being decoded first, and never equals a name that is not ASCII.
bool hasName(QByteArrayView bytes, const Line &line, const QString &name)
{
    if (line.asciiName) {
        const QLatin1StringView ascii(bytes.sliced(line.nameBegin, line.nameEnd - line.nameBegin));
        return QString::compare(ascii, name, Qt::CaseInsensitive) == 0;
    }
    if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return false;
    return sameName(nameOf(bytes, line), name);
}

// The lines of a text one by one; CR LF, LF and a lone CR each end a line.
class Lines {
public:
    explicit Lines(QByteArrayView bytes)
        : m_bytes(bytes)
    {}

    bool next(Line &line)
    {
        qsizetype pos = m_pos;
        if (pos >= m_bytes.size())
            return false;
        line = Line();
        line.begin = pos;
        while (pos < m_bytes.size() && m_bytes[pos] != '\r' && m_bytes[pos] != '\n')
            ++pos;
        line.contentEnd = pos;
        if (pos < m_bytes.size() && m_bytes[pos] == '\r')
            ++pos;
        if (pos < m_bytes.size() && m_bytes[pos] == '\n' &&
            (pos == line.contentEnd || m_bytes[pos - 1] == '\r'))
            ++pos;
        line.end = m_pos = pos;
        parseLine(m_bytes, line);
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// Where section and key stand in the file; only the first section of that
// name counts, and within it only the first key of that name.
struct Location {
    std::optional<Line> section; // its header
    std::optional<Line> key;
    std::optional<Line> lastKey; // the section's last key line
};

// A read stops at the key; a write needs the section's last key as well.
enum class Scope { UntilKey, WholeSection };

Location locate(QByteArrayView bytes, const QString &section, const QString &key, Scope scope)
{
    Location found;
    Lines lines(bytes);
    Line line;
    while (lines.next(line)) {
        if (!found.section) {
            if (line.kind == LineKind::Section && hasName(bytes, line, section))
                found.section = line;
            continue;
        }
        if (line.kind == LineKind::Section)
            break;
        if (line.kind != LineKind::Key)
            continue;
        found.lastKey = line;
        if (!found.key && hasName(bytes, line, key)) {
            found.key = line;
            if (scope == Scope::UntilKey)
                break;
        }
    }
    return found;
}

std::optional<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QString valueOf(QByteArrayView bytes, const Line &line)
{
    qsizetype end = line.contentEnd;
    while (end > line.valueBegin && isBlank(bytes[end - 1]))
        --end;
    QString value = AnsiCodec::decodeExact(bytes.sliced(line.valueBegin, end - line.valueBegin));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value;
}

// The longest start of text whose ANSI form fits in maxBytes, without NULs.
QString fitted(QString text, qsizetype maxBytes)
{
    text.remove(QChar(0));
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        char32_t codePoint = text[i].unicode();
        qsizetype units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        bytes += AnsiCodec::encodedLength(codePoint);
        if (bytes > maxBytes)
            break;
        i += units;
    }
    text.truncate(i);
    return text;
}

bool containsLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// Whether a line as written names the section or key it was written for, when
// read back: not so when its name holds "]", "=", a leading ";", a character
// that has no bytes in the file's code page, or ends in a lead byte that
// joins the next byte to a character.
bool readsBack(const QByteArray &written, LineKind kind, const QString &name)
{
    Line line;
    line.contentEnd = line.end = written.size();
    parseLine(written, line);
    return line.kind == kind && nameOf(written, line) == name;
}

} // namespace

QString ProfileFile::read(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int bufferSize)
{
    const qsizetype maxBytes = qMax(bufferSize - 1, 0);
    const std::optional<QByteArray> bytes = readAll(path);
    if (!bytes)
        return fitted(defaultValue, maxBytes);

    const Location found = locate(*bytes, callerName(section), callerName(key), Scope::UntilKey);
    if (!found.key)
        return fitted(defaultValue, maxBytes);
    return fitted(valueOf(*bytes, *found.key), maxBytes);
}

bool ProfileFile::write(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString sectionName = callerName(section);
    const QString keyName = callerName(key);
    const QStringView text = untilNul(value);
    const QByteArray lineBreak = QByteArrayLiteral("\r\n");
    const QByteArray header = '[' + AnsiCodec::encode(sectionName) + ']';
    const QByteArray encodedValue = AnsiCodec::encode(text);
    const QByteArray keyLine = AnsiCodec::encode(keyName) + '=' + encodedValue;

    // Names and values that would read back as other lines, or as another
    // section or key, are refused rather than written.
    if (sectionName.isEmpty() || keyName.isEmpty() || containsLineBreak(sectionName) ||
        containsLineBreak(keyName) || containsLineBreak(text) ||
        !readsBack(header, LineKind::Section, sectionName) ||
        !readsBack(keyLine, LineKind::Key, keyName))
        return fail(QStringLiteral("名称或值里有不能写入的字符"));

    QByteArray bytes;
    if (const std::optional<QByteArray> existing = readAll(path))
        bytes = *existing;
    else if (QFileInfo::exists(path))
        return fail(QStringLiteral("文件读不出来")); // never overwrite what could not be read

    const Location found = locate(bytes, sectionName, keyName, Scope::WholeSection);
    QByteArray updated = bytes;
    if (found.key) {
        updated.replace(found.key->valueBegin, found.key->contentEnd - found.key->valueBegin,
                        encodedValue);
    } else if (found.section) {
        const Line &after = found.lastKey ? *found.lastKey : *found.section;
        QByteArray insert = keyLine + lineBreak;
        if (after.end == after.contentEnd)
            insert.prepend(lineBreak);
        updated.insert(after.end, insert);
    } else {
        if (!updated.isEmpty() && !updated.endsWith('\n') && !updated.endsWith('\r'))
            updated += lineBreak;
        updated += header + lineBreak + keyLine + lineBreak;
    }

    if (updated == bytes && QFileInfo::exists(path))
        return true;
    const SafeFile::Result written = SafeFile::write(path, updated);
    return written.ok || fail(written.error);
}
