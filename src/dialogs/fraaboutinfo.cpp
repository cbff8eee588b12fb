#include "dialogs/fraaboutinfo.h"

#include "platform/caption.h"

#include <pwd.h>
#include <unistd.h>

QString VersionLine(const VersionRecord &version)
{
    return ProductName() + u' ' + QString::number(version.major) + u'.' +
           QString::number(version.minor) + QStringLiteral(".11") + u'.' +
           QString::number(version.revision);
}

QString NameUpToNul(const QString &buffer)
{
    const qsizetype nul = buffer.indexOf(QChar(u'\0'));
    return nul < 0 ? buffer : buffer.left(nul);
}

QString LoginName()
{
    if (const passwd *entry = getpwuid(getuid()); entry && entry->pw_name && *entry->pw_name)
        return NameUpToNul(QString::fromLocal8Bit(entry->pw_name));
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return NameUpToNul(name);
}
