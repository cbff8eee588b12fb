#include "tagpairs/tagmatcher.h"

#include "editor/linepieces.h"
#include "editor/tagrules.h"

#include <QTextDocument>
#include <algorithm>
#include <deque>
#include <functional>
#include <limits>
#include <optional>

using namespace TagRules;

namespace {

// An element that holds nothing: no end tag will come.
bool isEmptyElement(const Tag &tag)
{
    return (tag.groups & Void) || tag.selfClosing;
}

// How deep the open elements are looked through: far past any real page's
// nesting, and a bound on the work of a page that never closes its tags.
constexpr size_t kDeepest = 1024;
// How far back a start tag looks for an element it closes implicitly (a
// <p>, an <li>): further back than the nearest blocks means reading all the
// page before them.
constexpr qsizetype kNearReach = 16 * 1024;
// How many runs of blocks read backwards are kept from one search to the
// next: the nearest few thousand lines, which the highlight reads again at
// each stop of the caret; beyond, keeping all of a page's tags costs more
// (in memory, and in copying them) than reading them again.
constexpr size_t kMemoLoads = 64;

// Where a search for an open <p> ends: a <p> below an element that closes
// paragraphs would have been closed by it (so the search stays near).
bool endsParagraphSearch(const Tag &open)
{
    return !is(open.name, u"p") &&
           ((open.groups & (ScopeBoundary | ParagraphCloser)) || is(open.name, u"button"));
}

// An end tag or a sibling met reading backwards: its name and groups.
struct Name {
    QString name;
    quint32 groups = 0;
};

qsizetype afterTag(const Tag &tag)
{
    return (tag.gt >= 0 ? tag.gt : tag.nameEnd - 1) + 1;
}

} // namespace

// The tags before a position, the last one first, read a block at a time
// backwards.
class TagMatcher::Backward {
public:
    Backward(TagMatcher &matcher, qsizetype before)
        : m_scan(matcher.m_document, matcher.m_pieces, matcher.m_states)
        , m_budget(matcher.m_budget)
        , m_limit(before)
        , m_block(matcher.blockAt(before))
        , m_memo(matcher.m_memo)
    {
        m_scan.setPageText(matcher.m_page);
        if (!m_memo)
            return;
        m_key = runBefore(m_block).position();
        if (m_memo->m_document != &matcher.m_document || m_memo->m_budget != m_budget ||
            m_memo->m_block != m_key) {
            m_memo->clear();
            m_memo->m_document = &matcher.m_document;
            m_memo->m_budget = m_budget;
        }
    }

    qsizetype charactersRead() const { return m_scan.charactersRead() + m_replayed; }
    // Whether reading stopped at the budget, not at the page's start.
    bool gaveUp() const { return m_gaveUp; }

    const Tag *next()
    {
        while (m_index == 0) {
            m_gaveUp = m_block.isValid() && charactersRead() > m_budget;
            if (!m_block.isValid() || m_gaveUp)
                return nullptr;
            load();
        }
        return &m_tags[--m_index];
    }

private:
    void load()
    {
        // The runs after the first come from the memo when it has them
        // (and another search has not taken it over since).
        const size_t kept = m_loads - 1;
        const bool memo = m_memo && m_memo->m_block == m_key;
        if (memo && m_loads > 0 && kept < m_memo->m_loads.size()) {
            const Memo::Load &load = m_memo->m_loads[kept];
            m_tags = load.tags;
            m_index = m_tags.size();
            m_replayed += load.read;
            m_limit = load.limit;
            m_block = load.next;
            ++m_loads;
            return;
        }
        // A run of blocks at a time: reading one costs little more than
        // finding where it starts.
        const QTextBlock first = runBefore(m_block);
        const qsizetype start = m_scan.blockStart(first);
        const qsizetype readBefore = charactersRead();
        m_read.clear();
        m_scan.readTagsOf(first, m_block, m_read);
        m_tags.clear();
        for (Tag &tag : m_read) {
            if (tag.lt >= start && tag.lt < m_limit)
                m_tags.push_back(std::move(tag));
        }
        m_index = m_tags.size();
        m_limit = start;
        m_block = first.previous();
        if (m_memo && m_loads == 0 && m_memo->m_block < 0 && m_key == first.position()) {
            // What comes after this run may read a name on into the first
            // pieces of it: those stay as they are too.
            QTextBlock guard = first;
            for (int more = 0; more < 5 && guard.next().isValid(); ++more)
                guard = guard.next();
            m_memo->m_block = m_key;
            m_memo->m_guard = guard.position();
        } else if (memo && m_loads > 0 && kept == m_memo->m_loads.size() && kept < kMemoLoads) {
            m_memo->m_loads.push_back({m_tags, charactersRead() - readBefore, m_limit, m_block});
        }
        ++m_loads;
    }

