#include "platform/download.h"

#include "platform/safefile.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

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

// A page's source is held in memory until it is complete; more than this is
// no page.
constexpr qint64 kLargest = qint64(1) << 30;

// Moves everything the reply holds into bytes; false when it grows too large.
bool drain(QNetworkReply &reply, QByteArray &bytes)
{
    constexpr qint64 kChunk = 64 * 1024;
    while (reply.bytesAvailable() > 0) {
        const QByteArray chunk = reply.read(kChunk);
        if (chunk.isEmpty())
            break;
        if (bytes.size() + chunk.size() > kLargest)
            return false;
        bytes += chunk;
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

    // A target that cannot be there is not worth fetching for.
    if (!QFileInfo(QFileInfo(target).path()).isDir())
        return false;
    // The target is replaced only once everything has arrived, and then as
    // every file is saved: a download that fails or is killed leaves the
    // older file as it was and nothing beside it.
    QByteArray bytes;

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
        if (!drain(*reply, bytes)) {
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

    const bool ok = !cancelled && !writeFailed && succeeded(*reply) && drain(*reply, bytes);
    return ok && SafeFile::write(target, bytes).ok;
}
