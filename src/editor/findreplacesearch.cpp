#include "editor/findreplacesearch.h"

#include "editor/unitscan.h"
#include "platform/regexreasons.h"

#include <QTextBoundaryFinder>
#include <QtAlgorithms>

namespace {

constexpr int kMaxFirstUnits = 4;

qsizetype scanFor(const char16_t *text, qsizetype from, qsizetype end, const char16_t *units,
                  qsizetype count)
{
    switch (count) {
    case 1:
        return UnitScan::findAny<1>(text, from, end, units);
    case 2:
        return UnitScan::findAny<2>(text, from, end, units);
    case 3:
        return UnitScan::findAny<3>(text, from, end, units);
    default:
        return UnitScan::findAny<kMaxFirstUnits>(text, from, end, units);
    }
}

} // namespace

TextMatcher::TextMatcher(QString needle, Qt::CaseSensitivity cs)
    : m_needle(std::move(needle))
    , m_cs(cs)
{
    if (m_needle.isEmpty())
        return;
    const char16_t first = m_needle.front().unicode();
    if (cs == Qt::CaseSensitive) {
        m_firstUnits.append(first);
        return;
    }
    // A surrogate folds only together with its partner: Qt's search
    // handles that rare case.
    if (QChar::isSurrogate(first))
        return;
    // Every code unit of the Basic Multilingual Plane with the same case
    // folding, for example k, K and the Kelvin sign.
    const char32_t folded = QChar::toCaseFolded(char32_t(first));
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (QChar::isSurrogate(unit) || QChar::toCaseFolded(unit) != folded)
            continue;
        if (m_firstUnits.size() == kMaxFirstUnits) {
            m_firstUnits.clear();
            return;
        }
        m_firstUnits.append(char16_t(unit));
    }
}

bool TextMatcher::matchesAt(const char16_t *at) const
{
    const QStringView candidate(at, m_needle.size());
    if (m_cs == Qt::CaseSensitive)
        return candidate == QStringView(m_needle);
    return candidate.compare(m_needle, Qt::CaseInsensitive) == 0;
}

qsizetype TextMatcher::indexIn(QStringView haystack, qsizetype from) const
{
    from = qMax(from, qsizetype(0));
    const qsizetype length = m_needle.size();
    if (length == 0)
        return from <= haystack.size() ? from : -1;
    if (from > haystack.size() - length)
        return -1;
    if (m_firstUnits.isEmpty())
        return haystack.indexOf(m_needle, from, m_cs);

    const char16_t *text = haystack.utf16();
    const qsizetype end = haystack.size() - length + 1; // one past the last start
    for (qsizetype at = from; at < end; ++at) {
        at = scanFor(text, at, end, m_firstUnits.constData(), m_firstUnits.size());
        if (at == end)
            break;
        if (matchesAt(text + at))
            return at;
    }
    return -1;
}

namespace {

// The regular expression engine refuses text with a lone surrogate, which
// is what a byte that is no character reads as: such text is searched with
// U+FFFD in its place, the positions staying the same.
QString withoutLoneSurrogates(QStringView text)
{
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    QString copy;
    for (qsizetype i = 0; i < n; ++i) {
        if (!QChar::isSurrogate(p[i]))
            continue;
        if (QChar::isHighSurrogate(p[i]) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            ++i;
            continue;
        }
        if (copy.isNull())
            copy = text.toString();
        copy[i] = QChar::ReplacementCharacter;
    }
    return copy;
}

} // namespace

SearchPattern::SearchPattern(const QString &findText, SearchOptions options)
    : m_findText(findText)
    , m_options(options)
{
    if (findText.isEmpty()) {
        m_error = QStringLiteral("请输入要查找的内容");
        return;
    }
    if (!options.regex) {
        m_matcher.emplace(findText, options.cs);
        return;
    }
    // Line ends for ^ and $: CR, LF, CR LF and the paragraph separator.
    static const QString kLineEnds = QStringLiteral("(*ANY)");
    QRegularExpression::PatternOptions patternOptions =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (options.cs == Qt::CaseInsensitive)
        patternOptions |= QRegularExpression::CaseInsensitiveOption;
    m_regex = QRegularExpression(kLineEnds + findText, patternOptions);
    if (!m_regex.isValid()) {
        const qsizetype at = qMax(m_regex.patternErrorOffset() - kLineEnds.size(), qsizetype(0));
        m_error = QStringLiteral("正则表达式有误（第 %1 个字符处）：%2")
                      .arg(at + 1)
                      .arg(RegexReason(m_regex.errorString()));
    }
}

