#include "platform/download.h"

#include "platform/httpget.h"
#include "platform/posixfile.h"
#include "platform/safefile.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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

// More than this is no page.
constexpr qint64 kLargest = qint64(1) << 30;
// As many redirects as a browser follows.
constexpr int kMostRedirects = 20;

// A file in folder that has no name, so that nothing is left of it once it
// is closed, whatever ends the program.
PosixFile::Descriptor unnamedFile(const QByteArray &folder)
{
    PosixFile::Descriptor fd = PosixFile::open(folder, O_TMPFILE | O_RDWR | O_EXCL, 0600);
    if (!fd.isOpen() && errno != EACCES && errno != EROFS) {
        // A file system without unnamed files: a named one, gone at once.
        QByteArray name = folder + "/.yuancode-XXXXXX";
        const int named = ::mkostemp(name.data(), O_CLOEXEC);
        if (named >= 0) {
            ::unlink(name.constData());
            fd = PosixFile::Descriptor(named);
        }
    }
    return fd;
}

// The body as it arrives, in an unnamed file: a large one never sits in
// memory, and a download that fails or is killed leaves nothing behind.
class BodyFile {
public:
    explicit BodyFile(const QString &target)
        : m_target(target)
    {}

    // In the target's folder, or where temporary files go when that folder
    // cannot be written (a writable target in it is still replaced).
    bool open()
    {
        PosixFile::Descriptor fd = unnamedFile(PosixFile::folderOf(QFile::encodeName(m_target)));
        if (!fd.isOpen())
            fd = unnamedFile(QFile::encodeName(QDir::tempPath()));
        if (!fd.isOpen())
            return failed(PosixFile::reason(errno));
        if (!m_file.open(fd.get(), QIODevice::ReadWrite, QFileDevice::AutoCloseHandle))
            return failed(m_file.errorString());
        fd.release();
        return true;
    }

    // False when the announced size is too large; the body is refused then.
    bool fits(qint64 announced)
    {
        if (announced <= kLargest)
            return true;
        m_error = QStringLiteral("内容超过 1 GB，不像是网页");
        return false;
    }

    bool append(QByteArrayView bytes)
    {
        if (!fits(m_size + bytes.size()))
            return false;
        if (m_file.write(bytes.data(), bytes.size()) != bytes.size())
            return failed(m_file.errorString());
        m_size += bytes.size();
        return true;
    }

    // Forgets what arrived (the body of a redirect's answer).
    void clear()
    {
        m_file.flush();
        m_file.resize(0);
        m_file.seek(0);
        m_size = 0;
    }

    qint64 size() const { return m_size; }

    // Everything that arrived; empty with error set when it cannot be read.
    QByteArray bytes()
    {
        if (!m_file.flush() || !m_file.seek(0)) {
            failed(m_file.errorString());
            return {};
        }
        QByteArray all = m_file.read(m_size);
        if (all.size() != m_size)
            failed(m_file.errorString());
        return all;
    }

    // Why the body could not be kept; empty while it can.
    QString error() const { return m_error; }

private:
    bool failed(const QString &why)
    {
        m_error = QStringLiteral("不能写入 %1：%2").arg(m_target, why);
        return false;
    }

    QString m_target;
    QFile m_file;
    qint64 m_size = 0;
    QString m_error;
};

// The running download, as its progress and its cancel see it.
struct Transfer {
    Transfer(BodyFile &file, DownloadProgress *shown)
        : body(file)
        , progress(shown)
    {}

    BodyFile &body;
    DownloadProgress *progress;
    bool cancelled = false;
    bool over = false;
    std::function<void()> abortCurrent;

    void advance(qint64 received, qint64 total)
    {
        // A body announced too large is refused before it arrives.
        if (body.error().isEmpty() && !body.fits(total) && abortCurrent) {
            abortCurrent();
            return;
        }
        if (progress && !over)
            progress->advance(received, total);
    }
};

// Why the reply is no whole file; "" when it is one.
QString failureOf(const QNetworkReply &reply)
{
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return {};
    case QNetworkReply::ContentNotFoundError:
        return QStringLiteral("没有这个文件");
    default:
        return reply.errorString();
    }
}

// Local files and other addresses but http and https, through Qt's network
// access.
QString fetchWithManager(const QUrl &url, Transfer &transfer)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    QNetworkReply *reply = manager.get(request); // owned by the manager

    QEventLoop loop;
    bool finished = false;
    const auto drain = [&] {
        while (reply->bytesAvailable() > 0) {
            const QByteArray chunk = reply->read(64 * 1024);
            if (chunk.isEmpty())
                break;
            if (!transfer.body.append(chunk)) {
                reply->abort();
                return false;
            }
        }
        return true;
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (transfer.body.error().isEmpty())
            drain();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64 total) {
                         if (!finished)
                             transfer.advance(received, total);
                     });
    QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    transfer.abortCurrent = [reply] { reply->abort(); };
    if (!finished)
        loop.exec();
    transfer.abortCurrent = nullptr;
    if (transfer.cancelled || !transfer.body.error().isEmpty() || !drain())
        return {};
    return failureOf(*reply);
}

// Fetches url into the transfer's body: http and https by our own reader,
// which checks how the answer is framed, following redirects up to the limit
// but never from https to http.
QString fetch(QUrl url, Transfer &transfer)
{
    for (int redirects = 0;; ++redirects) {
        if (transfer.cancelled)
            return {};
        if (!isHttp(url))
            return fetchWithManager(url, transfer);
        HttpGet get(
            url, [&transfer](QByteArrayView bytes) { return transfer.body.append(bytes); },
            [&transfer](qint64 received, qint64 total) { transfer.advance(received, total); });
        transfer.abortCurrent = [&get] { get.abort(); };
        const HttpGet::Outcome outcome = get.run();
        transfer.abortCurrent = nullptr;
        if (!outcome.ok || outcome.redirect.isEmpty())
            return outcome.error;
        if (redirects >= kMostRedirects)
            return QStringLiteral("转向次数太多");
        if (!isHttp(outcome.redirect))
            return QStringLiteral("服务器转向了不能下载的地址 ") + outcome.redirect.toString();
        if (url.scheme().toLower() == QLatin1String("https") &&
            outcome.redirect.scheme().toLower() != QLatin1String("https"))
            return QStringLiteral("从 HTTPS 转向了不安全的 HTTP");
        url = outcome.redirect;
        transfer.body.clear();
    }
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
    // The target is replaced only once everything has arrived, and then as
    // every file is saved: a download that fails or is killed leaves the
    // older file as it was and nothing beside it.
    BodyFile body(target);
    if (!body.open())
        return fail(body.error());

    Transfer transfer(body, progress);
    if (progress) {
        progress->begin(address, [&transfer] {
            if (transfer.over || transfer.cancelled)
                return;
            transfer.cancelled = true;
            if (transfer.abortCurrent)
                transfer.abortCurrent();
        });
    }
    const QString failure = fetch(url, transfer);
    transfer.over = true;
    if (progress)
        progress->end();

    if (transfer.cancelled)
        return fail(QStringLiteral("已取消"));
    if (!body.error().isEmpty())
        return fail(body.error());
    if (!failure.isEmpty())
        return fail(failure);
    const QByteArray bytes = body.bytes();
    if (!body.error().isEmpty())
        return fail(body.error());
    const SafeFile::Result written = SafeFile::write(target, bytes);
    if (!written.ok)
        return fail(written.error);
    return true;
}
