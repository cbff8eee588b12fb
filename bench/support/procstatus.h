#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

// A field of this process's /proc status in bytes ("VmRSS:", "VmHWM:"), or
// -1.
inline qint64 statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}
