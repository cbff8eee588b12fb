#pragma once

#include <QString>
#include <QStringList>

// The file named on the command line. The whole command line names one path:
// the arguments (without the program's own name) are joined with single
// blanks and every double quote is removed.
QString CommandLinePath(const QStringList &arguments);
