#pragma once

#include "editor/htmlscanner.h"
#include "tagpairs/tagsummaries.h"

#include <QString>
#include <QTextBlock>
#include <array>
#include <vector>

class LinePieces;
class SyntaxBlocks;
class QTextDocument;

// A start or end tag of the page. Positions count the text with one
// character for a line break and none for the boundary between two pieces
// of a long line (LinePieces' joined positions).
struct Tag {
    qsizetype lt = -1;        // the "<"
    qsizetype nameBegin = -1; // the name, as typed
    qsizetype nameEnd = -1;
    qsizetype gt = -1;  // the ">", or -1 when not seen
    QString name;       // in lower case
    quint32 groups = 0; // TagRules' groups of the name
    bool end = false;
    bool selfClosing = false;
    bool operator==(const Tag &) const = default;
};

// The page's text read at once, for a search that reads much of the page:
// past some thousands of lines read one by one, each further line's text is
// a view into it rather than a read of its own. Kept for one search only
// (the page must not change while it is kept).
class PageText {
public:
    explicit PageText(const QTextDocument &document)
        : m_document(document)
    {}
    // Counts a line about to be read; whether its text comes from here.
    bool take();
    // A block's text, starting at widget position at.
    QString textOf(qsizetype at, const QTextBlock &block) const;

private:
    // Lines read one by one before the whole text is.
    static constexpr int kLinesFirst = 4096;
    const QTextDocument &m_document;
    QString m_text;
    int m_lines = 0;
};

// Reads the tags of a document's blocks in order, with the states where
// its blocks begin that the colouring keeps (SyntaxBlocks): reading can
// start at any block and costs only the blocks read. A line read from the
// document is summed up (TagSummaries), so that reading it again costs its
// tags, not its text; lines read from the page's text taken at once are
// left to the idle fill. Counts what it read, so that a search can stop at
// a budget.
class TagScan : private HtmlScanner::TagSink {
public:
    TagScan(const QTextDocument &document, const LinePieces &pieces, SyntaxBlocks &states);
    // Lines' text from the page read at once, when it is worth it.
    void setPageText(PageText *page) { m_page = page; }

    // Reading starts at the block (or, when a tag's name runs into it, at
    // the block where that name began).
    void startAt(QTextBlock block);
    bool atEnd() const { return !m_block.isValid(); }
    // Reads the next block; tags whose ">" (or the next tag) was seen go to
    // out. At the document's end the last tag goes too.
    void readBlock(std::vector<Tag> &out);
    // The tags whose names begin in the blocks first to last (and those
    // before them that reading them needs), each name read whole.
    void readTagsOf(const QTextBlock &first, const QTextBlock &last, std::vector<Tag> &out);
    // Ends reading here: a tag under way goes to out as it stands.
    void flush(std::vector<Tag> &out);

    // Passing lines to sum them up, from a block that begins in state (its
    // tags are not wanted).
    void passFrom(QTextBlock block, HtmlScanner::State state);
    void passBlock();
    const HtmlScanner::State &state() const { return m_state; }

    // Whether the last block read ended inside a tag's name.
    bool inName() const { return m_nameOpen; }
    const QTextBlock &block() const { return m_block; }
    qsizetype charactersRead() const { return m_read; }
    // The joined position where a block begins.
    qsizetype blockStart(const QTextBlock &block) const;

private:
    void tagName(qsizetype begin, qsizetype end, bool endTag, bool complete) override;
    void tagEnd(qsizetype at, bool selfClosing) override;
    void finishTag();
    void advance(bool tags);
    QString textOf(const QTextBlock &block);
    void replay(const TagSummaries::Line &line);
    void startTag(qsizetype begin, qsizetype end, bool endTag, const TagSummaries::Name &name,
                  bool complete);
    void record(TagSummaries::Event::Kind kind, qsizetype begin, qsizetype end, int name);
    // A name read, with its number among the summaries' names (-1 until
    // asked for).
    struct Name {
        TagSummaries::Name name;
        int number = -1;
    };
    Name &lowered(QStringView typed);

    const QTextDocument &m_document;
    const LinePieces &m_pieces;
    SyntaxBlocks &m_states;
    TagSummaries &m_summaries;
    TagSummaries::Line m_line; // the summary of the line being read
    bool m_summing = false;    // while it is being made
    QTextBlock m_block;
    HtmlScanner::State m_state;
    qsizetype m_base = 0;     // joined position of the block being read
    qsizetype m_nextBase = 0; // and of the one after it
    QString m_text;           // its text
    QString m_previous;       // the block's before it
    qsizetype m_read = 0;
    PageText *m_page = nullptr;
    qsizetype m_at = -1; // widget position of the block being read, once known
    Tag m_tag;           // the tag under way, when its lt >= 0
    bool m_nameOpen = false;
    std::vector<Tag> *m_out = nullptr;
    std::array<Name, 64> m_names; // names read, shared by their tags (by a hash of each)
    Name m_long;                  // a longer name
};
