#include "editor/tagrules.h"

#include <algorithm>

namespace TagRules {

namespace {

constexpr QStringView kVoid[] = {u"area",  u"base",   u"basefont", u"bgsound", u"br",
                                 u"col",   u"embed",  u"frame",    u"hr",      u"image",
                                 u"img",   u"input",  u"keygen",   u"link",    u"meta",
                                 u"param", u"source", u"track",    u"wbr"};
constexpr QStringView kFormatting[] = {u"a",      u"b",      u"big",  u"code", u"em",
                                       u"font",   u"i",      u"nobr", u"s",    u"small",
                                       u"strike", u"strong", u"tt",   u"u"};
constexpr QStringView kScopeBoundaries[] = {u"applet", u"caption", u"html",   u"table",   u"td",
                                            u"th",     u"marquee", u"object", u"template"};
constexpr QStringView kTableScopeBoundaries[] = {u"html", u"table", u"template"};
constexpr QStringView kParagraphClosers[] = {
    u"address", u"article", u"aside",   u"blockquote", u"center", u"details",  u"dialog",
    u"dir",     u"div",     u"dl",      u"dd",         u"dt",     u"fieldset", u"figcaption",
    u"figure",  u"footer",  u"form",    u"header",     u"hgroup", u"hr",       u"li",
    u"listing", u"main",    u"menu",    u"nav",        u"ol",     u"p",        u"plaintext",
    u"pre",     u"search",  u"section", u"summary",    u"table",  u"ul",       u"xmp"};
constexpr QStringView kOptionalEnds[] = {
    u"p",  u"li", u"dd",    u"dt",    u"option", u"optgroup", u"tr",
    u"td", u"th", u"thead", u"tbody", u"tfoot",  u"colgroup", u"caption",
    u"rb", u"rt", u"rtc",   u"rp",    u"html",   u"head",     u"body"};
constexpr QStringView kCells[] = {u"td", u"th", u"tr", u"tbody", u"thead", u"tfoot"};
constexpr QStringView kRows[] = {u"tr", u"tbody", u"thead", u"tfoot"};
constexpr QStringView kSections[] = {u"tbody", u"thead", u"tfoot"};
constexpr QStringView kRuby[] = {u"rb", u"rt", u"rp", u"rtc"};
constexpr QStringView kSpecial[] = {
    u"address",  u"applet",   u"article",  u"aside",      u"blockquote", u"body",    u"button",
    u"caption",  u"center",   u"colgroup", u"dd",         u"details",    u"dir",     u"div",
    u"dl",       u"dt",       u"fieldset", u"figcaption", u"figure",     u"footer",  u"form",
    u"frameset", u"head",     u"header",   u"hgroup",     u"html",       u"iframe",  u"li",
    u"listing",  u"main",     u"marquee",  u"menu",       u"nav",        u"noembed", u"noframes",
    u"noscript", u"object",   u"ol",       u"p",          u"plaintext",  u"pre",     u"script",
    u"search",   u"section",  u"select",   u"style",      u"summary",    u"table",   u"tbody",
    u"td",       u"template", u"textarea", u"tfoot",      u"th",         u"thead",   u"title",
    u"tr",       u"ul",       u"xmp"};
constexpr QStringView kScopedEnds[] = {
    u"address",    u"article", u"aside",   u"blockquote", u"button", u"center",
    u"details",    u"dialog",  u"dir",     u"div",        u"dl",     u"fieldset",
    u"figcaption", u"figure",  u"footer",  u"form",       u"header", u"hgroup",
    u"listing",    u"main",    u"menu",    u"nav",        u"ol",     u"pre",
    u"search",     u"section", u"summary", u"ul",         u"li",     u"dd",
    u"dt",         u"applet",  u"marquee", u"object",     u"body",   u"html"};

// The names of all the groups with their bits, in a small open-addressed
// table: the rules are asked for every tag read, so a name is looked up
// once with a few comparisons instead of once a list.
class GroupTable {
public:
    GroupTable()
    {
        add(kVoid, Void | Special);
        add(kFormatting, Formatting);
        add(kScopeBoundaries, ScopeBoundary);
        add(kTableScopeBoundaries, TableScopeBoundary);
        add(kParagraphClosers, ParagraphCloser);
        add(kOptionalEnds, OptionalEnd);
        add(kCells, Cell);
        add(kRows, Row);
        add(kSections, Section);
        add(kRuby, Ruby);
        add(kSpecial, Special);
        add(kScopedEnds, ScopedEnd);
        constexpr QStringView kHeadings[] = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
        add(kHeadings, Heading | Special | ParagraphCloser | ScopedEnd);
    }

