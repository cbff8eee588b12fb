#include "platform/download.h"
#include "platform/downloadprogressdialog.h"
#include "platform/httpresponse.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QNetworkProxy>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <optional>

namespace {

// A small HTTP/1.1 server on 127.0.0.1, served from the test's own event
// loop (the download runs a local loop, so requests are answered meanwhile).
class LocalHttpServer {
public:
    struct Route {
        int status = 200;
        QByteArray body;
        QByteArray location;  // sends a redirect when not empty
        bool endless = false; // announces a large body and trickles it out
        QByteArray raw;       // sent as the whole answer when not empty
    };

    // Serves https with the certificate and key of tls when given.
    bool listen(const QSslConfiguration *tls = nullptr)
    {
        if (tls) {
            auto *server = new QSslServer;
            server->setSslConfiguration(*tls);
            m_server.reset(server);
        }
        QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, m_server.get(),
                         [this] { accept(); });
        return m_server->listen(QHostAddress::LocalHost, 0);
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(qobject_cast<QSslServer *>(m_server.get()) ? "https" : "http")
            .arg(m_server->serverPort())
            .arg(path);
    }

    void route(const QByteArray &path, Route route) { m_routes.insert(path, std::move(route)); }

    int requestCount() const { return m_requests; }
    bool isListening() const { return m_server->isListening(); }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto *request = new QByteArray;
            QObject::connect(socket, &QObject::destroyed, [request] { delete request; });
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                request->append(socket->readAll());
                const qsizetype end = request->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QList<QByteArray> line = request->left(request->indexOf("\r\n")).split(' ');
                request->clear();
                ++m_requests;
                answer(socket, line.size() >= 2 ? line.at(1) : QByteArray());
            });
        }
    }

    static QByteArray reason(int status)
    {
        switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        default:
            return "Status";
        }
    }

    void answer(QTcpSocket *socket, const QByteArray &path)
    {
        const Route route = m_routes.value(path, Route{404, "no such page", {}, false, {}});
        if (!route.raw.isEmpty()) {
            socket->write(route.raw);
            socket->disconnectFromHost();
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' +
                          reason(route.status) + "\r\nConnection: close\r\n";
        if (!route.location.isEmpty())
            head += "Location: " + route.location + "\r\n";
        if (route.endless) {
            head += "Content-Length: 100000000\r\n\r\n";
            socket->write(head);
            auto *trickle = new QTimer(socket);
            // Gives up after a few seconds so that a test that fails to
            // cancel ends anyway, with a short body.
            QObject::connect(trickle, &QTimer::timeout, socket, [socket, trickle] {
                socket->write(QByteArray(1000, 'x'));
                if (trickle->property("sent").toInt() > 1000)
                    socket->disconnectFromHost();
                trickle->setProperty("sent", trickle->property("sent").toInt() + 1);
            });
            trickle->start(5);
            return;
        }
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n\r\n";
        socket->write(head + route.body);
        socket->disconnectFromHost();
    }

    std::unique_ptr<QTcpServer> m_server = std::make_unique<QTcpServer>();
    QHash<QByteArray, Route> m_routes;
    int m_requests = 0;
};

// Records what the download reports and cancels once enough has arrived.
class RecordingProgress : public DownloadProgress {
public:
    qint64 cancelAfter = -1; // bytes; -1 never
    int begun = 0;
    int ended = 0;
    QString address;
    qint64 lastReceived = 0;

    void begin(const QString &shownAddress, std::function<void()> cancelDownload) override
    {
        ++begun;
        address = shownAddress;
        cancel = std::move(cancelDownload);
    }
    void advance(qint64 received, qint64) override
    {
        lastReceived = received;
        if (cancelAfter >= 0 && received >= cancelAfter)
            cancel();
    }
    void end() override { ++ended; }

private:
    std::function<void()> cancel;
};

const QByteArray kOld = "older source\r\n";

} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void download_data();
    void download();
    void rawAnswer_data();
    void rawAnswer();
    void unwritableTargetFailsWithoutFetching();
    void cancelMidwayKeepsOlderFile();
    void progressFollowsTheBytes();
    void dialogCancelButtonStopsDownload();

