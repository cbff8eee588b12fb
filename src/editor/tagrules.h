#pragma once

#include <QStringView>
#include <cstddef>

// How HTML closes elements, by their lower-case names: the groups of
// elements that the tree builder of a browser treats alike.
namespace TagRules {

// Whether name is the literal, compared without measuring the literal.
template <size_t N> inline bool is(QStringView name, const char16_t (&literal)[N])
{
    if (name.size() != qsizetype(N - 1))
        return false;
    for (size_t i = 0; i + 1 < N; ++i) {
        if (name[qsizetype(i)].unicode() != literal[i])
            return false;
    }
    return true;
}

// The groups a name belongs to, one bit each, for tests of many tags.
enum Group : quint32 {
    Void = 1 << 0,
    // Closed by its own end tag even when others were opened inside it
    // (<b>, <i>, <font>, …): those stay open.
    Formatting = 1 << 1,
    // Limits how far down the open elements an end tag looks ("in scope").
    ScopeBoundary = 1 << 2,
    TableScopeBoundary = 1 << 3,
    ParagraphCloser = 1 << 4,
    OptionalEnd = 1 << 5,
    Cell = 1 << 6,
    Row = 1 << 7,
    Section = 1 << 8,
    Ruby = 1 << 9,
    // Stops an end tag of another name from closing what lies below it.
    Special = 1 << 10,
    // An end tag that looks for its element within scope (<div>, <ul>, …).
    ScopedEnd = 1 << 11,
    Heading = 1 << 12,
};
quint32 groups(QStringView name);

// Never has content nor an end tag (<br>, <img>, …).
bool isVoid(QStringView name);
// Ends an open <p> when its start tag comes.
bool closesParagraph(QStringView name);
// An element whose end tag may be left out (<p>, <li>, <td>, …).
bool hasOptionalEnd(QStringView name);
// A start tag of name closes an open element named open, directly below it
// in the same parent (the <li> before another <li>, say).
bool startClosesSibling(QStringView name, QStringView open);
// The same with the groups of both names at hand.
bool startClosesSibling(QStringView name, quint32 nameGroups, QStringView open, quint32 openGroups);

} // namespace TagRules
