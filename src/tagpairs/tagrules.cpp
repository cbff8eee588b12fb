#include "tagpairs/tagrules.h"

#include <algorithm>
#include <iterator>

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

// Compared here, without a call per name: the lists are read for every tag.
template <size_t N> bool among(QStringView name, const QStringView (&names)[N])
{
    const qsizetype size = name.size();
    for (const QStringView &known : names) {
        if (known.size() == size && std::equal(known.begin(), known.end(), name.begin()))
            return true;
    }
    return false;
}

bool isHeading(QStringView name)
{
    return name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6';
}

} // namespace

bool isVoid(QStringView name)
{
    return among(name, kVoid);
}

bool isSpecial(QStringView name)
{
    return isVoid(name) || isHeading(name) || among(name, kSpecial);
}

bool isFormatting(QStringView name)
{
    return among(name, kFormatting);
}

bool isScopeBoundary(QStringView name)
{
    return among(name, kScopeBoundaries);
}

bool isTableScopeBoundary(QStringView name)
{
    return among(name, kTableScopeBoundaries);
}

bool closesParagraph(QStringView name)
{
    return isHeading(name) || among(name, kParagraphClosers);
}

bool endsInScope(QStringView name)
{
    return isHeading(name) || among(name, kScopedEnds);
}

bool hasOptionalEnd(QStringView name)
{
    return among(name, kOptionalEnds);
}

bool startClosesSibling(QStringView name, QStringView open)
{
    if (is(open, u"p"))
        return closesParagraph(name);
    if (is(open, u"li"))
        return is(name, u"li");
    if (is(open, u"dd") || is(open, u"dt"))
        return is(name, u"dd") || is(name, u"dt");
    if (is(open, u"option"))
        return is(name, u"option") || is(name, u"optgroup");
    if (is(open, u"optgroup"))
        return is(name, u"optgroup");
    if (is(open, u"td") || is(open, u"th"))
        return among(name, kCells);
    if (is(open, u"tr"))
        return among(name, kRows);
    if (is(open, u"thead") || is(open, u"tbody") || is(open, u"tfoot"))
        return among(name, kSections);
    if (is(open, u"rb") || is(open, u"rt") || is(open, u"rp"))
        return among(name, kRuby);
    if (is(open, u"head"))
        return is(name, u"body");
    if (isHeading(open))
        return isHeading(name);
    return false;
}

} // namespace TagRules
