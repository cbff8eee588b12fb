#include "platform/places.h"

#include "platform/privatefiles.h"
#include "platform/safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#ifndef ZELMO_DATA_FROM_PROGRAM
#define ZELMO_DATA_FROM_PROGRAM "../share/zelmohtml"
#endif

namespace {

const QString kSettingsName = QStringLiteral("zelmohtml.ini");
const QString kOwnFolder = QStringLiteral("zelmohtml");

QString &programFolderOverride()
{
    static QString folder;
    return folder;
}

Places::WriteCheck &writeCheckOverride()
{
    static Places::WriteCheck check;
    return check;
}

bool canWrite(const QString &path)
{
    if (writeCheckOverride())
        return writeCheckOverride()(path);
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString joined(const QString &folder, const QString &name)
{
    return AddBackslash(folder) + name;
}

QString besideProgram(const QString &name)
{
    return joined(Places::programFolder(), name);
}

// Where an installed program's data lives, as seen from its folder:
// <prefix>/share/zelmohtml for the program <prefix>/bin/zelmohtml.
QString dataFolder()
{
    return QDir::cleanPath(
        joined(Places::programFolder(), QStringLiteral(ZELMO_DATA_FROM_PROGRAM)));
}

// The first of the two places that holds name: beside the program, else the
// installed data folder. Beside the program when neither does.
QString besideProgramElseData(const QString &name)
{
    const QString beside = besideProgram(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = joined(dataFolder(), name);
    return QFileInfo::exists(installed) ? installed : beside;
}

// An XDG base folder: the variable when it holds an absolute path (relative
// ones are to be ignored), else its default under the home folder.
QString xdgFolder(const char *variable, const QString &underHome)
{
    const QString set = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    return joined(QDir::homePath(), underHome);
}

// Our folder under an XDG base folder, made when missing and create is set,
// with every missing folder above it, for the user alone. Its path is
// returned either way: a later write there then fails with the reason.
QString ownXdgFolder(const char *variable, const QString &underHome, bool create = true)
{
    const QString folder = joined(xdgFolder(variable, underHome), kOwnFolder);
    if (create) {
        const PrivateFiles privately;
        QDir().mkpath(folder);
    }
    return folder;
}

// The TEMP folder, else our folder under an XDG base folder.
QString tempFolderElse(const char *variable, const QString &underHome)
{
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? ownXdgFolder(variable, underHome) : temp;
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

void setWriteCheck(WriteCheck check)
{
    writeCheckOverride() = std::move(check);
}

bool portable()
{
    if (canWrite(programFolder()))
        return true;
    const QString settings = besideProgram(kSettingsName);
    return QFileInfo::exists(settings) && canWrite(settings);
}

QString settingsFile()
{
    const QString beside = besideProgram(kSettingsName);
    if (portable())
        return beside;
    const QString own =
        joined(ownXdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")), kSettingsName);
    // The first run starts from the settings the program came with.
    if (!QFileInfo::exists(own) && QFileInfo(beside).isFile()) {
        QFile shipped(beside);
        if (shipped.open(QIODevice::ReadOnly))
            SafeFile::write(own, shipped.readAll());
    }
    return own;
}

QString tagListFile()
{
    return besideProgramElseData(QStringLiteral("tags.dat"));
}

QString appendixProgram(const QString &name)
{
    return besideProgramElseData(QStringLiteral("appendix") + QDir::separator() + name);
}

QString previewFile()
{
    const QString name = QStringLiteral("Preview.htm");
    if (portable())
        return besideProgram(name);
    return joined(cacheFolder(), name);
}

QString cacheFolder(bool create)
{
    return ownXdgFolder("XDG_CACHE_HOME", QStringLiteral(".cache"), create);
}

QString autosaveFolder()
{
    return tempFolderElse("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

QString pageSourceFile()
{
    return joined(tempFolderElse("XDG_CACHE_HOME", QStringLiteral(".cache")),
                  QStringLiteral("yuancode.txt"));
}

} // namespace Places

QString AddBackslash(const QString &folder)
{
    const QChar separator = QDir::separator();
    if (folder.endsWith(separator))
        return folder;
    return folder + separator;
}
