#include "platform/launcher.h"

#include <QDesktopServices>
#include <QProcess>

bool DesktopLauncher::startProgram(const QString &program, const QString &workingFolder)
{
    return QProcess::startDetached(program, {}, workingFolder);
}

bool DesktopLauncher::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

Launcher &desktopLauncher()
{
    static DesktopLauncher launcher;
    return launcher;
}
