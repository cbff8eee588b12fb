#pragma once

#include "platform/linebreak.h"

#include <QObject>
#include <QStringView>
#include <array>

class QTextBlock;
class QTextDocument;
class TextCodec;

// Keeps the length of a document in its page's encoding (what a save writes;
// GBK and CR LF unless told otherwise) up to date as the text changes, so
// that asking for it never walks or copies the whole text. A line break of a
// kind of its own (see LinePieces) counts as that kind. Each
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

    // Counts in another encoding from now on, and adds bytesAroundText to a
    // text without NUL (what a save writes before and after the text).
    void setMeasure(const TextCodec *codec, qint64 bytesAroundText);
    // The kind of the line breaks without a kind of their own.
    void setMainBreak(LineBreak kind) { m_mainBreak = kind; }

    // Called by the lines' own records.
    void lineRemoved(qint64 lineBytes, bool hasNul, bool continuation, int ownBreak);

private:
    void contentsChange(int position, int charsRemoved, int charsAdded);
    // Counts one line into the total; replacesCount takes its old count out first.
    void countLine(QTextBlock &block, bool replacesCount);
    void recountAll();

    QTextDocument *m_document;
    qint64 breakBytes(int ownBreak) const;

    const TextCodec *m_codec;
    // The bytes of each kind of line break in the encoding.
    std::array<qint64, LineBreaks::kKinds> m_breakBytes{2, 1, 1};
    LineBreak m_mainBreak = LineBreak::CrLf;
    qint64 m_aroundText = 0;
    // Lines whose break before them is of a kind of its own, by kind.
    std::array<int, LineBreaks::kKinds> m_ownBreaks{};
    qint64 m_total = 0; // sum of the line counts, without the line breaks
    int m_linesWithNul = 0;
    int m_continuations = 0; // lines held as several blocks: blocks after their first
    bool m_stale = true;
};
