#include "platform/httpresponse.h"

#include <algorithm>

namespace {

// No server sends lines or heads this long; a stream that does is no answer.
constexpr qsizetype kLongestLine = 64 * 1024;
constexpr qsizetype kLargestHead = 256 * 1024;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A header name: visible characters other than the separators.
bool isToken(QByteArrayView name)
{
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        if (c <= ' ' || c >= 127 || QByteArrayView("()<>@,;:\\\"/[]?={}").contains(c))
            return false;
    }
    return true;
}

QString malformed(const QString &what)
{
    return QStringLiteral("服务器的回答格式有误：") + what;
}

// The comma-separated items of a header's values, trimmed, empty ones left out.
QList<QByteArray> listItems(const QByteArray &values)
{
    QList<QByteArray> items;
    for (const QByteArray &item : values.split(',')) {
        if (const QByteArray trimmed = item.trimmed(); !trimmed.isEmpty())
            items.append(trimmed);
    }
    return items;
}

} // namespace

HttpResponse::HttpResponse(BodySink sink)
    : m_sink(std::move(sink))
{}

QByteArray HttpResponse::header(QByteArrayView name) const
{
    for (const auto &[key, value] : m_headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool HttpResponse::isLineState() const
{
    return m_state == State::StatusLine || m_state == State::Header ||
           m_state == State::ChunkSize || m_state == State::Trailer;
}

void HttpResponse::fail(const QString &why)
{
    m_state = State::Failed;
    m_error = why;
}

bool HttpResponse::deliver(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return true;
    m_received += bytes.size();
    if (m_sink && !m_sink(bytes)) {
        fail({});
        return false;
    }
    return true;
}

bool HttpResponse::feed(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && m_state != State::Failed && m_state != State::Complete) {
        if (isLineState()) {
            const qsizetype end = bytes.indexOf('\n');
            const qsizetype taken = end < 0 ? bytes.size() : end + 1;
            m_pending.append(bytes.first(end < 0 ? bytes.size() : end));
            bytes = bytes.sliced(taken);
            if (m_state != State::ChunkSize)
                m_headSize += taken;
            if (m_pending.size() > kLongestLine || m_headSize > kLargestHead) {
                fail(malformed(QStringLiteral("头部太长")));
                break;
            }
            if (end < 0)
                break;
            QByteArray text = std::move(m_pending);
            m_pending.clear();
            const bool crlf = text.endsWith('\r');
            if (crlf)
                text.chop(1);
            line(text, crlf);
            continue;
        }
        switch (m_state) {
        case State::Body:
        case State::ChunkData: {
            const qsizetype count = qsizetype(qMin<qint64>(m_remaining, bytes.size()));
            if (!deliver(bytes.first(count)))
                return false;
            bytes = bytes.sliced(count);
            m_remaining -= count;
            if (m_remaining == 0)
                m_state = m_state == State::Body ? State::Complete : State::ChunkEnd;
            break;
        }
        case State::BodyUntilClose:
            if (!deliver(bytes))
                return false;
            bytes = {};
            break;
        case State::ChunkEnd: {
            // CR LF, whose two bytes may come in two reads.
            const qsizetype count = qMin<qsizetype>(2 - m_pending.size(), bytes.size());
            m_pending.append(bytes.first(count));
            bytes = bytes.sliced(count);
            if (m_pending.size() < 2)
                break;
            if (m_pending != "\r\n")
                fail(malformed(QStringLiteral("分块后缺少 CR LF")));
            else
                m_state = State::ChunkSize;
            m_pending.clear();
            break;
        }
        default:
            break;
        }
    }
    return !failed();
}

void HttpResponse::line(QByteArrayView text, bool crlf)
{
    // A bare CR inside a line is no line break, nor anything else.
    if (text.contains('\r')) {
        fail(malformed(QStringLiteral("行中有单独的 CR")));
        return;
    }
    switch (m_state) {
    case State::StatusLine:
        statusLine(text);
        break;
    case State::Header:
        headerLine(text);
        break;
    case State::ChunkSize:
        if (!crlf)
            fail(malformed(QStringLiteral("分块长度后缺少 CR LF")));
        else
            chunkSizeLine(text);
        break;
    case State::Trailer:
        if (!crlf)
            fail(malformed(QStringLiteral("分块结尾缺少 CR LF")));
        else if (text.isEmpty())
            m_state = State::Complete;
        else if (text.indexOf(':') <= 0 || !isToken(text.first(text.indexOf(':'))))
            fail(malformed(QStringLiteral("分块结尾的行无效")));
        break;
    default:
        break;
    }
}

void HttpResponse::statusLine(QByteArrayView text)
{
    // HTTP/1.x, a blank, three digits, and a blank and the reason if any.
    const bool valid = text.size() >= 12 && text.startsWith("HTTP/1.") && isDigit(text[7]) &&
                       text[8] == ' ' && text[9] >= '1' && text[9] <= '5' && isDigit(text[10]) &&
                       isDigit(text[11]) && (text.size() == 12 || text[12] == ' ');
    if (!valid) {
        fail(malformed(QStringLiteral("状态行无效")));
        return;
    }
    m_status = (text[9] - '0') * 100 + (text[10] - '0') * 10 + (text[11] - '0');
    m_reason = text.sliced(12).trimmed().toByteArray();
    m_headers.clear();
    m_state = State::Header;
}

void HttpResponse::headerLine(QByteArrayView text)
{
    if (text.isEmpty()) {
        // Interim answers are followed by the real one.
        if (m_status < 200)
            m_state = State::StatusLine;
        else
            startBody();
        return;
    }
    if (text.front() == ' ' || text.front() == '\t') {
        // An old-style continuation line belongs to the header before it.
        if (m_headers.isEmpty()) {
            fail(malformed(QStringLiteral("头部行无效")));
            return;
        }
        m_headers.last().second += ' ' + text.trimmed().toByteArray();
        return;
    }
    const qsizetype colon = text.indexOf(':');
    if (colon <= 0 || !isToken(text.first(colon))) {
        fail(malformed(QStringLiteral("头部行无效")));
        return;
    }
    m_headers.append(
        {text.first(colon).toByteArray(), text.sliced(colon + 1).trimmed().toByteArray()});
}

void HttpResponse::startBody()
{
    m_headComplete = true;
    if (m_status == 204 || m_status == 304) {
        m_state = State::Complete;
        return;
    }
    QByteArray codings, lengths;
    for (const auto &[key, value] : m_headers) {
        if (key.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0)
            codings += value + ',';
        else if (key.compare("Content-Length", Qt::CaseInsensitive) == 0)
            lengths += value + ',';
    }
    // The transfer coding, when there is one, marks the body's end whatever
    // length is announced beside it.
    if (!codings.isEmpty()) {
        const QList<QByteArray> items = listItems(codings);
        if (items.size() != 1 || items.first().compare("chunked", Qt::CaseInsensitive) != 0) {
            fail(malformed(QStringLiteral("不支持的传输编码 ") +
                           QString::fromLatin1(codings.chopped(1))));
            return;
        }
        m_state = State::ChunkSize;
        return;
    }
    if (lengths.isEmpty()) {
        m_state = State::BodyUntilClose;
        return;
    }
    // The same length may be repeated, but only the same.
    const QList<QByteArray> items = listItems(lengths);
    bool valid = !items.isEmpty() && items.first().size() <= 18;
    for (const QByteArray &item : items)
        valid = valid && item == items.first() && std::all_of(item.begin(), item.end(), isDigit);
    if (!valid) {
        fail(malformed(QStringLiteral("内容长度无效")));
        return;
    }
    m_contentLength = items.first().toLongLong();
    m_remaining = m_contentLength;
    m_state = m_remaining == 0 ? State::Complete : State::Body;
}

void HttpResponse::chunkSizeLine(QByteArrayView text)
{
    qint64 size = 0;
    qsizetype digits = 0;
    for (; digits < text.size() && hexValue(text[digits]) >= 0; ++digits) {
        if (size >= (qint64(1) << 58)) {
            fail(malformed(QStringLiteral("分块长度太大")));
            return;
        }
        size = size * 16 + hexValue(text[digits]);
    }
    // Extensions after a semicolon carry nothing for us.
    const QByteArrayView rest = text.sliced(digits).trimmed();
    if (digits == 0 || (!rest.isEmpty() && rest.front() != ';')) {
        fail(malformed(QStringLiteral("分块长度不是十六进制数")));
        return;
    }
    if (size == 0) {
        m_state = State::Trailer;
        return;
    }
    m_chunkSize = size;
    m_remaining = size;
    m_state = State::ChunkData;
}

bool HttpResponse::finish()
{
    switch (m_state) {
    case State::Complete:
        return true;
    case State::BodyUntilClose:
        m_state = State::Complete;
        return true;
    case State::Failed:
        return false;
    case State::StatusLine:
        fail(m_headSize == 0 ? QStringLiteral("服务器没有回答")
                             : QStringLiteral("服务器的回答不完整"));
        return false;
    case State::Header:
        fail(QStringLiteral("服务器的回答不完整"));
        return false;
    case State::Body:
        fail(QStringLiteral("内容不完整：收到 %1 字节，应有 %2 字节")
                 .arg(m_received)
                 .arg(m_contentLength));
        return false;
    case State::ChunkSize:
        if (m_pending.isEmpty()) {
            fail(QStringLiteral("内容不完整：分块传送缺少最后的空块"));
            return false;
        }
        break;
    case State::Trailer:
        fail(QStringLiteral("内容不完整：分块传送的结尾缺少空行"));
        return false;
    case State::ChunkData:
        fail(QStringLiteral("内容不完整：一个分块只收到 %1 字节，应有 %2 字节")
                 .arg(m_chunkSize - m_remaining)
                 .arg(m_chunkSize));
        return false;
    default:
        break;
    }
    fail(QStringLiteral("服务器中途断开了连接，内容不完整"));
    return false;
}