private:
    void listenSecurely();
    QString target() const { return m_dir.filePath(QStringLiteral("yuancode.txt")); }
    QStringList leftovers() const
    {
        QStringList names = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeOne(QStringLiteral("yuancode.txt"));
        names.removeOne(QStringLiteral("local.htm"));
        return names;
    }

    LocalHttpServer m_server;
    LocalHttpServer m_secure; // these two listen only when certificates could be made
    LocalHttpServer m_untrusted;
    QTemporaryDir m_dir;
    QByteArray m_page;
};

namespace {

// A key and a self-signed certificate for 127.0.0.1, for an https server;
// nothing without TLS or without openssl to make them.
std::optional<QSslConfiguration> serverTls()
{
    const QTemporaryDir folder;
    const QString key = folder.filePath(QStringLiteral("key.pem"));
    const QString certificate = folder.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key,
                   "-out", certificate});
    if (!QSslSocket::supportsSsl() || !openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return {};
    QFile keyFile(key);
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(certificate);
    if (!keyFile.open(QIODevice::ReadOnly) || chain.size() != 1)
        return {};
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(chain.first());
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa));
    return tls;
}

} // namespace

// An https server beside the http one, with a certificate that this process
// alone trusts, and one whose certificate nobody trusts.
void TestDownload::listenSecurely()
{
    const std::optional<QSslConfiguration> trusted = serverTls();
    const std::optional<QSslConfiguration> untrusted = serverTls();
    if (!trusted || !untrusted) {
        qWarning("https is not tested: no TLS, or no openssl to make a certificate");
        return;
    }
    QVERIFY(m_secure.listen(&*trusted));
    QVERIFY(m_untrusted.listen(&*untrusted));
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.addCaCertificate(trusted->localCertificate());
    QSslConfiguration::setDefaultConfiguration(trusting);
}

void TestDownload::initTestCase()
{
    // Only the local server is ever asked, never through a proxy.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY(m_server.listen());
    QVERIFY(m_dir.isValid());
    listenSecurely();

    // GBK bytes, a NUL and both line-break kinds: kept exactly as sent.
    m_page = QByteArray("<html>\xc4\xe3\xba\xc3\r\n<p>\0x</p>\n</html>", 30);
    m_server.route("/page", {200, m_page, {}, false, {}});
    m_server.route("/moved", {302, "moved", "/page", false, {}});
    m_server.route("/moved-absolute", {302, "", m_server.url("/page").toLatin1(), false, {}});
    m_server.route("/loop", {302, "", "/loop", false, {}});
    m_server.route("/empty", {200, "", {}, false, {}});
    m_server.route("/slow", {200, {}, {}, true, {}});
    m_server.route("/error", {500, "server error page", {}, false, {}});
    m_server.route("/short",
                   {200, {}, {}, false, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhello"});
}

void TestDownload::init()
{
    writeBytes(target(), kOld);
}

void TestDownload::download_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("reason");

    const QString localPage = m_dir.filePath(QStringLiteral("local.htm"));
    writeBytes(localPage, m_page);

    QTest::newRow("page") << m_server.url("/page") << true << m_page << QString();
    QTest::newRow("relative redirect") << m_server.url("/moved") << true << m_page << QString();
    QTest::newRow("absolute redirect")
        << m_server.url("/moved-absolute") << true << m_page << QString();
    QTest::newRow("empty body") << m_server.url("/empty") << true << QByteArray() << QString();
    QTest::newRow("address with blanks")
        << "  " + m_server.url("/page") + " " << true << m_page << QString();
    QTest::newRow("file address") << QUrl::fromLocalFile(localPage).toString() << true << m_page
                                  << QString();
    QTest::newRow("404 keeps older file")
        << m_server.url("/missing") << false << kOld << "服务器回答 404 Not Found";
    QTest::newRow("500 keeps older file")
        << m_server.url("/error") << false << kOld << "服务器回答 500 Status";
    QTest::newRow("redirect loop") << m_server.url("/loop") << false << kOld << QString();
    QTest::newRow("empty address") << "" << false << kOld << "地址无效";
    QTest::newRow("missing local file")
        << QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("nothing.htm"))).toString() << false
        << kOld << QString();
    QTest::newRow("folder address")
        << QUrl::fromLocalFile(m_dir.path()).toString() << false << kOld << QString();
    QTest::newRow("closed port") << QStringLiteral("http://127.0.0.1:1/") << false << kOld
                                 << "服务器拒绝连接";
    QTest::newRow("body shorter than announced") << m_server.url("/short") << false << kOld
                                                 << QString(); // the transfer or the length says so
}

