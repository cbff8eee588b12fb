#pragma once

#include "editor/htmlscanner.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTextBlock>
#include <array>
#include <memory>
#include <vector>

class QTextDocument;

// The tags of each line of a document as the scan for tags found them, kept
// so that a search that passes a line again reads a few events instead of
// the line's text. A line's summary holds where its names and ">"s are,
// the names by number, and the states it began and ended in: it stands for
// the line while the line's text is as it was and it begins in the same
// state (an edit drops the summaries of the lines it touched; one that
// changes how a later line begins, as an opened comment does, is found by
// that line's state). Only whole lines are kept, not the pieces of a long
// line.
class TagSummaries : public QObject {
    Q_OBJECT
public:
    // A child of the document, following its changes.
    explicit TagSummaries(QTextDocument *document);
    // The document's one instance, made when there is none.
    static TagSummaries *of(const QTextDocument &document);

    struct Event {
        enum Kind : quint8 { StartName, EndName, Gt, SelfClosingGt };
        quint16 begin = 0; // the name's first character, or the ">"
        quint16 end = 0;   // after the name
        quint16 name = 0;  // names(): the name in lower case
        Kind kind = StartName;
    };
    struct Line {
        int entering = -1; // the scanner's states, packed
        int leaving = -1;
        int length = -1; // the block's, with its line break
        std::vector<Event> events;
    };
    // The line's summary when it stands for it, begun in entering.
    const Line *find(const QTextBlock &block, HtmlScanner::State entering) const;
    void store(const QTextBlock &block, Line line);
    // The summary kept for the block's text, whatever state it began in.
    const Line *kept(const QTextBlock &block) const;
    // Lines this long or names this many are not kept.
    static constexpr qsizetype kLongest = 0xffff;

    struct Name {
        QString name;
        quint32 groups = 0;
    };
    // The number of a name in lower case; false when there are too many.
    bool number(const QString &name, quint32 groups, quint16 &id);
    const Name &name(quint16 id) const { return m_names[id]; }

    // Every summary dropped (the edits since are not known).
    void clear();
    qsizetype memoryUsed() const;

private:
    void contentsChange(int position, int removed, int added);

    QTextDocument *m_document;
    // By the block's index in the document's map of blocks, which stays
    // the block's while it lives; a block made in its place comes from an
    // edit, which drops what was kept there. In chunks, so that the first
    // summary of a large page costs no table of all its lines.
    static constexpr size_t kChunk = 1024;
    using Chunk = std::array<Line, kChunk>;
    Line *slot(const QTextBlock &block) const;
    std::vector<std::unique_ptr<Chunk>> m_lines;
    std::vector<Name> m_names;
    QHash<QString, quint16> m_numbers;
};
