#include "tagpairs/tagscan.h"

#include "editor/linepieces.h"
#include "editor/syntaxblocks.h"
#include "editor/tagrules.h"

#include <QTextDocument>
#include <iterator>

TagScan::TagScan(const QTextDocument &document, const LinePieces &pieces, SyntaxBlocks &states)
    : m_document(document)
    , m_pieces(pieces)
    , m_states(states)
    , m_summaries(*TagSummaries::of(document))
{}

bool PageText::take()
{
    if (m_lines < kLinesFirst) {
        ++m_lines;
        return false;
    }
    if (m_lines == kLinesFirst) {
        ++m_lines;
        m_text = m_document.toRawText();
    }
    return true;
}

QString PageText::textOf(qsizetype at, const QTextBlock &block) const
{
    const qsizetype length = block.length() - 1;
    if (at < 0 || at + length > m_text.size())
        return block.text();
    return QString::fromRawData(m_text.constData() + at, length);
}

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
    m_at = -1;
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
    advance(true);
    if (!m_block.isValid())
        flush(out);
    m_out = nullptr;
}

void TagScan::passFrom(QTextBlock block, HtmlScanner::State state)
{
    m_tag = Tag();
    m_nameOpen = false;
    m_previous.clear();
    m_text.clear();
    m_block = block;
    m_at = -1;
    m_state = state;
    m_nextBase = 0;
}

void TagScan::passBlock()
{
    if (m_block.isValid())
        advance(false);
}

void TagScan::advance(bool tags)
{
    // Without long lines every block ends its line.
    const bool pieces = m_pieces.continuationCount() > 0;
    const bool endsLine = !pieces || LinePieces::endsLine(m_block);
    const bool wholeLine = endsLine && (!pieces || !LinePieces::isContinuation(m_block));
    const TagSummaries::Line *line = wholeLine ? m_summaries.find(m_block, m_state) : nullptr;
    m_base = m_nextBase;
    qsizetype length;
    if (line) {
        m_previous.clear();
        m_text.clear();
        if (tags)
            replay(*line);
        m_state = HtmlScanner::State::fromInt(line->leaving);
        length = line->length - 1;
    } else {
        m_previous = std::move(m_text);
        m_text = textOf(m_block);
        length = m_text.size();
        // A search through the whole page's text leaves summing up to the
        // idle fill: recording costs it a tenth, and it reads each line once.
        m_summing = wholeLine && length < TagSummaries::kLongest && m_at < 0;
        m_line.events.clear();
        m_line.entering = m_state.toInt();
        m_state = HtmlScanner::scan(m_text, m_state, endsLine, nullptr, this);
        if (m_summing) {
            m_line.leaving = m_state.toInt();
            m_line.length = int(length + 1);
            m_summaries.store(m_block, m_line);
            m_summing = false;
        }
    }
    m_read += length + 1;
    m_nextBase = m_base + length + (endsLine ? 1 : 0);
    if (m_at >= 0)
        m_at += m_block.length();
    m_block = m_block.next();
}

// Read from the document, or, in a search that reads much of the page, from
// the page's text read at once (the block's position found once, then
// counted on).
QString TagScan::textOf(const QTextBlock &block)
{
    if (!m_page || !m_page->take())
        return block.text();
    if (m_at < 0)
        m_at = block.position();
    return m_page->textOf(m_at, block);
}

// The tags of a line summed up, as its scan gave them.
void TagScan::replay(const TagSummaries::Line &line)
{
    for (const TagSummaries::Event &event : line.events) {
        switch (event.kind) {
        case TagSummaries::Event::Gt:
        case TagSummaries::Event::SelfClosingGt:
            tagEnd(event.begin, event.kind == TagSummaries::Event::SelfClosingGt);
            break;
        default:
            startTag(event.begin, event.end, event.kind == TagSummaries::Event::EndName,
                     m_summaries.name(event.name), true);
        }
    }
}

void TagScan::record(TagSummaries::Event::Kind kind, qsizetype begin, qsizetype end, int name)
{
    m_line.events.push_back({quint16(begin), quint16(end), quint16(name), kind});
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
TagScan::Name &TagScan::lowered(QStringView typed)
{
    char16_t buffer[32];
    if (typed.size() > qsizetype(std::size(buffer))) {
        m_long.name.name = typed.toString();
        for (QChar &c : m_long.name.name) {
            if (c >= u'A' && c <= u'Z')
                c = QChar(char16_t(c.unicode() + 32));
        }
        m_long.name.groups = TagRules::groups(m_long.name.name);
        m_long.number = -1;
        return m_long;
    }
    size_t hash = size_t(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const char16_t c = typed[i].unicode();
        buffer[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        hash = hash * 31 + buffer[i];
    }
    Name &known = m_names[hash % m_names.size()];
    if (known.name.name.size() != typed.size() ||
        !std::equal(buffer, buffer + typed.size(), known.name.name.utf16())) {
        known.name.name = QString(reinterpret_cast<const QChar *>(buffer), typed.size());
        known.name.groups = TagRules::groups(known.name.name);
        known.number = -1;
    }
    return known;
}

void TagScan::tagName(qsizetype begin, qsizetype end, bool endTag, bool complete)
{
    if (begin >= 0 && !(m_nameOpen && begin == 0)) {
        // The common case: a name whole in this piece.
        Name &name = lowered(QStringView(m_text).sliced(begin, end - begin));
        if (m_summing) {
            quint16 number = 0;
            m_summing = complete && (name.number >= 0 ||
                                     m_summaries.number(name.name.name, name.name.groups, number));
            if (name.number < 0 && m_summing)
                name.number = number;
            if (m_summing)
                record(endTag ? TagSummaries::Event::EndName : TagSummaries::Event::StartName,
                       begin, end, name.number);
        }
        // The summaries' copy of the name is copied without counting.
        startTag(begin, end, endTag,
                 name.number >= 0 ? m_summaries.name(quint16(name.number)) : name.name, complete);
        return;
    }
    m_summing = false;
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

void TagScan::startTag(qsizetype begin, qsizetype end, bool endTag, const TagSummaries::Name &name,
                       bool complete)
{
    finishTag();
    m_tag.nameBegin = m_base + begin;
    m_tag.lt = m_tag.nameBegin - (endTag ? 2 : 1);
    m_tag.end = endTag;
    m_tag.name = name.name;
    m_tag.groups = name.groups;
    m_tag.nameEnd = m_base + end;
    m_nameOpen = !complete;
}

void TagScan::tagEnd(qsizetype at, bool selfClosing)
{
    if (m_summing)
        record(selfClosing ? TagSummaries::Event::SelfClosingGt : TagSummaries::Event::Gt, at, at,
               0);
    if (m_tag.lt < 0)
        return;
    m_tag.gt = m_base + at;
    m_tag.selfClosing = selfClosing;
    finishTag();
}
