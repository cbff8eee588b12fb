#include "tagpairs/tagscan.h"

#include "editor/linepieces.h"
#include "editor/syntaxblocks.h"
#include "tagpairs/tagrules.h"

#include <QTextDocument>
#include <iterator>

TagScan::TagScan(const QTextDocument &document, const LinePieces &pieces, SyntaxBlocks &states)
    : m_document(document)
    , m_pieces(pieces)
    , m_states(states)
{}

qsizetype TagScan::blockStart(const QTextBlock &block) const
{
    return block.position() - m_pieces.continuationsUpTo(block.blockNumber());
}

void TagScan::startAt(QTextBlock block)
{
    m_tag = Tag();
    m_nameOpen = false;
    m_previous.clear();
    // A name never spans more than a few pieces; reading from the piece
    // where it began gives all of it.
    for (int back = 0; back < 4 && block.isValid() && LinePieces::isContinuation(block); ++back) {
        const HtmlScanner::State before = m_states.stateBefore(block, block.blockNumber());
        if (!HtmlScanner::readingTagName(before))
            break;
        block = block.previous();
    }
    m_block = block;
    m_text.clear();
    m_base = -1;
    if (!block.isValid())
        return;
    const int number = block.blockNumber();
    m_state = m_states.stateBefore(block, number);
    m_nextBase = block.position() - m_pieces.continuationsUpTo(number);
    // The piece before, for an end tag of raw text that began in it.
    if (LinePieces::isContinuation(block))
        m_text = block.previous().text();
}

void TagScan::readBlock(std::vector<Tag> &out)
{
    if (!m_block.isValid())
        return;
    m_out = &out;
    m_previous = std::move(m_text);
    m_text = m_block.text();
    m_base = m_nextBase;
    m_read += m_text.size() + 1;
    // Without long lines every block ends its line.
    const bool pieces = m_pieces.continuationCount() > 0;
    const bool endsLine = !pieces || LinePieces::endsLine(m_block);
    m_state = HtmlScanner::scan(m_text, m_state, endsLine, nullptr, this);
    m_nextBase = m_base + m_text.size() + (endsLine ? 1 : 0);
    m_block = m_block.next();
    if (!m_block.isValid())
        flush(out);
    m_out = nullptr;
}

void TagScan::readTagsOf(const QTextBlock &first, const QTextBlock &last, std::vector<Tag> &out)
{
    startAt(first);
    QTextBlock reading;
    do {
        reading = m_block;
        readBlock(out);
    } while (reading != last && !atEnd());
    // A name that runs on into the next pieces is read whole.
    for (int more = 0; more < 4 && inName() && !atEnd(); ++more)
        readBlock(out);
    flush(out);
}

void TagScan::flush(std::vector<Tag> &out)
{
    m_out = &out;
    finishTag();
    m_out = nullptr;
}

void TagScan::finishTag()
{
    if (m_tag.lt >= 0 && m_out)
        m_out->push_back(std::move(m_tag));
    m_tag = Tag();
    m_nameOpen = false;
}

// The name in lower case with its groups; a name read before is shared,
// not built again.
const TagScan::Name &TagScan::lowered(QStringView typed)
{
    char16_t buffer[32];
    if (typed.size() > qsizetype(std::size(buffer))) {
        m_long.name = typed.toString();
        for (QChar &c : m_long.name) {
            if (c >= u'A' && c <= u'Z')
                c = QChar(char16_t(c.unicode() + 32));
        }
        m_long.groups = TagRules::groups(m_long.name);
        return m_long;
    }
    size_t hash = size_t(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const char16_t c = typed[i].unicode();
        buffer[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        hash = hash * 31 + buffer[i];
    }
    Name &known = m_names[hash % m_names.size()];
    if (known.name.size() != typed.size() ||
        !std::equal(buffer, buffer + typed.size(), known.name.utf16())) {
        known.name = QString(reinterpret_cast<const QChar *>(buffer), typed.size());
        known.groups = TagRules::groups(known.name);
    }
    return known;
}

void TagScan::tagName(qsizetype begin, qsizetype end, bool endTag, bool complete)
{
    if (begin >= 0 && !(m_nameOpen && begin == 0)) {
        // The common case: a name whole in this piece.
        finishTag();
        m_tag.nameBegin = m_base + begin;
        m_tag.lt = m_tag.nameBegin - (endTag ? 2 : 1);
        m_tag.end = endTag;
        const Name &name = lowered(QStringView(m_text).sliced(begin, end - begin));
        m_tag.name = name.name;
        m_tag.groups = name.groups;
        m_tag.nameEnd = m_base + end;
        m_nameOpen = !complete;
        return;
    }
    QString part;
    if (begin < 0) {
        // Begun in the piece before (the end tag of raw text).
        part = m_previous.right(-begin).toLower();
        begin = 0;
    }
    const qsizetype at = part.size();
    part.resize(at + end - begin);
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = m_text[i].unicode();
        part[at + i - begin] = c >= u'A' && c <= u'Z' ? QChar(char16_t(c + 32)) : QChar(c);
    }
    if (m_nameOpen && begin == 0) {
        m_tag.name += part;
    } else {
        finishTag();
        const qsizetype nameBegin = m_base + begin - (part.size() - (end - begin));
        m_tag.nameBegin = nameBegin;
        m_tag.lt = nameBegin - (endTag ? 2 : 1);
        m_tag.end = endTag;
        m_tag.name = part;
    }
    m_tag.groups = TagRules::groups(m_tag.name);
    m_tag.nameEnd = m_base + end;
    m_nameOpen = !complete;
}

void TagScan::tagEnd(qsizetype at, bool selfClosing)
{
    if (m_tag.lt < 0)
        return;
    m_tag.gt = m_base + at;
    m_tag.selfClosing = selfClosing;
    finishTag();
}
