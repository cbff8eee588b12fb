#include "editor/scriptkeywords.h"

#include <algorithm>
#include <array>

namespace ScriptKeywords {

namespace {

// Sorted, for the binary search.
constexpr std::array kJavaScript = {
    u"async",    u"await",     u"break",      u"case",    u"catch", u"class",    u"const",
    u"continue", u"debugger",  u"default",    u"delete",  u"do",    u"else",     u"enum",
    u"export",   u"extends",   u"false",      u"finally", u"for",   u"function", u"if",
    u"import",   u"in",        u"instanceof", u"let",     u"new",   u"null",     u"return",
    u"static",   u"super",     u"switch",     u"this",    u"throw", u"true",     u"try",
    u"typeof",   u"undefined", u"var",        u"void",    u"while", u"with",     u"yield"};

constexpr std::array kCss = {u"auto", u"important", u"inherit", u"initial",
                             u"none", u"revert",    u"unset"};

constexpr qsizetype kLongest = 10; // "instanceof"

template <std::size_t N>
bool contains(const std::array<const char16_t *, N> &words, QStringView word)
{
    return std::binary_search(words.begin(), words.end(), word,
                              [](auto a, auto b) { return QStringView(a) < QStringView(b); });
}

} // namespace

bool isJavaScript(QStringView word)
{
    return word.size() >= 2 && word.size() <= kLongest && contains(kJavaScript, word);
}

bool isCss(QStringView word)
{
    if (word.size() < 4 || word.size() > kLongest)
        return false;
    char16_t lower[kLongest];
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        lower[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    return contains(kCss, QStringView(lower, word.size()));
}

} // namespace ScriptKeywords
