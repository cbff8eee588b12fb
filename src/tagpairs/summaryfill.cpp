#include "tagpairs/summaryfill.h"

#include "editor/syntaxblocks.h"
#include "tagpairs/tagscan.h"

#include <QTextDocument>

SummaryFill::SummaryFill(QTextDocument &document, const LinePieces &pieces, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_pieces(pieces)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!step(kSlice))
            m_timer.start(0);
    });
    connect(&document, &QTextDocument::contentsChange, this,
            [this](int position, int, int) { edited(position); });
    m_timer.start(kPause);
}

void SummaryFill::restart()
{
    m_next = 0;
    m_state = HtmlScanner::State();
    m_stateKnown = true;
    m_done = false;
    m_timer.start(kPause);
}

void SummaryFill::edited(int position)
{
    const int number = m_document.findBlock(position).blockNumber();
    if (number >= 0 && number < m_next) {
        m_next = number;
        m_stateKnown = number == 0;
        m_state = HtmlScanner::State();
    }
    m_done = false;
    m_timer.start(kPause);
}

bool SummaryFill::step(int milliseconds)
{
    if (m_done)
        return true;
    QElapsedTimer clock;
    clock.start();
    SyntaxBlocks &states = *SyntaxBlocks::of(&m_document);
    const QTextBlock first = m_document.findBlockByNumber(m_next);
    if (!m_stateKnown) {
        // Where the line before ended, as summed up; else as the colouring
        // has it.
        const TagSummaries::Line *before =
            first.isValid() ? TagSummaries::of(m_document)->kept(first.previous()) : nullptr;
        m_state = before ? HtmlScanner::State::fromInt(before->leaving)
                         : states.stateBefore(first, m_next);
        m_stateKnown = true;
    }
    TagScan scan(m_document, m_pieces, states);
    scan.passFrom(first, m_state);
    while (!scan.atEnd() && !clock.hasExpired(milliseconds)) {
        for (int lines = 0; lines < 64 && !scan.atEnd(); ++lines)
            scan.passBlock();
    }
    m_done = scan.atEnd();
    if (!m_done) {
        m_next = scan.block().blockNumber();
        m_state = scan.state();
    }
    return m_done;
}
