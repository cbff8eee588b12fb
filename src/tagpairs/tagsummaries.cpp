#include "tagpairs/tagsummaries.h"

#include <QMutex>
#include <QSet>
#include <QTextDocument>

namespace {

// Names kept as long as the program runs, so that the tags that carry one
// copy it without counting references (a search copies hundreds of
// thousands): pages use few names, and each is kept once for all pages.
// Past that many (pages of made-up names) a page keeps its own copy.
constexpr qsizetype kKeptNames = 64 * 1024;

QString keptForGood(const QString &name)
{
    static QMutex mutex;
    // Never freed: the texts of the names handed out stay valid.
    static auto *names = new QSet<QString>;
    const QMutexLocker lock(&mutex);
    auto at = names->constFind(name);
    if (at == names->cend()) {
        if (names->size() >= kKeptNames)
            return name;
        // A copy of its own, whatever the name shares its text with.
        at = names->insert(QString(name.constData(), name.size()));
    }
    return QString::fromRawData(at->constData(), at->size());
}

} // namespace

TagSummaries::TagSummaries(QTextDocument *document)
    : QObject(document)
    , m_document(document)
{
    connect(document, &QTextDocument::contentsChange, this, &TagSummaries::contentsChange);
}

TagSummaries *TagSummaries::of(const QTextDocument &document)
{
    auto *summaries = document.findChild<TagSummaries *>(QString(), Qt::FindDirectChildrenOnly);
    // A cache of the document, made on the first read of it.
    return summaries ? summaries : new TagSummaries(const_cast<QTextDocument *>(&document));
}

TagSummaries::Line *TagSummaries::slot(const QTextBlock &block) const
{
    const size_t index = size_t(block.fragmentIndex());
    if (!block.isValid() || index / kChunk >= m_lines.size() || !m_lines[index / kChunk])
        return nullptr;
    return &(*m_lines[index / kChunk])[index % kChunk];
}

const TagSummaries::Line *TagSummaries::kept(const QTextBlock &block) const
{
    const Line *line = slot(block);
    return line && line->length == block.length() ? line : nullptr;
}

const TagSummaries::Line *TagSummaries::find(const QTextBlock &block,
                                             HtmlScanner::State entering) const
{
    const Line *line = kept(block);
    return line && line->entering == entering.toInt() ? line : nullptr;
}

void TagSummaries::store(const QTextBlock &block, Line line)
{
    const size_t index = size_t(block.fragmentIndex());
    if (!block.isValid())
        return;
    if (index / kChunk >= m_lines.size())
        m_lines.resize(index / kChunk + 1);
    if (!m_lines[index / kChunk])
        m_lines[index / kChunk] = std::make_unique<Chunk>();
    line.events.shrink_to_fit();
    (*m_lines[index / kChunk])[index % kChunk] = std::move(line);
}

bool TagSummaries::number(const QString &name, quint32 groups, quint16 &id)
{
    const auto known = m_numbers.constFind(name);
    if (known != m_numbers.cend()) {
        id = *known;
        return true;
    }
    if (m_names.size() >= size_t(kLongest))
        return false;
    id = quint16(m_names.size());
    m_names.push_back({keptForGood(name), groups});
    m_numbers.insert(name, id);
    return true;
}

void TagSummaries::clear()
{
    m_lines.clear();
}

qsizetype TagSummaries::memoryUsed() const
{
    qsizetype bytes = qsizetype(m_lines.capacity() * sizeof(m_lines[0]));
    for (const auto &chunk : m_lines) {
        if (!chunk)
            continue;
        bytes += qsizetype(sizeof(Chunk));
        for (const Line &line : *chunk)
            bytes += qsizetype(line.events.capacity() * sizeof(Event));
    }
    return bytes;
}

void TagSummaries::contentsChange(int position, int, int added)
{
    // The blocks that hold the edit now: those edited, and those the edit
    // made (maybe in the place of ones it took away).
    QTextBlock block = m_document->findBlock(position);
    QTextBlock last = m_document->findBlock(position + added);
    if (!last.isValid())
        last = m_document->lastBlock();
    for (; block.isValid(); block = block.next()) {
        if (Line *line = slot(block))
            *line = Line();
        if (block == last)
            break;
    }
}
