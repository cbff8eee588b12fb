#pragma once

#include <QString>

// Private-profile (INI) files in the manner of the Windows profile calls:
// section and key names match without regard to case, blanks and tabs around
// names and values are ignored, lines starting with ";" are comments, the first
// of duplicate sections or keys wins, and one pair of surrounding quotes is
// removed from a value on reading. Files are ANSI text (see AnsiCodec) with
// CR LF, LF or CR line ends.
//
// Each call opens the file afresh: there is no cache.
namespace ProfileFile {

// The value of key in section, or defaultValue when the file, the section or
// the key is missing. A key present with nothing after "=" yields "". The
// result is cut to bufferSize - 1 bytes of its ANSI form, never in the middle
// of a character.
QString read(const QString &path, const QString &section, const QString &key,
             const QString &defaultValue, int bufferSize = 256);

// Stores value under section/key, creating the file, the section or the key
// as needed. Every other byte of the file stays as it was. The file is
// written through SafeFile; on failure nothing changes, false is returned and
// error (when given) says why, in words for the user. A section or key name
// that would not read back as written is refused the same way.
bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           QString *error = nullptr);

} // namespace ProfileFile
