#pragma once

#include "checker/pagechecker.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTextBlock>
#include <QTimer>
#include <memory>
#include <vector>

class QTextDocument;

// The check of the page in the editing area, run off the keystroke path:
// started a moment after the text stops changing (at once after a page is
// opened), it reads the document's blocks a slice of a few milliseconds at a
// time from the event loop, so typing never waits for it. A change while it
// runs stops it; it starts again once typing stops.
class CheckRun : public QObject {
    Q_OBJECT
public:
    // Milliseconds of reading per slice, and of quiet after a change.
    static constexpr int kSliceMs = 4;
    static constexpr int kQuietMs = 400;

    explicit CheckRun(QTextDocument *document, QObject *parent = nullptr);

    void setOptions(Checker::NeedsOptions needs, const QString &encoding);
    // Starts afresh after delayMs (0: at the next turn of the event loop).
    void start(int delayMs);
    void stop();
    bool isRunning() const { return m_timer.isActive() || m_checker != nullptr; }

    // The problems found so far by the run under way, or by the last one.
    const std::vector<Checker::Problem> &problems() const;
    // The document position reached so far; the whole document once done.
    int scannedTo() const { return m_scannedTo; }
    // Where a line and column of this run stand in the document.
    int positionOf(Checker::TextPos pos) const;

signals:
    // More of the page has been read (problems() grew, scannedTo() moved).
    void progressed();
    void finished();

private:
    void slice();

    QTextDocument *m_document;
    QTimer m_timer;
    Checker::NeedsOptions m_needs;
    QString m_encoding;
    std::unique_ptr<Checker::PageChecker> m_checker;
    std::vector<Checker::Problem> m_done;
    QTextBlock m_next;
    int m_scannedTo = 0;
    // Where each block read starts: its line, column and position.
    struct BlockStart {
        Checker::TextPos pos;
        int position;
    };
    std::vector<BlockStart> m_blocks;
    qsizetype m_column = 0; // of the next block in its line
};
