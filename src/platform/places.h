#pragma once

#include <QString>
#include <functional>

// Where each of the program's own files lives. Every caller asks here; none
// puts a folder and a file name together itself.
//
// Portable use: the program's folder holds a "zelmohtml.ini" that the user
// can write, or the user can write to the folder itself. Then the settings
// file, the word list, "appendix" and the preview live beside the program.
//
// Installed use otherwise: the settings file in $XDG_CONFIG_HOME/zelmohtml
// (its first run starts from a copy of a read-only "zelmohtml.ini" beside
// the program), the word list and "appendix" beside the program or else in
// the installed data folder, the preview in $XDG_CACHE_HOME/zelmohtml.
//
// Temporary files go to the folder named by TEMP. Without TEMP, autosave
// copies go to $XDG_STATE_HOME/zelmohtml and the downloaded page source to
// $XDG_CACHE_HOME/zelmohtml. Folders made here are for the user alone (0700).
namespace Places {

// The folder that holds the executable, without a trailing separator.
QString programFolder();

// Lets tests and benchmarks run against a folder of their own.
void setProgramFolder(const QString &folder);

// Whether the user may write to a file or folder. Tests of the rule above
// put their own answer in; an empty function brings back the real check.
using WriteCheck = std::function<bool(const QString &path)>;
void setWriteCheck(WriteCheck check);

// True in portable use, false in installed use.
bool portable();

// The settings file "zelmohtml.ini". In installed use its folder is made
// when missing.
QString settingsFile();

// The word list "tags.dat".
QString tagListFile();

// The sibling tool name in the folder "appendix": beside the program when
// it is there, else in the installed data folder when it is there, else
// (missing) beside the program.
QString appendixProgram(const QString &name);

// "Preview.htm".
QString previewFile();

// The user's own cache folder of the program ($XDG_CACHE_HOME/zelmohtml),
// made for the user alone when create is set and it is missing.
QString cacheFolder(bool create = true);

// The autosave folder used when the settings name none; made when missing.
QString autosaveFolder();

// "yuancode.txt", the last downloaded page source; its folder is made when
// missing.
QString pageSourceFile();

} // namespace Places

// The folder unchanged if it already ends in the platform's separator,
// else followed by one.
QString AddBackslash(const QString &folder);
