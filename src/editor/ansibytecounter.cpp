#include "editor/ansibytecounter.h"

#include "editor/linepieces.h"
#include "platform/textcodec.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

// A change touching more lines than this is not counted line by line.
constexpr int kRecountAfterLines = 2000;

// The byte count of one line, kept with it.
class LineBytes : public QTextBlockUserData {
public:
    LineBytes(AnsiByteCounter *counter, qint64 bytes, bool hasNul, bool continuation, int ownBreak)
        : counter(counter)
        , bytes(bytes)
        , hasNul(hasNul)
        , continuation(continuation)
        , ownBreak(ownBreak)
    {}
    ~LineBytes() override
    {
        if (counter)
            counter->lineRemoved(bytes, hasNul, continuation, ownBreak);
    }

    AnsiByteCounter *counter;
    qint64 bytes;
    bool hasNul;
    // Continues the line before it: no line break between the two.
    bool continuation;
    // The kind of the line break before it when it has one of its own, else -1.
    int ownBreak;
};

int ownBreakOf(const QTextBlock &block)
{
    const QVariant kind = block.blockFormat().property(LinePieces::kLineBreakProperty);
    return kind.isValid() ? kind.toInt() : -1;
}

LineBytes *recordOf(const QTextBlock &block)
{
    return static_cast<LineBytes *>(block.userData());
}

} // namespace

AnsiByteCounter::AnsiByteCounter(QTextDocument *document)
    : QObject(document)
    , m_document(document)
    , m_codec(TextCodec::defaultCodec())
{
    connect(document, &QTextDocument::contentsChange, this, &AnsiByteCounter::contentsChange);
}

AnsiByteCounter::~AnsiByteCounter()
{
    // The document drops its lines after its children: their records must
    // not report to a counter that is gone.
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (LineBytes *record = recordOf(block))
            record->counter = nullptr;
    }
}

void AnsiByteCounter::lineRemoved(qint64 lineBytes, bool hasNul, bool continuation, int ownBreak)
{
    m_total -= lineBytes;
    if (hasNul)
        --m_linesWithNul;
    if (continuation)
        --m_continuations;
    if (ownBreak >= 0)
        --m_ownBreaks[size_t(ownBreak)];
}

qint64 AnsiByteCounter::breakBytes(int ownBreak) const
{
    return m_breakBytes[size_t(ownBreak >= 0 ? ownBreak : int(m_mainBreak))];
}

void AnsiByteCounter::contentsChange(int position, int, int charsAdded)
{
    if (m_stale)
        return;
    QTextBlock block = m_document->findBlock(position);
    const QTextBlock last = m_document->findBlock(position + charsAdded);
    if (!block.isValid() || !last.isValid() ||
        last.blockNumber() - block.blockNumber() > kRecountAfterLines) {
        m_stale = true;
        return;
    }
    for (;; block = block.next()) {
        countLine(block, true);
        if (block == last)
            break;
    }
}

void AnsiByteCounter::countLine(QTextBlock &block, bool replacesCount)
{
    const QString text = block.text();
    const qint64 lineBytes = m_codec->encodedLength(text);
    const bool hasNul = text.contains(QChar(u'\0'));
    const bool continuation = LinePieces::isContinuation(block);
    const int ownBreak = continuation ? -1 : ownBreakOf(block);
    if (LineBytes *record = recordOf(block)) {
        if (replacesCount)
            lineRemoved(record->bytes, record->hasNul, record->continuation, record->ownBreak);
        record->bytes = lineBytes;
        record->hasNul = hasNul;
        record->continuation = continuation;
        record->ownBreak = ownBreak;
    } else {
        block.setUserData(new LineBytes(this, lineBytes, hasNul, continuation, ownBreak));
    }
    m_total += lineBytes;
    if (hasNul)
        ++m_linesWithNul;
    if (continuation)
        ++m_continuations;
    if (ownBreak >= 0)
        ++m_ownBreaks[size_t(ownBreak)];
}

void AnsiByteCounter::recountAll()
{
    m_total = 0;
    m_linesWithNul = 0;
    m_continuations = 0;
    m_ownBreaks = {};
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        countLine(block, false);
    m_stale = false;
}

qint64 AnsiByteCounter::bytes()
{
    if (m_stale)
        recountAll();
    // The pieces of a long line are blocks of their own, with no line break
    // between them.
    int mainBreaks = m_document->blockCount() - 1 - m_continuations;
    qint64 lineBreaks = 0;
    for (size_t kind = 0; kind < m_ownBreaks.size(); ++kind) {
        mainBreaks -= m_ownBreaks[kind];
        lineBreaks += m_breakBytes[kind] * m_ownBreaks[kind];
    }
    lineBreaks += breakBytes(-1) * mainBreaks;
    if (m_linesWithNul == 0)
        return m_total + lineBreaks + m_aroundText;

    // Counting stops at the first NUL: walk the lines up to it.
    qint64 bytes = 0;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const LineBytes *record = recordOf(block);
        if (record && record->hasNul) {
            const QString text = block.text();
            return bytes +
                   m_codec->encodedLength(QStringView(text).left(text.indexOf(QChar(u'\0'))));
        }
        const LineBytes *next = recordOf(block.next());
        bytes += (record ? record->bytes : 0) +
                 (next && next->continuation ? 0 : breakBytes(next ? next->ownBreak : -1));
    }
    return bytes;
}

void AnsiByteCounter::setMeasure(const TextCodec *codec, qint64 bytesAroundText)
{
    m_aroundText = bytesAroundText;
    if (codec == m_codec)
        return;
    m_codec = codec;
    for (int kind = 0; kind < LineBreaks::kKinds; ++kind)
        m_breakBytes[size_t(kind)] = codec->encodedLength(LineBreaks::text(LineBreak(kind)));
    m_stale = true;
}