    static QTextBlock runBefore(QTextBlock block)
    {
        for (int more = 0; more < 63 && block.previous().isValid(); ++more)
            block = block.previous();
        return block;
    }

    TagScan m_scan;
    qsizetype m_budget;
    qsizetype m_limit;
    QTextBlock m_block;
    Memo *m_memo;
    int m_key = -1; // where the first run begins
    std::vector<Tag> m_tags;
    std::vector<Tag> m_read; // a run's tags as read (its room kept from run to run)
    size_t m_index = 0;
    size_t m_loads = 0;
    qsizetype m_replayed = 0; // characters read by the runs taken from the memo
    bool m_gaveUp = false;
};

// A search that may read all the page (a jump, not the highlight) may read
// its text at once; it is let go when the search ends.
class TagMatcher::Bulk {
public:
    explicit Bulk(TagMatcher &matcher)
        : m_matcher(matcher)
    {
        if (matcher.m_page || matcher.m_budget < kBulkBudget)
            return;
        m_page.emplace(matcher.m_document);
        matcher.m_page = &*m_page;
    }
    ~Bulk()
    {
        if (m_page)
            m_matcher.m_page = nullptr;
    }
    Bulk(const Bulk &) = delete;
    Bulk &operator=(const Bulk &) = delete;

private:
    // Budgets from this on are a whole page's.
    static constexpr qsizetype kBulkBudget = 4 * 1024 * 1024;
    TagMatcher &m_matcher;
    std::optional<PageText> m_page;
};

namespace {

// The elements open at a position, the innermost first, found by reading
// backwards: an end tag hides the elements back to its start tag; of the
// rest, an element whose end tag may be left out is skipped when a later
// sibling closed it.
class Ancestors {
public:
    using Next = std::function<const Tag *()>;
    using Read = std::function<qsizetype()>;
    Ancestors(Next next, Read read)
        : m_next(std::move(next))
        , m_read(std::move(read))
    {}

    // Characters read so far.
    qsizetype read() const { return m_read(); }

    // The next one out; nothing at the page's start or the budget, or once
    // more than limit characters have been read.
    std::optional<Tag> next(qsizetype limit = std::numeric_limits<qsizetype>::max())
    {
        while (read() <= limit) {
            const Tag *tag = m_next();
            if (!tag)
                break;
            if (tag->end) {
                if (!is(tag->name, u"br"))
                    m_pending.push_back({tag->name, tag->groups});
                continue;
            }
            if (isEmptyElement(*tag))
                continue;
            // Closed by an end tag read already, or inside an element that
            // one closed: an end tag of <b>, <i>, … closes only its own.
            if (!m_pending.empty() &&
                (settles(*tag) ||
                 !std::all_of(m_pending.begin(), m_pending.end(),
                              [](const Name &end) { return end.groups & Formatting; })))
                continue;
            if (closedBySibling(*tag)) {
                m_siblings.push_back({tag->name, tag->groups});
                continue;
            }
            // What comes before it in its parent is its sibling, which it
            // may close (as a <div> closes a <p>).
            m_siblings.assign(1, {tag->name, tag->groups});
            return *tag;
        }
        return std::nullopt;
    }

private:
    // Whether the start tag is that of an end tag read after it; those read
    // after that one are settled with it.
    bool settles(const Tag &tag)
    {
        for (size_t k = m_pending.size(); k-- > 0;) {
            if (m_pending[k].name == tag.name) {
                m_pending.resize(k);
                if (m_pending.empty())
                    m_siblings.push_back({tag.name, tag.groups});
                return true;
            }
        }
        if (tag.groups & Special) {
            // Open when they came: those that cannot reach past it closed
            // nothing.
            std::erase_if(m_pending,
                          [](const Name &end) { return !(end.groups & (Special | Formatting)); });
        }
        return false;
    }

