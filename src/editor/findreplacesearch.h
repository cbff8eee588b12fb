#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

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
