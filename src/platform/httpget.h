#pragma once

#include "platform/httpresponse.h"

#include <QEventLoop>
#include <QSslSocket>
#include <QUrl>
#include <functional>

// One GET of an http:// or https:// address over a connection of its own, the
// answer read and checked by HttpResponse. An https connection checks the
// server's certificate against the system's authorities, as a browser does.
// The connection goes through the application's proxy, if one is set, as any
// socket's does.
class HttpGet {
public:
    struct Outcome {
        bool ok = false; // the whole body arrived, or a redirect did
        QUrl redirect;   // where the server sends us instead, when it does
        QString error;   // why not, when not ok; empty when the sink stopped it
    };
    // received and total bytes of the body; total is -1 while unknown.
    using Progress = std::function<void(qint64 received, qint64 total)>;

    HttpGet(const QUrl &url, HttpResponse::BodySink sink, Progress progress);

    // Sends the request and reads the answer in a local event loop; returns
    // once it is complete, has failed or was aborted.
    Outcome run();
    // Stops a running get, which then fails.
    void abort();

    // "服务器回答 404 Not Found": a status other than success, for the user.
    static QString statusText(int status, const QString &reason);

private:
    void readAnswer();
    void done(const QString &error);

    QUrl m_url;
    HttpResponse m_response;
    Progress m_progress;
    QSslSocket m_socket;
    QEventLoop m_loop;
    Outcome m_outcome;
    bool m_finished = false;
};