    bool closedBySibling(const Tag &tag) const
    {
        for (const Name &sibling : m_siblings) {
            if (startClosesSibling(sibling.name, sibling.groups, tag.name, tag.groups))
                return true;
        }
        return false;
    }

    Next m_next;
    Read m_read;
    std::vector<Name> m_pending;
    std::vector<Name> m_siblings;
};

} // namespace

// The open elements as a browser's tree builder keeps them, from a start
// tag on (the target): the elements it is in are read backwards only as
// far as a tag after it needs to look.
class TagMatcher::Simulation {
public:
    struct Entry {
        Tag tag;
        bool target = false;
    };
    // What became of the target: closed by closedBy, its own end tag when
    // matched.
    struct Outcome {
        bool closed = false;
        bool matched = false;
        Tag closedBy;
    };

    explicit Simulation(Ancestors &ancestors)
        : m_ancestors(ancestors)
    {}

    void pushTarget(const Tag &tag) { m_stack.push_back({tag, true}); }
    const Outcome &outcome() const { return m_outcome; }
    // The start tag that the last end tag taken closed.
    const std::optional<Tag> &matchedStart() const { return m_matchedStart; }

    // A start tag taken is kept on the stack (moved there when it may be).
    void take(Tag tag)
    {
        if (tag.end)
            endTag(tag);
        else
            startTag(std::move(tag));
    }

private:
    // The entry depth places below the top, reading further ancestors when
    // the stack runs out; null at the end.
    Entry *at(size_t depth)
    {
        if (depth >= kDeepest)
            return nullptr;
        while (depth >= m_stack.size()) {
            if (m_exhausted)
                return nullptr;
            std::optional<Tag> outer =
                m_ancestors.next(m_near ? kNearReach : std::numeric_limits<qsizetype>::max());
            if (!outer) {
                // Near, the reading may go on later.
                m_exhausted = !m_near;
                return nullptr;
            }
            m_stack.push_front({*outer, false});
        }
        return &m_stack[m_stack.size() - 1 - depth];
    }

    // The depth of the first entry (from the top) that match accepts,
    // looking no further than one that stop accepts; -1 when none.
    template <typename Match, typename Stop> long find(Match match, Stop stop)
    {
        for (size_t depth = 0;; ++depth) {
            Entry *entry = at(depth);
            if (!entry)
                return -1;
            if (match(entry->tag))
                return long(depth);
            if (stop(entry->tag))
                return -1;
        }
    }

    // Takes the entries from the top down to depth off the stack; the
    // closing tag matched the one at depth when matched.
    void popTo(long depth, const Tag &by, bool matched)
    {
        for (long d = 0; d <= depth; ++d) {
            const Entry &entry = m_stack.back();
            if (d == depth && matched && !entry.target)
                m_matchedStart = entry.tag;
            if (entry.target)
                close(by, matched && d == depth);
            m_stack.pop_back();
        }
    }

    void close(const Tag &by, bool matched)
    {
        if (m_outcome.closed)
            return;
        m_outcome.closed = true;
        m_outcome.matched = matched;
        m_outcome.closedBy = by;
    }

    // An element that ends alone, those opened in it staying open.
    void removeAt(long depth, const Tag &by)
    {
        const size_t index = m_stack.size() - 1 - size_t(depth);
        if (m_stack[index].target)
            close(by, by.end);
        else if (by.end)
            m_matchedStart = m_stack[index].tag;
        m_stack.erase(m_stack.begin() + qsizetype(index));
    }

    template <typename Match, typename Stop> void closeIf(const Tag &by, Match match, Stop stop)
    {
        const long depth = find(match, stop);
        if (depth >= 0)
            popTo(depth, by, false);
    }

