#include "platform/httpget.h"

namespace {

constexpr qint64 kReadSize = 64 * 1024;

// The request line and headers for url. The request asks for the body as it
// is stored (no compression to undo) and for the connection to be closed
// after the answer.
QByteArray requestFor(const QUrl &url)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray request =
        "GET " + target + " HTTP/1.1\r\nHost: " +
        url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() + "\r\n";
    if (!url.userName().isEmpty()) {
        const QString credentials = url.userName() + u':' + url.password();
        request += "Authorization: Basic " + credentials.toUtf8().toBase64() + "\r\n";
    }
    request += "Accept: */*\r\nAccept-Encoding: identity\r\n"
               "User-Agent: Mozilla/5.0 (compatible; ZelmoHTML)\r\nConnection: close\r\n\r\n";
    return request;
}

QString socketError(const QSslSocket &socket)
{
    switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("服务器拒绝连接");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("找不到这个服务器");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("连接超时");
    case QAbstractSocket::SslHandshakeFailedError: {
        const QList<QSslError> errors = socket.sslHandshakeErrors();
        return QStringLiteral("安全连接（HTTPS）失败") +
               (errors.isEmpty() ? QString() : u'：' + errors.first().errorString());
    }
    default:
        return socket.errorString();
    }
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

HttpGet::HttpGet(const QUrl &url, HttpResponse::BodySink sink, Progress progress)
    : m_url(url)
    , m_response(std::move(sink))
    , m_progress(std::move(progress))
{}

QString HttpGet::statusText(int status, const QString &reason)
{
    return QStringLiteral("服务器回答 %1 %2").arg(status).arg(reason).trimmed();
}

HttpGet::Outcome HttpGet::run()
{
    const bool secure = m_url.scheme().compare(u"https", Qt::CaseInsensitive) == 0;
    QObject::connect(&m_socket, secure ? &QSslSocket::encrypted : &QTcpSocket::connected, &m_loop,
                     [this] { m_socket.write(requestFor(m_url)); });
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_loop, [this] { readAnswer(); });
    const auto closed = [this] {
        readAnswer();
        if (!m_finished) {
            m_response.finish();
            m_outcome.ok = m_response.isComplete();
            done(m_response.error());
        }
    };
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_loop, closed);
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, &m_loop,
                     [this, closed](QAbstractSocket::SocketError error) {
                         // What came before the error may complete the answer.
                         readAnswer();
                         if (error == QAbstractSocket::RemoteHostClosedError)
                             closed();
                         else
                             done(socketError(m_socket));
                     });
    if (secure)
        m_socket.connectToHostEncrypted(m_url.host(), quint16(m_url.port(443)));
    else
        m_socket.connectToHost(m_url.host(), quint16(m_url.port(80)));
    if (!m_finished)
        m_loop.exec();
    return m_outcome;
}

void HttpGet::abort()
{
    done(QStringLiteral("已取消"));
}

void HttpGet::done(const QString &error)
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_outcome.ok)
        m_outcome.error = error;
    m_socket.abort();
    m_loop.quit();
}

void HttpGet::readAnswer()
{
    bool statusSeen = m_response.headComplete();
    while (!m_finished && m_socket.bytesAvailable() > 0) {
        const QByteArray bytes = m_socket.read(kReadSize);
        if (bytes.isEmpty())
            break;
        m_response.feed(bytes);
        if (m_response.headComplete() && !statusSeen) {
            statusSeen = true;
            const int status = m_response.status();
            if (status < 200 || status >= 300) {
                // Neither a redirect's body nor an error page is wanted.
                const QByteArray location = m_response.header("Location");
                if (isRedirect(status) && !location.isEmpty()) {
                    m_outcome.ok = true;
                    m_outcome.redirect = m_url.resolved(QUrl::fromEncoded(location));
                }
                done(statusText(status, QString::fromLatin1(m_response.reasonPhrase())));
                return;
            }
        }
        if (m_response.failed()) {
            done(m_response.error());
            return;
        }
        if (m_progress && statusSeen)
            m_progress(m_response.bodyReceived(), m_response.contentLength());
        // The progress may have aborted the get.
        if (m_finished)
            return;
        if (m_response.isComplete()) {
            m_outcome.ok = true;
            done({});
            return;
        }
    }
}