bool SearchPattern::isWordBoundary(QStringView text, qsizetype position)
{
    if (position <= 0 || position >= text.size())
        return true;
    // Word boundaries depend on a few characters either side: a stretch
    // around the position is enough, whatever the length of the text.
    constexpr qsizetype kReach = 32;
    const qsizetype from = qMax(position - kReach, qsizetype(0));
    const QStringView around = text.sliced(from, qMin(text.size(), position + kReach) - from);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, around.data(), around.size());
    finder.setPosition(position - from);
    return finder.isAtBoundary();
}

SearchPattern::Match SearchPattern::matchIn(QStringView text, qsizetype from, bool allowEmpty) const
{
    if (!isValid())
        return {};
    if (m_options.regex) {
        const QString valid = withoutLoneSurrogates(text);
        if (!valid.isNull())
            return matchInValid(valid, from, allowEmpty);
    }
    return matchInValid(text, from, allowEmpty);
}

std::vector<SearchPattern::Match> SearchPattern::allMatches(QStringView text) const
{
    std::vector<Match> matches;
    if (!isValid())
        return matches;
    QString valid;
    if (m_options.regex)
        valid = withoutLoneSurrogates(text);
    const QStringView subject = valid.isNull() ? text : QStringView(valid);
    qsizetype from = 0;
    while (from <= subject.size()) {
        Match match = matchInValid(subject, from, true);
        if (!match.found())
            break;
        from = match.start + qMax(match.length, qsizetype(1));
        matches.push_back(std::move(match));
    }
    return matches;
}

SearchPattern::Match SearchPattern::matchInValid(QStringView text, qsizetype from,
                                                 bool allowEmpty) const
{
    for (from = qMax(from, qsizetype(0)); from <= text.size(); ++from) {
        Match match;
        if (m_options.regex) {
            match = regexMatchIn(text, from, allowEmpty);
        } else {
            match.start = m_matcher->indexIn(text, from);
            match.length = m_findText.size();
        }
        if (!match.found())
            return {};
        if (!m_options.wholeWord ||
            (isWordBoundary(text, match.start) && isWordBoundary(text, match.start + match.length)))
            return match;
        from = match.start;
    }
    return {};
}

SearchPattern::Match SearchPattern::regexMatchIn(QStringView text, qsizetype from,
                                                 bool allowEmpty) const
{
    // The text is valid UTF-16 here: checking it again at every match would
    // cost the whole text each time.
    while (from <= text.size()) {
        const QRegularExpressionMatch found =
            m_regex.match(text, from, QRegularExpression::NormalMatch,
                          QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!found.hasMatch())
            return {};
        if (found.capturedLength() == 0 && !allowEmpty) {
            from = found.capturedStart() + 1;
            continue;
        }
        Match match;
        match.start = found.capturedStart();
        match.length = found.capturedLength();
        for (int group = 0; group <= found.lastCapturedIndex(); ++group)
            match.groups.append({found.capturedStart(group), found.capturedEnd(group)});
        return match;
    }
    return {};
}

QString SearchPattern::replacementFor(const Match &match, QStringView text,
                                      const QString &replacement) const
{
    if (!m_options.regex || !replacement.contains(u'$'))
        return replacement;
    QString result;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        const QChar next = i + 1 < replacement.size() ? replacement.at(i + 1) : QChar();
        if (c == u'$' && next == u'$') {
            result += u'$';
            ++i;
        } else if (c == u'$' && next >= u'0' && next <= u'9') {
            const int group = next.digitValue();
            // A group that took no part, or that the pattern lacks, is empty.
            if (group < match.groups.size() && match.groups[group].first >= 0) {
                const auto [start, end] = match.groups[group];
                result += text.sliced(start, end - start);
            }
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}
