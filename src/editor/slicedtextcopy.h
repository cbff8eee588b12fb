#pragma once

#include "editor/textcopy.h"
#include "platform/linebreak.h"

#include <QObject>

class LinePieces;
class QTextDocument;

// The page's text (each line break of its own kind, the pieces of a line
// joined) copied in parts of a bounded number of characters and blocks, two
// parts per slice. Each part holds the text of whole blocks, the line break
// before each block with the block (none before the first block of the page,
// none before a piece of a long line): the part after widget position from
// holds the blocks that begin after it.
//
// An edit inside what is copied makes the parts it touches stale; they are
// copied again before copying goes on, and a slice copies a stale part and
// one more, so that keys typed between slices never hold the copy up. An
// edit that changes the end of the copy drops the parts it touches; an edit
// beyond the copy needs nothing.
class SlicedTextCopy : public QObject, public TextCopy {
public:
    static constexpr int kPartLength = 16 * 1024;
    static constexpr int kPartBlocks = 1024;
    static constexpr int kPartsPerSlice = 2;

    SlicedTextCopy(QTextDocument *document, const LinePieces &pieces);

    bool copyMore() override;
    std::vector<QString> takeParts() override;
    // The widget position up to which the text is copied (stale parts
    // among it).
    int copiedTo() const;

private:
    struct Part {
        // The widget positions it covers: from its start up to the line
        // break after its last block (the end of the text for the last
        // block).
        int length = 0;
        QString text;
        bool stale = false;
    };
    void contentsChange(int position, int charsRemoved, int charsAdded);
    // The blocks from the one after position from (from 0: the first) on,
    // up to position limit at most, and within the bounds of a part.
    Part copyFrom(int from, int limit) const;
    // Copies one stale part, else the next part; false when complete.
    bool copyPart();
    bool complete() const;

    QTextDocument *m_document;
    const LinePieces &m_pieces;
    std::vector<Part> m_parts;
    int m_characters;
    // The main kind of line break the parts were copied with: the page's
    // main kind is not in the document, and changing it changes every part.
    LineBreak m_mainBreak;
};