void TestDownload::download()
{
    QFETCH(QString, address);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);
    QFETCH(QString, reason);

    QString why;
    QCOMPARE(DownloadToFile(address, target(), nullptr, &why), ok);
    // Every failure says why.
    QCOMPARE(why.isEmpty(), ok);
    if (!reason.isEmpty())
        QCOMPARE(why, reason);
    QCOMPARE(readBytes(target()), expected);
    QCOMPARE(leftovers(), QStringList());
}

void TestDownload::rawAnswer_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("answer");   // sent as it stands, then the connection is closed
    QTest::addColumn<QByteArray>("expected"); // the body, when the answer is whole
    QTest::addColumn<QString>("reason");      // a part of why it failed; empty when it is whole

    // Each answer is served at /raw/<its row>, over http and https.
    int rows = 0;
    const auto row = [this, &rows](const char *tag, const QByteArray &answer,
                                   const QByteArray &expected, const QString &reason) {
        const QByteArray path = "/raw/" + QByteArray::number(rows++);
        for (LocalHttpServer *server : {&m_server, &m_secure}) {
            server->route(path, {200, {}, {}, false, answer});
            const QString address = server->url(QString::fromLatin1(path));
            if (server->isListening())
                QTest::addRow("%s %s", qPrintable(address.section(u':', 0, 0)), tag)
                    << address << answer << expected << reason;
        }
    };
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray head5 = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
    row("chunked",
        chunked + "5\r\nhello\r\n6;x=1\r\n world\r\nA\r\n, 10 bytes\r\n0\r\nX-T: 1\r\n\r\n",
        "hello world, 10 bytes", {});
    row("interim answer, then a body to the end",
        "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.0 200 OK\r\n\r\nhello", "hello", {});
    row("bytes after the announced length", head5 + "hello, and more", "hello", {});
    row("chunk size not hex", chunked + "5\r\nhello\r\nzz\r\n world\r\n0\r\n\r\n", {}, "十六进制");
    row("no CR LF after a chunk", chunked + "5\r\nhelloX6\r\n world\r\n0\r\n\r\n", {}, "CR LF");
    row("LF only after a chunk", chunked + "5\r\nhello\n0\r\n\r\n", {}, "CR LF");
    row("cut inside a chunk", chunked + "a\r\nhello", {}, "一个分块只收到 5 字节，应有 10 字节");
    row("no last chunk", chunked + "5\r\nhello\r\n", {}, "最后的空块");
    row("no end of trailers", chunked + "5\r\nhello\r\n0\r\nX-T: 1\r\n", {}, "不完整");
    row("unknown transfer coding",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n", {}, "传输编码");
    row("body shorter than its length", head5 + "hel", {}, "收到 3 字节，应有 5 字节");
    row("two different lengths",
        "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello", {}, "内容长度");
    row("length not a number", "HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n\r\nhello", {},
        "内容长度");
    row("length past 1 GB", "HTTP/1.1 200 OK\r\nContent-Length: 2000000000\r\n\r\nhello", {},
        "超过 1 GB");
    row("closed inside the head", "HTTP/1.1 200 OK\r\nContent-Le", {}, "回答不完整");
    row("no status line", "hello\r\n\r\n", {}, "状态行");
    row("status without a reason", "HTTP/1.1 200\r\nContent-Length: 5\r\n\r\nhello", "hello", {});
    row("head lines ending in LF alone", "HTTP/1.0 200 OK\nContent-Length: 5\n\nhello", "hello",
        {});
    row("a lone CR inside a header", "HTTP/1.1 200 OK\r\nX: a\rContent-Length: 5\r\n\r\nhello", {},
        "单独的 CR");
    row("header line without a colon", "HTTP/1.1 200 OK\r\nContent-Length 5\r\n\r\nhello", {},
        "头部行");
    row("redirect to a broken body",
        "HTTP/1.1 302 Found\r\nLocation: /raw/3\r\nContent-Length: 0\r\n\r\n", {}, "十六进制");
    row("redirect to a local file", "HTTP/1.1 302 Found\r\nLocation: file:///etc/hostname\r\n\r\n",
        {}, "不能下载");
    if (m_secure.isListening()) {
        const QByteArray http = m_server.url(QStringLiteral("/raw/0")).toLatin1();
        const QByteArray answer = "HTTP/1.1 302 Found\r\nLocation: " + http + "\r\n\r\n";
        m_secure.route("/to-http", {200, {}, {}, false, answer});
        QTest::newRow("https redirect to http")
            << m_secure.url(QStringLiteral("/to-http")) << answer << QByteArray() << "不安全";
        m_untrusted.route("/raw/0", {200, {}, {}, false, answer});
        QTest::newRow("https with a certificate nobody trusts")
            << m_untrusted.url(QStringLiteral("/raw/0")) << answer << QByteArray() << "安全连接";
    }
}

