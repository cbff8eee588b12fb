#pragma once

#include <QString>
#include <QStringList>

// Turns a file dialog filter written as "description|pattern|description|
// pattern|" into Qt's name filters ("description (pattern pattern)").
QStringList qtNameFilters(const QString &pipeFilter);
