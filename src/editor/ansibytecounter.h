#pragma once

#include <QObject>
#include <QStringView>

class QTextBlock;
class QTextDocument;
class TextCodec;

// Keeps the length of a document in its page's encoding (what a save writes,
// without the final line break; GBK and CR LF unless told otherwise) up to
// date as the text
// changes, so that asking for it never walks or copies the whole text. Each
// line's own byte count is kept with the line and redone when the line
// changes; a line that goes away takes its count with it. A long line held
// as several blocks (LinePieces) is counted a block at a time, with no line
// break between its blocks. After a change to
// a great many lines (a page loaded) the counts are rebuilt at the next
// request instead.
//
// The counter is a child of the document it counts.
class AnsiByteCounter : public QObject {
    Q_OBJECT
public:
    explicit AnsiByteCounter(QTextDocument *document);
    ~AnsiByteCounter() override;

    // Bytes of the whole text, counted up to the first NUL character.
    qint64 bytes();

    // Counts in another encoding and line break from now on.
    void setMeasure(const TextCodec *codec, QStringView lineBreak);

    // Called by the lines' own records.
    void lineRemoved(qint64 lineBytes, bool hasNul, bool continuation);

private:
    void contentsChange(int position, int charsRemoved, int charsAdded);
    // Counts one line into the total; replacesCount takes its old count out first.
    void countLine(QTextBlock &block, bool replacesCount);
    void recountAll();

    QTextDocument *m_document;
    const TextCodec *m_codec;
    qint64 m_lineBreakBytes = 2;
    qint64 m_total = 0; // sum of the line counts, without the line breaks
    int m_linesWithNul = 0;
    int m_continuations = 0; // lines held as several blocks: blocks after their first
    bool m_stale = true;
};
