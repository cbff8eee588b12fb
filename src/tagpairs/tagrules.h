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

// Never has content nor an end tag (<br>, <img>, …).
bool isVoid(QStringView name);
// Stops an end tag of another name from closing what lies below it.
bool isSpecial(QStringView name);
// Closed by its own end tag even when others were opened inside it
// (<b>, <i>, <font>, …): those stay open.
bool isFormatting(QStringView name);
// Limits how far down the open elements an end tag looks ("in scope").
bool isScopeBoundary(QStringView name);
bool isTableScopeBoundary(QStringView name);
// Ends an open <p> when its start tag comes.
bool closesParagraph(QStringView name);
// An end tag that looks for its element within scope (<div>, <ul>, …).
bool endsInScope(QStringView name);
// An element whose end tag may be left out (<p>, <li>, <td>, …).
bool hasOptionalEnd(QStringView name);
// A start tag of name closes an open element named open, directly below it
// in the same parent (the <li> before another <li>, say).
bool startClosesSibling(QStringView name, QStringView open);

} // namespace TagRules
