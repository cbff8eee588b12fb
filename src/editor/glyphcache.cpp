#include "editor/glyphcache.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

GlyphCache::GlyphCache(QTextDocument *document)
    : QObject(document)
    , m_document(document)
    , m_watch(document)
{
    connect(document, &QTextDocument::contentsChange, this, &GlyphCache::contentsChange);
}

void GlyphCache::contentsChange(int position, int charsRemoved, int charsAdded)
{
    const int added = m_watch.step(charsRemoved, charsAdded).blocksAdded;
    if (added == 0 || m_last < 0 || m_document->findBlock(position).blockNumber() > m_last)
        return;
    // The blocks kept moved by at most the blocks added or removed.
    m_first = qMax(0, m_first + qMin(added, 0));
    m_last += qMax(added, 0);
}

void GlyphCache::keep(const QTextBlock &first, int count)
{
    const int firstNumber = first.blockNumber();
    const int lastNumber = firstNumber + count - 1;
    if (m_last >= 0 && (m_first < firstNumber || m_last > lastNumber)) {
        QTextBlock block = m_document->findBlockByNumber(m_first);
        for (int number = m_first; number <= m_last && block.isValid();
             ++number, block = block.next()) {
            if (number >= firstNumber && number <= lastNumber)
                continue;
            QTextLayout *layout = block.layout();
            if (layout && layout->cacheEnabled()) {
                // Setting the text again drops the glyphs and the lines: the
                // block is laid out anew when it comes back into view.
                layout->setCacheEnabled(false);
                layout->setText(layout->text());
            }
        }
    }
    QTextBlock block = first;
    for (int k = 0; k < count && block.isValid(); ++k, block = block.next()) {
        if (QTextLayout *layout = block.layout())
            layout->setCacheEnabled(true);
    }
    m_first = firstNumber;
    m_last = lastNumber;
}
