#include "editor/tagprefixindex.h"

#include <algorithm>
#include <numeric>

QString TagPrefixIndex::folded(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t fold = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text.at(i + 1)));
            text[i] = QChar(QChar::highSurrogate(fold));
            text[++i] = QChar(QChar::lowSurrogate(fold));
        } else {
            text[i] = QChar(QChar::toCaseFolded(c.unicode()));
        }
    }
    return text;
}

void TagPrefixIndex::build(const QStringList &entries)
{
    std::vector<QString> foldedEntries;
    foldedEntries.reserve(entries.size());
    for (const QString &entry : entries)
        foldedEntries.push_back(folded(entry));
    m_order.resize(entries.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    // Code unit order: the entries that begin with a prefix stand together.
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return QStringView(foldedEntries[a]).compare(foldedEntries[b]) < 0;
    });
    m_sorted.clear();
    m_sorted.reserve(m_order.size());
    for (const int index : m_order)
        m_sorted.push_back(foldedEntries[index]);
}

int TagPrefixIndex::firstMatch(const QString &prefix) const
{
    const int count = int(m_order.size());
    if (count == 0)
        return -1;
    const QString key = folded(prefix);
    const auto first = std::lower_bound(m_sorted.begin(), m_sorted.end(), key,
                                        [](const QString &entry, const QString &wanted) {
                                            return QStringView(entry).compare(wanted) < 0;
                                        });
    const auto last = std::partition_point(
        first, m_sorted.end(), [&](const QString &entry) { return entry.startsWith(key); });
    // In the order of the search the first entry comes last.
    int bestRank = count + 1;
    for (auto it = first; it != last && bestRank > 1; ++it) {
        const int index = m_order[std::size_t(it - m_sorted.begin())];
        bestRank = std::min(bestRank, index == 0 ? count : index);
    }
    return bestRank > count ? -1 : bestRank % count;
}
