#include "shell/commandline.h"

QString CommandLinePath(const QStringList &arguments)
{
    QString path = arguments.join(u' ');
    path.remove(u'"');
    return path;
}
