#include "platform/filefilter.h"

QStringList qtNameFilters(const QString &pipeFilter)
{
    QStringList parts = pipeFilter.split(u'|');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}
