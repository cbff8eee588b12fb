#pragma once

#include <QString>

// The custom scheme's name: at most four characters, stored under
// Scheme/name, "自定义" until the user gives one.
namespace SchemeName {

inline constexpr int kLength = 4;

QString stored();

// The first four characters of name, never splitting a character that takes
// two UTF-16 units.
QString cut(const QString &name);

} // namespace SchemeName
