#pragma once

#include "checker/problem.h"

#include <QList>
#include <QString>

namespace Checker {

// A tag as the checker reads it from the scan. Positions are where the
// texts start; a text may span lines.
struct Attribute {
    QString name;  // as written
    QString value; // as written, with its quotes
    TextPos namePos;
    TextPos valuePos;
    bool hasValue = false;
    bool quoted() const { return hasValue && (value.startsWith(u'"') || value.startsWith(u'\'')); }
    // The value without its quotes.
    QString unquotedValue() const;
};

struct Tag {
    QString name; // as written
    QString lowerName;
    TextPos lessThan; // the "<"
    TextPos namePos;
    bool endTag = false;
    bool selfClosing = false;
    QList<Attribute> attributes;

    const Attribute *attribute(QStringView name) const;
};

// The character at i, or 0 beyond the text.
inline char16_t charAt(QStringView text, qsizetype i)
{
    return i >= 0 && i < text.size() ? text[i].unicode() : 0;
}

// Where the character at index within text stands, text starting at start.
TextPos advance(TextPos start, QStringView text, qsizetype index);

} // namespace Checker
