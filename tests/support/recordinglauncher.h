#pragma once

#include "platform/launcher.h"

#include <QList>
#include <QUrl>

// A launcher that records what would have been opened and starts nothing.
class RecordingLauncher : public Launcher {
public:
    QList<QUrl> opened;
    bool startProgram(const QString &, const QString &) override { return false; }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
};
