#pragma once

#include "platform/launcher.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// A launcher that records what would have been started or opened and starts
// nothing. Starting a program succeeds only when canStart is set, opening an
// address unless canOpen is cleared.
class RecordingLauncher : public Launcher {
public:
    QList<QUrl> opened;
    QStringList started;
    QList<QStringList> arguments;
    QStringList workingFolders;
    bool canStart = false;
    bool canOpen = true;

    using Launcher::startProgram;
    bool startProgram(const QString &program, const QStringList &programArguments,
                      const QString &workingFolder) override
    {
        started.append(program);
        arguments.append(programArguments);
        workingFolders.append(workingFolder);
        return canStart;
    }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return canOpen;
    }
};
