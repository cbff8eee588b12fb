// Downloads from a local server: a 100 MB page, framed by its length and
// chunked, beside the floors of reading the same bytes from the socket and of
// saving them; and
// the memory a refused body of more than 1 GB takes while it arrives and
// leaves in use after, beside the body's size.
#include "platform/download.h"
#include "platform/safefile.h"
#include "support/benchmain.h"
#include "support/procstatus.h"

#include <QFile>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {

constexpr qint64 kPiece = 1 << 20;
constexpr qint64 kPage = 100 * kPiece;
constexpr qint64 kOversized = 1100 * kPiece; // past the 1 GB a page may have

// Answers every request with a body of the size asked for, made as the
// connection takes it, so that the server holds a few pieces at most.
class BodyServer {
public:
    qint64 size = kPage;
    bool chunked = false;

    BodyServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto *sent = new qint64(-1); // -1 until the request has come
            QObject::connect(socket, &QObject::destroyed, [sent] { delete sent; });
            const auto more = [this, socket, sent] {
                while (*sent >= 0 && *sent < size && socket->bytesToWrite() < 4 * kPiece) {
                    const qint64 count = qMin(kPiece, size - *sent);
                    const QByteArray piece(count, 'x');
                    if (chunked)
                        socket->write(QByteArray::number(count, 16) + "\r\n" + piece + "\r\n");
                    else
                        socket->write(piece);
                    *sent += count;
                    if (*sent == size) {
                        if (chunked)
                            socket->write("0\r\n\r\n");
                        socket->disconnectFromHost();
                    }
                }
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, sent, more] {
                if (*sent >= 0 || !socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write(chunked ? QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked"
                                                   "\r\n\r\n")
                                      : "HTTP/1.1 200 OK\r\nContent-Length: " +
                                            QByteArray::number(size) + "\r\n\r\n");
                *sent = 0;
                more();
            });
        }
    }

    QTcpServer m_server;
};

BodyServer &server()
{
    static BodyServer instance;
    return instance;
}

QString target()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("yuancode.txt"));
}

// The process's resident size and its peak since the last reset, in bytes.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void download(benchmark::State &state, bool chunked)
{
    server().size = kPage;
    server().chunked = chunked;
    for (auto _ : state) {
        if (!DownloadToFile(server().url(), target()))
            state.SkipWithError("the download failed");
    }
    state.SetBytesProcessed(state.iterations() * kPage);
}

void BM_DownloadByLength(benchmark::State &state)
{
    download(state, false);
}
BENCHMARK(BM_DownloadByLength)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DownloadChunked(benchmark::State &state)
{
    download(state, true);
}
BENCHMARK(BM_DownloadChunked)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same request and bytes, read from the socket and dropped.
void BM_SocketFloor(benchmark::State &state)
{
    server().size = kPage;
    server().chunked = false;
    for (auto _ : state) {
        QTcpSocket socket;
        QEventLoop loop;
        qint64 received = 0;
        QObject::connect(&socket, &QTcpSocket::connected, &socket,
                         [&] { socket.write("GET / HTTP/1.1\r\nHost: x\r\n\r\n"); });
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] {
            while (socket.bytesAvailable() > 0)
                received += socket.read(64 * 1024).size();
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        socket.connectToHost(QHostAddress::LocalHost, server().port());
        loop.exec();
        if (received < kPage)
            state.SkipWithError("the floor read too little");
    }
    state.SetBytesProcessed(state.iterations() * kPage);
}
BENCHMARK(BM_SocketFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The other floor: saving the page's bytes as the download does at its end.
void BM_SaveFloor(benchmark::State &state)
{
    const QByteArray page(kPage, 'x');
    for (auto _ : state) {
        if (!SafeFile::write(target(), page).ok)
            state.SkipWithError("the save failed");
    }
    state.SetBytesProcessed(state.iterations() * kPage);
}
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// Memory while a body past the limit arrives and is refused, and after.
void refused(benchmark::State &state, bool chunked)
{
    server().size = kOversized;
    server().chunked = chunked;
    for (auto _ : state) {
        const qint64 before = statusField("VmRSS:");
        resetPeak();
        QString why;
        if (DownloadToFile(server().url(), target(), nullptr, &why))
            state.SkipWithError("the oversized body was taken");
        state.SetLabel(why.toStdString());
        const double size = double(kOversized);
        state.counters["peak_growth_of_body"] = double(statusField("VmHWM:") - before) / size;
        state.counters["kept_of_body"] = double(statusField("VmRSS:") - before) / size;
        state.counters["peak_growth_MB"] = double(statusField("VmHWM:") - before) / (1 << 20);
        state.counters["kept_MB"] = double(statusField("VmRSS:") - before) / (1 << 20);
    }
}

void BM_RefusedOversizedByLength(benchmark::State &state)
{
    refused(state, false);
}
BENCHMARK(BM_RefusedOversizedByLength)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_RefusedOversizedChunked(benchmark::State &state)
{
    refused(state, true);
}
BENCHMARK(BM_RefusedOversizedChunked)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    // Only the local server is ever asked, never through a proxy.
    return runBenchmarks(argc, argv,
                         [] { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); });
}