    quint32 groups(QStringView name) const
    {
        if (name.isEmpty() || name.size() > kLongest)
            return 0;
        for (size_t at = slot(name);; at = (at + 1) % kSlots) {
            const Entry &entry = m_entries[at];
            if (entry.size == 0)
                return 0;
            if (entry.size == name.size() &&
                std::equal(name.begin(), name.end(), entry.name,
                           [](QChar a, char16_t b) { return a.unicode() == b; }))
                return entry.bits;
        }
    }

private:
    static constexpr qsizetype kLongest = 10;
    static constexpr size_t kSlots = 512;
    struct Entry {
        char16_t name[kLongest] = {};
        qsizetype size = 0;
        quint32 bits = 0;
    };

    static size_t slot(QStringView name)
    {
        const size_t size = size_t(name.size());
        return (size * 131 + size_t(name[0].unicode()) * 31 +
                size_t(name[name.size() - 1].unicode()) * 7 + size_t(name[size / 2].unicode())) %
               kSlots;
    }

    template <size_t N> void add(const QStringView (&names)[N], quint32 bits)
    {
        for (const QStringView name : names) {
            size_t at = slot(name);
            while (m_entries[at].size != 0 &&
                   QStringView(m_entries[at].name, m_entries[at].size) != name)
                at = (at + 1) % kSlots;
            Entry &entry = m_entries[at];
            for (qsizetype i = 0; i < name.size(); ++i)
                entry.name[i] = name[i].unicode();
            entry.size = name.size();
            entry.bits |= bits;
        }
    }

    Entry m_entries[kSlots];
};

} // namespace

quint32 groups(QStringView name)
{
    static const GroupTable table;
    return table.groups(name);
}

bool isVoid(QStringView name)
{
    return groups(name) & Void;
}

bool closesParagraph(QStringView name)
{
    return groups(name) & ParagraphCloser;
}

bool hasOptionalEnd(QStringView name)
{
    return groups(name) & OptionalEnd;
}

bool startClosesSibling(QStringView name, QStringView open)
{
    return startClosesSibling(name, groups(name), open, groups(open));
}

bool startClosesSibling(QStringView name, quint32 nameGroups, QStringView open, quint32 opened)
{
    if (!(opened & (OptionalEnd | Heading)))
        return false;
    const quint32 groups = nameGroups;
    if (is(open, u"p"))
        return groups & ParagraphCloser;
    if (is(open, u"li"))
        return is(name, u"li");
    if (is(open, u"dd") || is(open, u"dt"))
        return is(name, u"dd") || is(name, u"dt");
    if (is(open, u"option"))
        return is(name, u"option") || is(name, u"optgroup");
    if (is(open, u"optgroup"))
        return is(name, u"optgroup");
    if (is(open, u"td") || is(open, u"th"))
        return groups & Cell;
    if (opened & Row && !(opened & Section))
        return groups & Row;
    if (opened & Section)
        return groups & Section;
    if (opened & Ruby && !is(open, u"rtc"))
        return groups & Ruby;
    if (is(open, u"head"))
        return is(name, u"body");
    if (opened & Heading)
        return groups & Heading;
    return false;
}

} // namespace TagRules
