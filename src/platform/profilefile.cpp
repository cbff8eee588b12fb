#include "platform/profilefile.h"

#include "platform/ansicodec.h"
#include "platform/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

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
    qsizetype contentEnd = 0; // first byte of its line break, or the end of the file
    qsizetype end = 0;        // first byte after its line break
    LineKind kind = LineKind::Other;
    QString name;             // section or key name, blanks trimmed
    qsizetype valueBegin = 0; // key lines: first byte of the value after the blanks
};

Line parseLine(const QByteArray &bytes, Line line)
{
    qsizetype pos = line.begin;
    while (pos < line.contentEnd && isBlank(bytes[pos]))
        ++pos;
    if (pos == line.contentEnd || bytes[pos] == ';')
        return line;

    if (bytes[pos] == '[') {
        const QString rest =
            AnsiCodec::decode(QByteArrayView(bytes).sliced(pos + 1, line.contentEnd - pos - 1));
        const qsizetype close = rest.indexOf(u']');
        if (close >= 0) {
            line.kind = LineKind::Section;
            line.name = trimmedBlanks(QStringView(rest).left(close));
            return line;
        }
        // Without "]" the line is no section header, but it may still be a key.
    }

    const qsizetype equals = bytes.indexOf('=', pos);
    if (equals < 0 || equals >= line.contentEnd)
        return line;
    line.kind = LineKind::Key;
    line.name = trimmedBlanks(AnsiCodec::decode(QByteArrayView(bytes).sliced(pos, equals - pos)));
    line.valueBegin = equals + 1;
    while (line.valueBegin < line.contentEnd && isBlank(bytes[line.valueBegin]))
        ++line.valueBegin;
    return line;
}

// CR LF, LF and a lone CR each end a line.
QList<Line> parseLines(const QByteArray &bytes)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        Line line;
        line.begin = pos;
        while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != '\n')
            ++pos;
        line.contentEnd = pos;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n' &&
            (pos == line.contentEnd || bytes[pos - 1] == '\r'))
            ++pos;
        line.end = pos;
        lines.append(parseLine(bytes, line));
    }
    return lines;
}

// Where section and key stand in the file; only the first section of that
// name counts, and within it only the first key of that name.
struct Location {
    qsizetype section = -1; // line index of the section header
    qsizetype key = -1;     // line index of the key
    qsizetype lastKey = -1; // line index of the section's last key line
};

Location locate(const QList<Line> &lines, const QString &section, const QString &key)
{
    Location found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        if (found.section < 0) {
            if (line.kind == LineKind::Section && sameName(line.name, section))
                found.section = i;
            continue;
        }
        if (line.kind == LineKind::Section)
            break;
        if (line.kind == LineKind::Key) {
            found.lastKey = i;
            if (found.key < 0 && sameName(line.name, key))
                found.key = i;
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

QString valueOf(const QByteArray &bytes, const Line &line)
{
    qsizetype end = line.contentEnd;
    while (end > line.valueBegin && isBlank(bytes[end - 1]))
        --end;
    QString value =
        AnsiCodec::decode(QByteArrayView(bytes).sliced(line.valueBegin, end - line.valueBegin));
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

// A new key line, ended by CR LF.
QByteArray keyLine(const QString &key, QStringView value)
{
    return AnsiCodec::encode(key) + '=' + AnsiCodec::encode(value, "\r\n");
}

bool containsLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

QString ProfileFile::read(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int bufferSize)
{
    const qsizetype maxBytes = qMax(bufferSize - 1, 0);
    const std::optional<QByteArray> bytes = readAll(path);
    if (!bytes)
        return fitted(defaultValue, maxBytes);

    const QList<Line> lines = parseLines(*bytes);
    const Location found = locate(lines, callerName(section), callerName(key));
    if (found.key < 0)
        return fitted(defaultValue, maxBytes);
    return fitted(valueOf(*bytes, lines[found.key]), maxBytes);
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

    // Names and values that would read back as other lines, or as another
    // section or key, are refused rather than written.
    if (sectionName.isEmpty() || keyName.isEmpty() || containsLineBreak(sectionName) ||
        containsLineBreak(keyName) || containsLineBreak(text) || sectionName.contains(u']') ||
        keyName.contains(u'=') || keyName.front() == u';' || keyName.front() == u'[')
        return fail(QStringLiteral("名称或值里有不能写入的字符"));

    QByteArray bytes;
    if (const std::optional<QByteArray> existing = readAll(path))
        bytes = *existing;
    else if (QFileInfo::exists(path))
        return fail(QStringLiteral("文件读不出来")); // never overwrite what could not be read

    const QByteArray lineBreak = QByteArrayLiteral("\r\n");
    const QList<Line> lines = parseLines(bytes);
    const Location found = locate(lines, sectionName, keyName);

    QByteArray updated = bytes;
    if (found.key >= 0) {
        const Line &line = lines[found.key];
        updated.replace(line.valueBegin, line.contentEnd - line.valueBegin,
                        AnsiCodec::encode(text));
    } else if (found.section >= 0) {
        const Line &after = lines[found.lastKey >= 0 ? found.lastKey : found.section];
        QByteArray insert = keyLine(keyName, text);
        if (after.end == after.contentEnd)
            insert.prepend(lineBreak);
        updated.insert(after.end, insert);
    } else {
        if (!updated.isEmpty() && !updated.endsWith('\n') && !updated.endsWith('\r'))
            updated += lineBreak;
        updated += '[' + AnsiCodec::encode(sectionName) + ']' + lineBreak + keyLine(keyName, text);
    }

    if (updated == bytes && QFileInfo::exists(path))
        return true;
    const SafeFile::Result written = SafeFile::write(path, updated);
    return written.ok || fail(written.error);
}
