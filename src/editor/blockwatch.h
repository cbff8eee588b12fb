#pragma once

class QTextDocument;

// Follows a document from one contentsChange to the next, to tell whether
// the blocks held from before a change are still the document's own.
//
// They are when the change neither added nor removed blocks and the text's
// length moved by what the change reports. A document emptied and filled
// again (clear(), setPlainText()) has new blocks even where it holds as many
// as before, and a block held from before would read freed memory; its
// change reports the old length as removed, which does not add up.
class BlockWatch {
public:
    explicit BlockWatch(const QTextDocument *document);

    struct Step {
        // Blocks the change added; negative when it removed some.
        int blocksAdded = 0;
        // Every block from before the change is still the document's.
        bool blocksKept = false;
    };
    // To be called from the document's contentsChange, once per change.
    Step step(int charsRemoved, int charsAdded);

private:
    const QTextDocument *m_document;
    int m_blocks;
    int m_characters;
};
