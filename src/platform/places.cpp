#include "platform/places.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &programFolderOverride()
{
    static QString folder;
    return folder;
}
} // namespace

namespace Places {

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    programFolderOverride() = folder;
}

QString tempFolder()
{
    const QString temp = qEnvironmentVariable("TEMP");
    if (!temp.isEmpty())
        return temp;
    return QDir::tempPath();
}

} // namespace Places

QString AddBackslash(const QString &folder)
{
    const QChar separator = QDir::separator();
    if (folder.endsWith(separator))
        return folder;
    return folder + separator;
}
