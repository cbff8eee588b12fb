#pragma once

#include <QStringView>

// The named character references of HTML ("amp;", "nbsp;", "copy" ...).
namespace EntityNames {

// The longest name of a reference, its ";" included.
constexpr qsizetype kLongest = 32;

// The length of the longest reference name that text (the characters after
// "&") starts with, its ";" included when it has one; 0 when none.
qsizetype longestMatch(QStringView text);

} // namespace EntityNames
