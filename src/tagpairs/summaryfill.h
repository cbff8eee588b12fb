#pragma once

#include "editor/htmlscanner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class LinePieces;
class QTextDocument;

// Sums up the lines of a page while the user does nothing (TagSummaries),
// so that even the first search for a far partner after a pause reads no
// line's text: once the page has been still for a moment, a few
// milliseconds at a time between events. An edit stops it, and it goes on
// after the next pause from the first line edited (the lines above it stay
// as they were summed up); no key waits for it.
class SummaryFill : public QObject {
public:
    SummaryFill(QTextDocument &document, const LinePieces &pieces, QObject *parent);

    // Lines summed up for at most this long; true when the page is done.
    bool step(int milliseconds);
    bool done() const { return m_done; }
    // The whole page passed again (its summaries were dropped).
    void restart();

    static constexpr int kPause = 300; // ms of stillness before it starts
    static constexpr int kSlice = 4;   // ms at a time

private:
    void edited(int position);

    QTextDocument &m_document;
    const LinePieces &m_pieces;
    QTimer m_timer;
    // The lines before this block number are summed up as they stand.
    int m_next = 0;
    HtmlScanner::State m_state; // where that block begins, when known
    bool m_stateKnown = true;
    bool m_done = false;
};
