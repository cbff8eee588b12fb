#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

// Reads the answer to one HTTP/1.1 GET from the bytes of its connection, in
// pieces as they arrive, and checks how it is framed: the status line, the
// header lines, and the body's end as Content-Length or the chunked transfer
// coding marks it (hexadecimal sizes, CR LF after every chunk, the last chunk
// of size 0 and the trailer lines). Anything else is a malformed answer, and a
// body that the connection's end cuts short is an incomplete one; both fail
// with the reason in words for the user. Interim 1xx answers are skipped.
// Bytes after a complete answer are no part of it and are ignored: the
// request asks the server to close the connection, and the framing alone says
// where the body ends.
class HttpResponse {
public:
    // Takes each piece of the body as it is read; false stops the reading,
    // and the answer fails with the reason the sink keeps for itself.
    using BodySink = std::function<bool(QByteArrayView)>;

    explicit HttpResponse(BodySink sink);

    // Reads the next bytes of the connection; false once the answer failed.
    bool feed(QByteArrayView bytes);
    // The server closed the connection: true when that completes the answer
    // (a body that runs to the end of the connection) or it was complete.
    bool finish();

    bool failed() const { return m_state == State::Failed; }
    bool isComplete() const { return m_state == State::Complete; }
    // The status and the headers of the final answer are known.
    bool headComplete() const { return m_headComplete; }
    // Why the answer failed; empty when the sink stopped it, or it did not.
    QString error() const { return m_error; }

    int status() const { return m_status; }
    QByteArray reasonPhrase() const { return m_reason; }
    // The value of the first header of that name (any case); empty if none.
    QByteArray header(QByteArrayView name) const;
    // The announced length of the body; -1 when the answer has none.
    qint64 contentLength() const { return m_contentLength; }
    qint64 bodyReceived() const { return m_received; }

private:
    enum class State {
        StatusLine,
        Header,
        Body, // m_remaining more bytes
        BodyUntilClose,
        ChunkSize,
        ChunkData, // m_remaining more bytes of the chunk
        ChunkEnd,  // the CR LF after a chunk
        Trailer,
        Complete,
        Failed,
    };

    void line(QByteArrayView text, bool crlf);
    void statusLine(QByteArrayView text);
    void headerLine(QByteArrayView text);
    void chunkSizeLine(QByteArrayView text);
    void startBody();
    bool deliver(QByteArrayView bytes);
    bool isLineState() const;
    void fail(const QString &why);

    BodySink m_sink;
    State m_state = State::StatusLine;
    QByteArray m_pending; // bytes of a line not yet ended
    qsizetype m_headSize = 0;
    bool m_headComplete = false;
    QString m_error;

    int m_status = 0;
    QByteArray m_reason;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    qint64 m_contentLength = -1;
    qint64 m_remaining = 0;
    qint64 m_chunkSize = 0;
    qint64 m_received = 0;
};
