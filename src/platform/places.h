#pragma once

#include <QString>

// Where the program finds its files: its own folder (the word list, the
// settings file, the preview) and the folder for temporary files.
namespace Places {

// The folder that holds the executable, without a trailing separator.
QString programFolder();

// Lets tests and benchmarks run against a folder of their own.
void setProgramFolder(const QString &folder);

// The folder named by the environment variable TEMP, else the system's
// temporary folder.
QString tempFolder();

} // namespace Places

// The folder unchanged if it already ends in the platform's separator,
// else followed by one.
QString AddBackslash(const QString &folder);
