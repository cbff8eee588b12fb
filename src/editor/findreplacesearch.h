#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <optional>
#include <utility>
#include <vector>

// Forward search for one text, with or without regard to case, as
// QStringView::indexOf does it (case-insensitive matching compares Unicode
// case foldings), but built once per text to find and much faster on long
// texts: a vector scan for the code units that can start a match, then a
// comparison at each of them.
class TextMatcher {
public:
    TextMatcher(QString needle, Qt::CaseSensitivity cs);

    // Index of the first occurrence at or after from, -1 if none. An empty
    // text to find occurs at from itself (when from is within the text).
    qsizetype indexIn(QStringView haystack, qsizetype from) const;

    const QString &needle() const { return m_needle; }

private:
    bool matchesAt(const char16_t *at) const;

    QString m_needle;
    Qt::CaseSensitivity m_cs;
    // The code units a match can start with; empty when Qt's own search is
    // used instead (a first unit that is a surrogate or has many case forms).
    QVarLengthArray<char16_t, 4> m_firstUnits;
};

// What the find window and the site search look for: a text or a
// Perl-compatible regular expression, with or without regard to case,
// anywhere or as whole words (by Unicode word boundaries, so that Chinese
// text next to Latin letters counts as a word of its own).
struct SearchOptions {
    bool regex = false;
    bool wholeWord = false;
    Qt::CaseSensitivity cs = Qt::CaseInsensitive;
};

class SearchPattern {
public:
    struct Match {
        qsizetype start = -1; // -1: none
        qsizetype length = 0;
        // Where each group starts and ends (regular expressions only);
        // -1 for a group that took no part.
        QVarLengthArray<std::pair<qsizetype, qsizetype>, 4> groups;
        bool found() const { return start >= 0; }
    };

    SearchPattern(const QString &findText, SearchOptions options);

    // False for an invalid regular expression; error() says why, in words
    // for the user.
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    const QString &findText() const { return m_findText; }
    const SearchOptions &options() const { return m_options; }

    // The first match starting at or after from. Regular expressions see
    // CR, LF, CR LF and the document's paragraph separator as line ends
    // for ^ and $. A match of nothing is found only where allowEmpty.
    Match matchIn(QStringView text, qsizetype from, bool allowEmpty = false) const;

    // Every match left to right, not overlapping, as replace all takes them
    // (a match of nothing included, the next search starting one further).
    std::vector<Match> allMatches(QStringView text) const;

    // The replacement for a match: in a regular expression $0 to $9 stand
    // for the groups and $$ for "$"; otherwise the text as it stands.
    QString replacementFor(const Match &match, QStringView text, const QString &replacement) const;

    // Whether a word boundary lies at position in text.
    static bool isWordBoundary(QStringView text, qsizetype position);

private:
    // text must be valid UTF-16 for a regular expression.
    Match matchInValid(QStringView text, qsizetype from, bool allowEmpty) const;
    Match regexMatchIn(QStringView text, qsizetype from, bool allowEmpty) const;

    QString m_findText;
    SearchOptions m_options;
    QString m_error;
    std::optional<TextMatcher> m_matcher;
    QRegularExpression m_regex;
};
