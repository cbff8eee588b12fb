#include "platform/filefilter.h"

#include <QRegularExpression>

QStringList qtNameFilters(const QString &pipeFilter)
{
    // A description may show its patterns itself, "网页文件(*.htm;*.html)":
    // Qt's form of them takes their place, so that they show once.
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
    QStringList parts = pipeFilter.split(u'|');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        QString description = parts.at(i);
        const QString separator =
            description.contains(shownPatterns) ? QString() : QStringLiteral(" ");
        description.remove(shownPatterns);
        filters << description + separator + u'(' + patterns.join(u' ') + u')';
    }
    return filters;
}
