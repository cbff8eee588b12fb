#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

// zelmohtml --find TEXT [--regex] [--word] [--case] [--include PATTERNS]
//           [--replace TEXT [--dry-run]] PATH...
// Searches pages and folders (with their subfolders) as the site search
// window does, each page in its own encoding, and prints in UTF-8. Exit
// status: 0 something found, 1 nothing found, 2 an error.
namespace SiteSearchCommand {

// The exit status, or nothing when the arguments hold no "--find".
std::optional<int> run(const QStringList &arguments, std::FILE *out, std::FILE *err);

// The lines --help gives for it.
QString usage();

} // namespace SiteSearchCommand
