#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The file named on the command line. The whole command line names one path:
// the arguments (without the program's own name) are joined with single
// blanks and every double quote is removed.
QString CommandLinePath(const QStringList &arguments);

// What the program prints before it ends at once, when its arguments
// (without its own name) are exactly "--help" or "-h" (the usage) or
// "--version" (the version line of the About window). Nothing for any other
// command line, which names a page: a page called "--help" opens as
// "./--help".
std::optional<QString> CommandLineAnswer(const QStringList &arguments);
