#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// What a running download shows the user. The download calls begin once,
// advance as bytes arrive and end once when it is over, whatever the
// outcome. Calling the cancel function given to begin stops the download,
// which then fails.
class DownloadProgress {
public:
    virtual ~DownloadProgress() = default;

    virtual void begin(const QString &address, std::function<void()> cancel) = 0;
    // total is -1 while the size is unknown.
    virtual void advance(qint64 received, qint64 total) = 0;
    virtual void end() = 0;
};

// Fetches the resource at address (http, https or file; redirects are
// followed unless they lead from https to http) into the local file target,
// and returns only when it is done. True exactly when the whole resource
// arrived and was written: a bad address, a server error, a cancelled
// download or a target that cannot be written give false, and then target is
// left as it was, an older file included. A transfer that breaks off, or a
// body shorter than its announced length, is a failure too. progress, when
// given, is kept informed; reason, when given, is set on failure to why, in
// words for the user.
bool DownloadToFile(const QString &address, const QString &target,
                    DownloadProgress *progress = nullptr, QString *reason = nullptr);
