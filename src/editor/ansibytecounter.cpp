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
    LineBytes(AnsiByteCounter *counter, qint64 bytes, bool hasNul, bool continuation)
        : counter(counter)
        , bytes(bytes)
        , hasNul(hasNul)
        , continuation(continuation)
    {}
    ~LineBytes() override
    {
        if (counter)
            counter->lineRemoved(bytes, hasNul, continuation);
    }

    AnsiByteCounter *counter;
    qint64 bytes;
    bool hasNul;
    // Continues the line before it: no line break between the two.
    bool continuation;
};

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

void AnsiByteCounter::lineRemoved(qint64 lineBytes, bool hasNul, bool continuation)
{
    m_total -= lineBytes;
    if (hasNul)
        --m_linesWithNul;
    if (continuation)
        --m_continuations;
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
    if (LineBytes *record = recordOf(block)) {
        if (replacesCount)
            lineRemoved(record->bytes, record->hasNul, record->continuation);
        record->bytes = lineBytes;
        record->hasNul = hasNul;
        record->continuation = continuation;
    } else {
        block.setUserData(new LineBytes(this, lineBytes, hasNul, continuation));
    }
    m_total += lineBytes;
    if (hasNul)
        ++m_linesWithNul;
    if (continuation)
        ++m_continuations;
}

void AnsiByteCounter::recountAll()
{
    m_total = 0;
    m_linesWithNul = 0;
    m_continuations = 0;
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
    const qint64 lineBreaks =
        m_lineBreakBytes * qint64(m_document->blockCount() - 1 - m_continuations);
    if (m_linesWithNul == 0)
        return m_total + lineBreaks;

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
        bytes += (record ? record->bytes : 0) + (next && next->continuation ? 0 : m_lineBreakBytes);
    }
    return bytes;
}

void AnsiByteCounter::setMeasure(const TextCodec *codec, QStringView lineBreak)
{
    if (codec == m_codec && codec->encodedLength(lineBreak) == m_lineBreakBytes)
        return;
    m_codec = codec;
    m_lineBreakBytes = codec->encodedLength(lineBreak);
    m_stale = true;
}
