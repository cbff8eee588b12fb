#include "checker/checkrun.h"

#include "editor/linepieces.h"

#include <QTextDocument>
#include <algorithm>

CheckRun::CheckRun(QTextDocument *document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CheckRun::slice);
}

void CheckRun::setOptions(Checker::NeedsOptions needs, const QString &encoding)
{
    m_needs = needs;
    m_encoding = encoding;
}

void CheckRun::start(int delayMs)
{
    m_checker.reset();
    m_timer.start(delayMs);
}

void CheckRun::stop()
{
    m_timer.stop();
    m_checker.reset();
}

const std::vector<Checker::Problem> &CheckRun::problems() const
{
    return m_checker ? m_checker->problems() : m_done;
}

int CheckRun::positionOf(Checker::TextPos pos) const
{
    // The last block that starts at or before pos.
    auto after = std::upper_bound(
        m_blocks.begin(), m_blocks.end(), pos,
        [](const Checker::TextPos &p, const BlockStart &block) { return p < block.pos; });
    if (after == m_blocks.begin())
        return 0;
    const BlockStart &block = *(after - 1);
    if (block.pos.line != pos.line)
        return block.position;
    return block.position + int(pos.column - block.pos.column);
}

void CheckRun::slice()
{
    if (!m_checker) {
        m_checker = std::make_unique<Checker::PageChecker>(m_needs);
        m_checker->setPageEncoding(m_encoding);
        m_next = m_document->begin();
        m_blocks.clear();
        m_column = 0;
        m_scannedTo = 0;
    }
    QElapsedTimer clock;
    clock.start();
    while (m_next.isValid()) {
        m_blocks.push_back({Checker::TextPos{m_checker->line(), m_column}, m_next.position()});
        const QString text = m_next.text();
        const bool endsLine = LinePieces::endsLine(m_next) && m_next.next().isValid();
        m_checker->addPiece(text, endsLine);
        m_column = endsLine ? 0 : m_column + text.size();
        m_scannedTo = m_next.position() + m_next.length();
        m_next = m_next.next();
        if (clock.elapsed() >= kSliceMs && m_next.isValid()) {
            emit progressed();
            m_timer.start(0);
            return;
        }
    }
    m_checker->finish();
    m_done = m_checker->problems();
    m_checker.reset();
    emit progressed();
    emit finished();
}