void TestDownload::rawAnswer()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, expected);
    QFETCH(QString, reason);

    QString why;
    const bool ok = DownloadToFile(address, target(), nullptr, &why);
    QVERIFY2(ok == reason.isEmpty() && why.contains(reason), qPrintable(why));
    QCOMPARE(readBytes(target()), ok ? expected : kOld);
    QCOMPARE(leftovers(), QStringList());

    // Read a byte at a time, the answer gets the same verdict.
    QByteArray body;
    HttpResponse response([&body](QByteArrayView bytes) {
        body += bytes;
        return true;
    });
    for (const char c : answer)
        response.feed(QByteArrayView(&c, 1));
    if (response.status() != 302)
        response.finish();
    QCOMPARE(response.isComplete() && response.status() == 200, ok);
    if (ok)
        QCOMPARE(body, expected);
}

void TestDownload::unwritableTargetFailsWithoutFetching()
{
    // A folder under a regular file cannot exist, whoever runs the test.
    const QString blocker = m_dir.filePath(QStringLiteral("plain-file"));
    writeBytes(blocker, "x");
    const int before = m_server.requestCount();

    RecordingProgress progress;
    QVERIFY(!DownloadToFile(m_server.url("/page"), blocker + QStringLiteral("/yuancode.txt"),
                            &progress));
    QCOMPARE(m_server.requestCount(), before);
    QCOMPARE(progress.begun, 0);
    QFile::remove(blocker);
}

void TestDownload::cancelMidwayKeepsOlderFile()
{
    RecordingProgress progress;
    progress.cancelAfter = 3000;
    QVERIFY(!DownloadToFile(m_server.url("/slow"), target(), &progress));
    QVERIFY(progress.lastReceived >= 3000);
    QCOMPARE(progress.begun, 1);
    QCOMPARE(progress.ended, 1);
    QCOMPARE(readBytes(target()), kOld);
    QCOMPARE(leftovers(), QStringList());
}

void TestDownload::progressFollowsTheBytes()
{
    RecordingProgress progress;
    const QString address = m_server.url("/page");
    QVERIFY(DownloadToFile(address, target(), &progress));
    QCOMPARE(progress.address, address);
    QCOMPARE(progress.lastReceived, m_page.size());
    QCOMPARE(progress.begun, 1);
    QCOMPARE(progress.ended, 1);
}

void TestDownload::dialogCancelButtonStopsDownload()
{
    DownloadProgressDialog progress;
    QString shownText;
    bool wasModal = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QProgressDialog *dialog = progress.dialog();
        if (!dialog || !dialog->isVisible() || !dialog->labelText().contains(QStringLiteral("1")))
            return;
        shownText = dialog->labelText();
        wasModal = dialog->isModal();
        poll.stop();
        const auto buttons = dialog->findChildren<QPushButton *>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->text(), QStringLiteral("取消"));
        buttons.first()->click();
    });
    poll.start();

    QVERIFY(!DownloadToFile(m_server.url("/slow"), target(), &progress));
    QVERIFY(wasModal);
    QVERIFY2(shownText.contains(QStringLiteral("已接收")), qPrintable(shownText));
    QVERIFY(shownText.contains(m_server.url("/slow")));
    QCOMPARE(progress.dialog(), nullptr);
    QCOMPARE(readBytes(target()), kOld);
}

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
