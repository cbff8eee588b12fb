#include "sitesearch/sitesearch.h"

#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "sitesearch/sitefiles.h"

#include <QFile>

namespace SiteSearch {

namespace {

using Outcome = FileReport::Outcome;

// A line longer than this shows only the stretch around its match.
constexpr qsizetype kLongLine = 1000;
constexpr qsizetype kBefore = 100;
constexpr qsizetype kAfter = 300;

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Line numbers of positions taken in increasing order, the text walked once.
class LineCounter {
public:
    explicit LineCounter(QStringView text)
        : m_text(text)
    {}

    // The 1-based line of position, and where that line starts.
    int lineOf(qsizetype position)
    {
        for (; m_at < position; ++m_at) {
            const QChar c = m_text[m_at];
            if (c == u'\n' ||
                (c == u'\r' && (m_at + 1 >= m_text.size() || m_text[m_at + 1] != u'\n'))) {
                ++m_line;
                m_lineStart = m_at + 1;
            }
        }
        return m_line;
    }
    qsizetype lineStart() const { return m_lineStart; }

private:
    QStringView m_text;
    qsizetype m_at = 0;
    qsizetype m_lineStart = 0;
    int m_line = 1;
};

int characters(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

LineMatch lineMatch(QStringView text, LineCounter &lines, const SearchPattern::Match &match)
{
    LineMatch result;
    result.line = lines.lineOf(match.start);
    const qsizetype lineStart = lines.lineStart();
    qsizetype lineEnd = match.start;
    while (lineEnd < text.size() && !isLineBreak(text[lineEnd]))
        ++lineEnd;
    result.column = characters(text.sliced(lineStart, match.start - lineStart)) + 1;
    result.offset = int(match.start - lineStart);
    result.length = int(match.length);
    qsizetype from = lineStart;
    qsizetype to = lineEnd;
    if (to - from > kLongLine) {
        from = qMax(lineStart, match.start - kBefore);
        to = qMin(lineEnd, match.start + match.length + kAfter);
    }
    // The match may reach past the line's end (a pattern over line breaks).
    const qsizetype matchEnd = qMin(match.start + match.length, to);
    result.text = text.sliced(from, to - from).toString();
    result.textStart = int(match.start - from);
    result.textLength = int(qMax(matchEnd - match.start, qsizetype(0)));
    return result;
}

// Loads the file into report; false when it was skipped.
bool loadInto(const QString &path, qint64 sizeLimit, SiteFiles::Loaded &loaded, FileReport &report)
{
    report.path = path;
    loaded = SiteFiles::load(path, sizeLimit);
    switch (loaded.status) {
    case SiteFiles::Loaded::Status::Ok:
        report.encoding = loaded.page.format.description();
        return true;
    case SiteFiles::Loaded::Status::Binary:
    case SiteFiles::Loaded::Status::TooLarge:
        report.outcome = Outcome::Skipped;
        break;
    case SiteFiles::Loaded::Status::Unreadable:
        report.outcome = Outcome::Unreadable;
        break;
    }
    report.reason = loaded.reason;
    return false;
}

QString characterName(QStringView text, qsizetype at)
{
    const char32_t c = text[at].isHighSurrogate() && at + 1 < text.size()
                           ? QChar::surrogateToUcs4(text[at], text[at + 1])
                           : char32_t(text[at].unicode());
    return QStringLiteral("“%1”（U+%2）")
        .arg(QString::fromUcs4(&c, 1))
        .arg(uint(c), 4, 16, QLatin1Char('0'))
        .toUpper();
}

bool readBytes(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

FileReport find(const QString &path, const SearchPattern &pattern, qint64 sizeLimit)
{
    FileReport report;
    SiteFiles::Loaded loaded;
    if (!loadInto(path, sizeLimit, loaded, report))
        return report;
    const QStringView text = loaded.text;
    LineCounter lines(text);
    for (const SearchPattern::Match &match : pattern.allMatches(text))
        report.matches.push_back(lineMatch(text, lines, match));
    return report;
}

FileReport replace(const QString &path, const SearchPattern &pattern, const QString &replacement,
                   qint64 sizeLimit, bool dryRun, Change *change)
{
    FileReport report;
    SiteFiles::Loaded loaded;
    if (!loadInto(path, sizeLimit, loaded, report))
        return report;
    const QStringView text = loaded.text;
    const std::vector<SearchPattern::Match> matches = pattern.allMatches(text);
    if (matches.empty())
        return report;

    // The replacement's line breaks are the file's own.
    PageFormat format = loaded.page.format;
    const QString lineBreak = format.lineBreakText().toString();
    const TextCodec *codec = format.codec();
    QString replaced;
    replaced.reserve(text.size());
    qsizetype from = 0;
    for (const SearchPattern::Match &match : matches) {
        QString inserted = pattern.replacementFor(match, text, replacement);
        if (inserted.contains(u'\n') || inserted.contains(u'\r')) {
            inserted.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            inserted.replace(u'\r', u'\n');
            inserted.replace(QLatin1String("\n"), lineBreak);
        }
        const TextCodec::Unencodable lacking = codec->unencodable(inserted);
        if (lacking.count > 0) {
            report.outcome = Outcome::LeftAlone;
            report.reason = QStringLiteral("%1 无法用此文件的编码 %2 保存")
                                .arg(characterName(inserted, lacking.first), codec->name());
            return report;
        }
        replaced += text.sliced(from, match.start - from);
        replaced += inserted;
        from = match.start + match.length;
    }
    replaced += text.sliced(from);
    report.replaced = int(matches.size());

    if (loaded.page.bytesMayChange) {
        report.outcome = Outcome::LeftAlone;
        report.reason = QStringLiteral("此文件的 %1 字节不能原样写回，替换会改动匹配以外的内容")
                            .arg(codec->name());
        return report;
    }
    // The text is written as it stands: its own line breaks, its own end.
    format.lineBreak = PageFormat::LineBreak::CrLf;
    format.finalLineBreak = false;
    const QByteArray bytes = PageFile::encode(replaced, format);
    report.outcome = Outcome::Changed;
    if (dryRun || bytes == loaded.bytes)
        return report;
    const SafeFile::Result written = SafeFile::write(path, bytes);
    if (!written.ok) {
        report.outcome = Outcome::LeftAlone;
        report.reason = QStringLiteral("保存失败：") + written.error;
        return report;
    }
    if (change)
        *change = Change{path, std::move(loaded.bytes), bytes};
    return report;
}

std::vector<FileReport> undo(const std::vector<Change> &changes, QStringList *restored)
{
    std::vector<FileReport> leftAlone;
    for (const Change &change : changes) {
        FileReport report;
        report.path = change.path;
        report.outcome = Outcome::LeftAlone;
        QByteArray current;
        if (!readBytes(change.path, current)) {
            report.reason = QStringLiteral("文件已不存在或无法读取");
        } else if (current != change.after) {
            report.reason = QStringLiteral("替换之后文件又被修改过，未还原");
        } else if (const SafeFile::Result written = SafeFile::write(change.path, change.before);
                   !written.ok) {
            report.reason = QStringLiteral("还原失败：") + written.error;
        } else {
            if (restored)
                *restored << change.path;
            continue;
        }
        leftAlone.push_back(report);
    }
    return leftAlone;
}

QString matchLines(const FileReport &report)
{
    QString lines;
    for (const LineMatch &match : report.matches) {
        lines += QStringLiteral("%1:%2:%3: ").arg(report.path).arg(match.line).arg(match.column);
        lines += match.text;
        lines += u'\n';
    }
    return lines;
}

} // namespace SiteSearch