    void startTag(Tag tag)
    {
        // What a start tag closes is near: an element it would close lies
        // within a few lines, or is taken not to be open.
        m_near = true;
        const QString &n = tag.name;
        const auto closedBy = [&tag](const Tag &o) {
            return startClosesSibling(tag.name, tag.groups, o.name, o.groups);
        };
        if (tag.groups & ParagraphCloser)
            closeIf(
                tag, [](const Tag &o) { return is(o.name, u"p"); }, endsParagraphSearch);
        if (is(n, u"li") || is(n, u"dd") || is(n, u"dt")) {
            closeIf(tag, closedBy, [](const Tag &o) {
                return (o.groups & Special) && !is(o.name, u"address") && !is(o.name, u"div") &&
                       !is(o.name, u"p");
            });
        } else if (is(n, u"td") || is(n, u"th") || is(n, u"tr") || is(n, u"tbody") ||
                   is(n, u"thead") || is(n, u"tfoot")) {
            // The deepest element of the table that this one ends.
            long deepest = -1;
            for (size_t depth = 0;; ++depth) {
                const Entry *entry = at(depth);
                if (!entry || (entry->tag.groups & TableScopeBoundary))
                    break;
                if (closedBy(entry->tag))
                    deepest = long(depth);
            }
            if (deepest >= 0)
                popTo(deepest, tag, false);
        } else if (is(n, u"a") || is(n, u"nobr")) {
            const long depth = find([&n](const Tag &o) { return o.name == n; },
                                    [](const Tag &o) { return o.groups & Special; });
            if (depth >= 0)
                removeAt(depth, tag);
        } else if (is(n, u"button") || is(n, u"body")) {
            const bool body = is(n, u"body");
            const QString closes = body ? QStringLiteral("head") : n;
            closeIf(
                tag, [&closes](const Tag &o) { return o.name == closes; },
                [body](const Tag &o) { return !body && (o.groups & Special); });
        } else {
            // Only the current element: a heading, an option, ruby text.
            const Entry *top = at(0);
            if (top && closedBy(top->tag))
                popTo(0, tag, false);
        }
        m_near = false;
        if (!isEmptyElement(tag))
            m_stack.push_back({std::move(tag), false});
    }

    void endTag(const Tag &tag)
    {
        const QString &n = tag.name;
        if (is(n, u"br"))
            return;
        const auto same = [&n](const Tag &o) { return o.name == n; };
        const auto scope = [](const Tag &o) { return bool(o.groups & ScopeBoundary); };
        long depth;
        if (tag.groups & Formatting) {
            depth = find(same, scope);
            if (depth >= 0)
                removeAt(depth, tag);
            return;
        }
        if (is(n, u"p")) {
            depth = find(same, endsParagraphSearch);
        } else if (is(n, u"li")) {
            depth = find(same, [](const Tag &o) {
                return (o.groups & ScopeBoundary) || is(o.name, u"ol") || is(o.name, u"ul");
            });
        } else if (is(n, u"table") || is(n, u"tbody") || is(n, u"thead") || is(n, u"tfoot") ||
                   is(n, u"tr") || is(n, u"caption") || is(n, u"colgroup")) {
            depth = find(same, [](const Tag &o) { return bool(o.groups & TableScopeBoundary); });
        } else if ((tag.groups & ScopedEnd) || is(n, u"td") || is(n, u"th")) {
            depth = find(same, scope);
        } else {
            depth = find(same, [](const Tag &o) { return bool(o.groups & Special); });
        }
        if (depth >= 0)
            popTo(depth, tag, true);
    }

    Ancestors &m_ancestors;
    std::deque<Entry> m_stack;
    bool m_exhausted = false;
    bool m_near = false;
    Outcome m_outcome;
    std::optional<Tag> m_matchedStart;
};

TagMatcher::TagMatcher(const QTextDocument &document, const LinePieces &pieces,
                       SyntaxBlocks &states)
    : m_document(document)
    , m_pieces(pieces)
    , m_states(states)
{}

QTextBlock TagMatcher::blockAt(qsizetype position) const
{
    const int widget = m_pieces.widgetPosition(int(qMax<qsizetype>(position, 0)), false);
    QTextBlock block = m_document.findBlock(widget);
    return block.isValid() ? block : m_document.lastBlock();
}

