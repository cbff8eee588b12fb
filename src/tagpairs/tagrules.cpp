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

template <size_t N> bool among(QStringView name, const QStringView (&names)[N])
{
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
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
    if (open == u"p")
        return closesParagraph(name);
    if (open == u"li")
        return name == u"li";
    if (open == u"dd" || open == u"dt")
        return name == u"dd" || name == u"dt";
    if (open == u"option")
        return name == u"option" || name == u"optgroup";
    if (open == u"optgroup")
        return name == u"optgroup";
    if (open == u"td" || open == u"th")
        return among(name, kCells);
    if (open == u"tr")
        return among(name, kRows);
    if (open == u"thead" || open == u"tbody" || open == u"tfoot")
        return among(name, kSections);
    if (open == u"rb" || open == u"rt" || open == u"rp")
        return among(name, kRuby);
    if (open == u"head")
        return name == u"body";
    if (isHeading(open))
        return isHeading(name);
    return false;
}

} // namespace TagRules
