#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The completion vocabulary "tags.dat": comma-delimited free-format items in
// the ANSI code page. An item ends at a comma or a line end (CR LF, CR or LF);
// spaces and tabs in front of it are skipped and blanks after an unquoted
// item are dropped. An item that begins with a double quote runs to the next
// double quote (or the line's end when there is none), the quotes not being
// part of it, and anything after the closing quote up to the next comma or
// line end is ignored. An empty line is one empty item.
namespace TagList {

// Every item of the text, in order.
QStringList readItems(QStringView text);

// The items that begin with "<", in order: the completion entries.
QStringList entries(QStringView text);

// Reads the entries of the file at path (decoded from the ANSI code page).
// False, with entries untouched, when the file cannot be opened or read.
bool load(const QString &path, QStringList &entries);

} // namespace TagList
