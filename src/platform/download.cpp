#include "platform/download.h"

#include "platform/safefile.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

#include <unistd.h>

namespace {

// An address as typed: a full URL, or a host name or local path as a
// browser's address bar would take it.
QUrl urlOf(const QString &address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return {};
    return QUrl::fromUserInput(trimmed);
}

bool isHttp(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Moves everything the reply holds into the file; false when a write fails.
bool drain(QNetworkReply &reply, QSaveFile &file)
{
    constexpr qint64 kChunk = 64 * 1024;
    while (reply.bytesAvailable() > 0) {
        const QByteArray chunk = reply.read(kChunk);
        if (chunk.isEmpty())
            break;
        if (file.write(chunk) != chunk.size())
            return false;
    }
    return true;
}

bool succeeded(const QNetworkReply &reply)
{
    if (reply.error() != QNetworkReply::NoError)
        return false;
    if (isHttp(reply.url())) {
        // Redirects were followed; whatever status is left must be a success.
        const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid())
            return false;
        const int code = status.toInt();
        return code >= 200 && code < 300;
    }
    return true;
}

} // namespace

bool DownloadToFile(const QString &address, const QString &target, DownloadProgress *progress)
{
    const QUrl url = urlOf(address);
    if (!url.isValid() || url.scheme().isEmpty())
        return false;

    SafeFile::ignoreFileSizeSignal();
    // The bytes go to a temporary file beside the target that replaces it
    // only once everything has arrived and is on disk.
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = manager.get(request); // owned by the manager

    QEventLoop loop;
    bool finished = false;
    bool writeFailed = false;
    bool cancelled = false;

    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (writeFailed || cancelled)
            return;
        if (!drain(*reply, file)) {
            writeFailed = true;
            reply->abort();
        }
    });
    if (progress) {
        QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                         [&](qint64 received, qint64 total) {
                             if (!finished)
                                 progress->advance(received, total);
                         });
    }
    QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });

    if (progress) {
        progress->begin(address, [&] {
            if (finished || cancelled)
                return;
            cancelled = true;
            reply->abort();
        });
    }
    if (!finished)
        loop.exec();
    if (progress)
        progress->end();

    const bool ok = !cancelled && !writeFailed && succeeded(*reply) && drain(*reply, file) &&
                    file.flush() && ::fsync(file.handle()) == 0;
    if (!ok) {
        SafeFile::discard(file);
        return false;
    }
    return file.commit();
}
