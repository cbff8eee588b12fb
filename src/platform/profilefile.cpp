#include "platform/profilefile.h"

#include "platform/ansicodec.h"
#include "platform/safefile.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

// The file is split into lines and scanned as bytes wherever that is safe: line
// breaks, blanks, tabs, ";", "=" and a "[" at the start of a line are all below
// 0x40, so no byte of a double-byte or four-byte character can be mistaken for
// them. Names and values are compared and returned as decoded text; "]" may be
// the second byte of a character, so it is looked for in decoded text too.

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

enum class LineKind { Other, Section, Key };

struct Line {
    qsizetype begin = 0;      // first byte of the line
    qsizetype contentEnd = 0; // first byte of its line break, or the end of the text
    qsizetype end = 0;        // first byte after its line break
    LineKind kind = LineKind::Other;
    QString section;          // section lines: the name, blanks trimmed
    qsizetype keyBegin = 0;   // key lines: first byte of the name
    qsizetype keyEnd = 0;     // key lines: the "="
    qsizetype valueBegin = 0; // key lines: first byte of the value after the blanks
};

// Every search stays within the line, so that a file of long lines without
// "=" or "]" reads in one pass.
Line parseLine(QByteArrayView bytes, Line line)
{
    qsizetype pos = line.begin;
    while (pos < line.contentEnd && isBlank(bytes[pos]))
        ++pos;
    if (pos == line.contentEnd || bytes[pos] == ';')
        return line;

    const QByteArrayView content = bytes.sliced(pos, line.contentEnd - pos);
    if (content.front() == '[' && content.contains(']')) {
        const QString rest = AnsiCodec::decodeExact(content.sliced(1));
        const qsizetype close = rest.indexOf(u']');
        if (close >= 0) {
            line.kind = LineKind::Section;
            line.section = trimmedBlanks(QStringView(rest).left(close));
            return line;
        }
        // Its "]" is all inside characters: no section header, but maybe a key.
    }
    const qsizetype equals = content.indexOf('=');
    if (equals < 0)
        return line;
    line.kind = LineKind::Key;
    line.keyBegin = pos;
    line.keyEnd = pos + equals;
    line.valueBegin = line.keyEnd + 1;
    while (line.valueBegin < line.contentEnd && isBlank(bytes[line.valueBegin]))
        ++line.valueBegin;
    return line;
}

QString keyOf(QByteArrayView bytes, const Line &line)
{
    return trimmedBlanks(
        AnsiCodec::decodeExact(bytes.sliced(line.keyBegin, line.keyEnd - line.keyBegin)));
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
        line = parseLine(m_bytes, line);
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
            if (line.kind == LineKind::Section && sameName(line.section, section))
                found.section = line;
            continue;
        }
        if (line.kind == LineKind::Section)
            break;
        if (line.kind != LineKind::Key)
            continue;
        found.lastKey = line;
        if (!found.key && sameName(keyOf(bytes, line), key)) {
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
    Line whole;
    whole.contentEnd = whole.end = written.size();
    const Line line = parseLine(written, whole);
    if (line.kind != kind)
        return false;
    return (kind == LineKind::Section ? line.section : keyOf(written, line)) == name;
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
                        const QString &value)
{
    const QString sectionName = callerName(section);
    const QString keyName = callerName(key);
    const QStringView text = untilNul(value);
    const QByteArray lineBreak = QByteArrayLiteral("\r\n");
    const QByteArray header = '[' + AnsiCodec::encode(sectionName) + ']';
    const QByteArray keyLine = AnsiCodec::encode(keyName) + '=' + AnsiCodec::encode(text);

    // Names and values that would read back as other lines, or as another
    // section or key, are refused rather than written.
    if (sectionName.isEmpty() || keyName.isEmpty() || containsLineBreak(sectionName) ||
        containsLineBreak(keyName) || containsLineBreak(text) ||
        !readsBack(header, LineKind::Section, sectionName) ||
        !readsBack(keyLine, LineKind::Key, keyName))
        return false;

    QByteArray bytes;
    if (const std::optional<QByteArray> existing = readAll(path))
        bytes = *existing;
    else if (QFileInfo::exists(path))
        return false; // there but unreadable: never overwrite what could not be read

    const Location found = locate(bytes, sectionName, keyName, Scope::WholeSection);
    QByteArray updated = bytes;
    if (found.key) {
        updated.replace(found.key->valueBegin, found.key->contentEnd - found.key->valueBegin,
                        AnsiCodec::encode(text));
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
    return SafeFile::write(path, updated).ok;
}