std::vector<Tag> TagMatcher::tagsAround(qsizetype position)
{
    TagScan scan(m_document, m_pieces, m_states);
    std::vector<Tag> tags;
    const QTextBlock block = blockAt(position);
    scan.readTagsOf(block, block, tags);
    return tags;
}

std::optional<Tag> TagMatcher::tagAt(qsizetype position)
{
    for (const Tag &tag : tagsAround(position)) {
        if (tag.lt <= position && position <= tag.nameEnd)
            return tag;
    }
    return std::nullopt;
}

TagMatcher::Element TagMatcher::elementOf(const Tag &tag)
{
    Element element;
    if (!tag.end && isEmptyElement(tag)) {
        element.start = tag;
        element.status = Status::Void;
        element.from = tag.lt;
        element.to = afterTag(tag);
        return element;
    }
    const Bulk bulk(*this);
    if (!tag.end)
        return forward(tag);
    // An end tag: the element it closes among those open before it.
    Backward backward(*this, tag.lt);
    Ancestors ancestors([&backward] { return backward.next(); },
                        [&backward] { return backward.charactersRead(); });
    Simulation simulation(ancestors);
    simulation.take(tag);
    element.start = tag;
    element.status = backward.gaveUp() ? Status::Unknown : Status::Stray;
    element.from = tag.lt;
    element.to = afterTag(tag);
    if (simulation.matchedStart()) {
        element.start = *simulation.matchedStart();
        element.end = tag;
        element.status = Status::Paired;
        element.from = element.start.lt;
    }
    return element;
}

TagMatcher::Element TagMatcher::forward(const Tag &start)
{
    Element element;
    element.start = start;
    element.from = start.lt;
    Backward backward(*this, start.lt);
    Ancestors ancestors([&backward] { return backward.next(); },
                        [&backward] { return backward.charactersRead(); });
    Simulation simulation(ancestors);
    simulation.pushTarget(start);

    TagScan scan(m_document, m_pieces, m_states);
    scan.setPageText(m_page);
    scan.startAt(blockAt(start.lt));
    std::vector<Tag> tags;
    while (!scan.atEnd() && scan.charactersRead() <= m_budget) {
        tags.clear();
        scan.readBlock(tags);
        for (Tag &tag : tags) {
            if (tag.lt <= start.lt)
                continue;
            simulation.take(std::move(tag));
            const auto &outcome = simulation.outcome();
            if (!outcome.closed)
                continue;
            if (outcome.matched) {
                element.end = outcome.closedBy;
                element.status = Status::Paired;
                element.to = afterTag(outcome.closedBy);
            } else {
                element.status = hasOptionalEnd(start.name) ? Status::Implied : Status::Unclosed;
                element.to = outcome.closedBy.lt;
            }
            return element;
        }
    }
    element.status = !scan.atEnd()                ? Status::Unknown
                     : hasOptionalEnd(start.name) ? Status::Implied
                                                  : Status::Unclosed;
    element.to = scan.atEnd() ? m_document.characterCount() - 1 - m_pieces.continuationCount()
                              : scan.blockStart(scan.block());
    return element;
}

std::optional<TagMatcher::Element> TagMatcher::enclosing(qsizetype from, qsizetype to)
{
    const Bulk bulk(*this);
    Backward backward(*this, from);
    Ancestors ancestors([&backward] { return backward.next(); },
                        [&backward] { return backward.charactersRead(); });
    for (int tries = 0; tries < 64; ++tries) {
        const std::optional<Tag> outer = ancestors.next();
        if (!outer)
            return std::nullopt;
        Element element = forward(*outer);
        if (element.to >= to && !(element.from == from && element.to == to))
            return element;
    }
    return std::nullopt;
}

std::optional<Tag> TagMatcher::openAt(qsizetype position)
{
    const Bulk bulk(*this);
    Backward backward(*this, position);
    Ancestors ancestors([&backward] { return backward.next(); },
                        [&backward] { return backward.charactersRead(); });
    return ancestors.next();
}
