#pragma once

#include <QString>
#include <QStringList>

// Turns a file dialog filter written as "description|pattern|description|
// pattern|" into Qt's name filters ("description (pattern pattern)"). A
// description that ends in its own patterns in brackets keeps its wording
// and shows them once: "网页文件(*.htm;*.html)" becomes
// "网页文件(*.htm *.html)".
QStringList qtNameFilters(const QString &pipeFilter);
