#pragma once

#include <span>

// The fragments of the three drop-down lists and of the symbol-font button,
// kept as data. Texts are UTF-16 literals; the two script fragments break
// their lines with a lone CR.
namespace SnippetFragments {

struct Item {
    const char16_t *name;     // the list entry
    const char16_t *fragment; // what it inserts
};

struct List {
    const char16_t *cover; // the list's text before a choice; not one of its items
    std::span<const Item> items;
    const char16_t *hint; // hint of the list's button
};

// Combo1 (special tags), Combo2 (useful scripts), Combo3 (form controls), in
// that order; the buttons insert1 to insert3 belong to them.
inline constexpr int kListCount = 3;
std::span<const List> lists();

// The message shown when a list's button is pressed while the list shows its cover.
inline constexpr char16_t kCoverTitle[] = u"温馨提示";
inline constexpr char16_t kCoverMessage[] = u"[%1]是封面,你要选择它的内容"; // %1: the cover

// insert4: the text of Text1 inside a symbol-font tag.
inline constexpr char16_t kSymbolOpen[] = u"<font face=wingdings style=\"\" size=\"\">";
inline constexpr char16_t kSymbolClose[] = u"</font>";
inline constexpr char16_t kSymbolHint[] = u"插入字体面貌";
inline constexpr char16_t kSymbolDefault[] = u"N";

} // namespace SnippetFragments
