#include "platform/download.h"

#include "platform/safefile.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <malloc.h>

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

QString transferError(const QNetworkReply &reply)
{
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("服务器拒绝连接");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("服务器中途断开了连接，内容不完整");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到这个服务器");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("连接超时");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接（HTTPS）失败");
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("转向次数太多");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("从 HTTPS 转向了不安全的 HTTP");
    case QNetworkReply::ContentNotFoundError:
        if (!isHttp(reply.url()))
            return QStringLiteral("没有这个文件");
        break;
    default:
        break;
    }
    return reply.errorString();
}

// Why the reply is no whole resource; "" when it is one.
QString failureOf(const QNetworkReply &reply, qint64 received)
{
    if (isHttp(reply.url())) {
        // Redirects were followed; whatever status is left must be a success.
        const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const int code = status.toInt();
        if (status.isValid() && (code < 200 || code >= 300)) {
            return QStringLiteral("服务器回答 %1 %2")
                .arg(code)
                .arg(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                .trimmed();
        }
    }
    if (reply.error() != QNetworkReply::NoError)
        return transferError(reply);
    if (!isHttp(reply.url()))
        return {};
    if (!reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return QStringLiteral("服务器没有回答");
    // A body as sent (not unpacked by the transfer) has the length announced.
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && reply.rawHeader("Content-Encoding").isEmpty() &&
        length.toLongLong() != received) {
        return QStringLiteral("内容不完整：收到 %1 字节，应有 %2 字节")
            .arg(received)
            .arg(length.toLongLong());
    }
    return {};
}

} // namespace

bool DownloadToFile(const QString &address, const QString &target, DownloadProgress *progress,
                    QString *reason)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QUrl url = urlOf(address);
    if (!url.isValid() || url.scheme().isEmpty())
        return fail(QStringLiteral("地址无效"));

    // A target that cannot be there is not worth fetching for.
    if (!QFileInfo(QFileInfo(target).path()).isDir())
        return fail(QStringLiteral("不能写入 ") + target);
    // A refused body leaves its pages with the allocator, whose heap keeps
    // them; they go back to the system once everything is freed.
    struct TrimOnExit {
        bool wanted = false;
        ~TrimOnExit()
        {
            if (wanted)
                ::malloc_trim(0);
        }
    } trim;
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

    if (cancelled)
        return fail(QStringLiteral("已取消"));
    if (writeFailed || !drain(*reply, bytes)) {
        trim.wanted = true;
        return fail(QStringLiteral("内容超过 1 GB，不像是网页"));
    }
    if (const QString failure = failureOf(*reply, bytes.size()); !failure.isEmpty())
        return fail(failure);
    const SafeFile::Result written = SafeFile::write(target, bytes);
    if (!written.ok)
        return fail(written.error);
    return true;
}
