#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The entries of the completion list case-folded and sorted, so that the
// entry a typed prefix selects is found by two binary searches and a scan
// of the matching range, whatever the prefix and however long the list.
class TagPrefixIndex {
public:
    // Folds each character on its own, as comparisons without regard to
    // case fold them.
    static QString folded(QString text);

    void build(const QStringList &entries);

    // The first entry beginning with prefix (ignoring case), examined from
    // the second entry on and the first one last; -1 when none does.
    int firstMatch(const QString &prefix) const;

private:
    std::vector<QString> m_sorted;
    // The index in the list of each sorted entry.
    std::vector<int> m_order;
};
