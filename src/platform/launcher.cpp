#include "platform/launcher.h"

#include "platform/prompts.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>

bool DesktopLauncher::startProgram(const QString &program, const QStringList &arguments,
                                   const QString &workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
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

bool openOrSay(Launcher &launcher, Prompts &prompts, const QUrl &url)
{
    if (launcher.openUrl(url))
        return true;
    const QString what =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    prompts.messageBox(QStringLiteral("没有程序能打开：\r\n") + what +
                           QStringLiteral("\r\n请安装网页浏览器，并检查桌面的默认程序(xdg-open)。"),
                       Prompts::Exclamation, QStringLiteral("错误"));
    return false;
}
