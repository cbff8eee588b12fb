#pragma once

#include "checker/problem.h"
#include "checker/tag.h"

#include <QStringView>
#include <vector>

// Full-width characters an input method leaves inside markup: quotes around
// a value, an ideographic space between attributes, "＝" for "=", "＞" for
// ">", full-width letters in a name, "；" ending a character reference. A
// browser reads each of them as part of a name or value, so the page loses
// an attribute or gets a wrong one. Each slip comes with a fix that replaces
// exactly the slipped characters.
namespace FullWidthSlips {

// The half-width character a slip stands for; 0 when c is none.
char16_t halfWidth(char16_t c);
bool isSlipSpace(char16_t c);

// The name the author meant: full-width letters made half-width, cut before
// the first other slip ("p" for "p＞text<").
QString intendedName(const QString &name);

// Slips in a tag's name, attribute names and unquoted values.
void findInTag(const Checker::Tag &tag, std::vector<Checker::Problem> &out);

// A slip where a tag should start: text (from the character after "<") starts
// with full-width letters or "／" (at is its place). True when one was found.
bool findAfterLessThan(QStringView text, Checker::TextPos at, std::vector<Checker::Problem> &out);

// A full-width "＜" that starts a tag ("＜p>", "＜/div>") in text at index i.
bool isFullWidthTagOpen(QStringView text, qsizetype i);
Checker::Problem fullWidthTagOpen(Checker::TextPos at);

// "；" ending the character reference name (a problem at pos).
Checker::Problem fullWidthSemicolon(Checker::TextPos at, QStringView name);

} // namespace FullWidthSlips
