#pragma once

#include "editor/blockwatch.h"

#include <QObject>

class QTextBlock;
class QTextDocument;

// Keeps the shaped glyphs of the blocks in view from one paint to the next.
// Qt's text layout drops a block's glyphs as soon as the block is laid out,
// so that every paint shapes each block in view again, the whole of it,
// however little of it shows; with its glyphs kept a block is only drawn.
// A block that leaves the view gives its glyphs up, so the memory held
// follows the view and not the size of the page.
class GlyphCache : public QObject {
public:
    explicit GlyphCache(QTextDocument *document);

    // Before a paint: the blocks in view are first and the count-1 after it.
    void keep(const QTextBlock &first, int count);

private:
    void contentsChange(int position, int charsRemoved, int charsAdded);

    QTextDocument *m_document;
    // Block numbers that may hold kept glyphs (a range that may be too wide,
    // never too narrow).
    int m_first = 0;
    int m_last = -1;
    BlockWatch m_watch;
};
