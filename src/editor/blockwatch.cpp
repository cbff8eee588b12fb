#include "editor/blockwatch.h"

#include <QTextDocument>

BlockWatch::BlockWatch(const QTextDocument *document)
    : m_document(document)
    , m_blocks(document->blockCount())
    , m_characters(document->characterCount())
{}

BlockWatch::Step BlockWatch::step(int charsRemoved, int charsAdded)
{
    const int blocks = m_document->blockCount();
    const int characters = m_document->characterCount();
    const bool lengthAddsUp = characters == m_characters - charsRemoved + charsAdded;
    Step step{blocks - m_blocks, blocks == m_blocks && lengthAddsUp};
    m_blocks = blocks;
    m_characters = characters;
    return step;
}
