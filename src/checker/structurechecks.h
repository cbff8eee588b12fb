#pragma once

#include "checker/problem.h"
#include "checker/tag.h"

#include <QHash>
#include <QString>
#include <vector>

namespace Checker {

// Which of the warnings about what a page needs are given.
struct NeedsOptions {
    bool doctype = true; // no <!DOCTYPE html> (quirks mode)
    bool title = true;   // no <title>
    bool imgAlt = true;  // <img> without alt
    bool lang = true;    // <html> without lang
};

// The page's elements as a browser builds them from its tags, kept as far as
// the problems an author cares for: elements left open that the standard
// does not close by themselves, end tags with nothing to close, misnested
// tags, a block closing an open <p>, table rows and list items out of place,
// duplicate ids, a second <head> or <body>; and the warnings about what a
// page needs.
class StructureChecks {
public:
    explicit StructureChecks(NeedsOptions needs = {})
        : m_needs(needs)
    {}

    void tag(const Tag &tag, std::vector<Problem> &out);
    // "<!DOCTYPE ..." at pos with its name ("html").
    void doctype(TextPos pos, const QString &name, std::vector<Problem> &out);
    void finish(TextPos end, std::vector<Problem> &out);

private:
    struct Open {
        QString name;
        TextPos pos;
        qsizetype length;
    };

    void startTag(const Tag &tag, std::vector<Problem> &out);
    void endTag(const Tag &tag, std::vector<Problem> &out);
    void closeImplied(const Tag &tag, std::vector<Problem> &out);
    void checkAttributes(const Tag &tag, std::vector<Problem> &out);
    qsizetype find(QStringView name, std::initializer_list<QStringView> boundaries = {}) const;
    // Closes the elements from index up, reporting those that need an end tag.
    void popTo(qsizetype index, const Tag &closer, std::vector<Problem> &out);
    bool inForeign() const;

    NeedsOptions m_needs;
    std::vector<Open> m_open;
    // End tags still to come of elements closed early by a misnested tag.
    QList<QString> m_misnested;
    QHash<QString, TextPos> m_ids;
    bool m_sawDoctype = false;
    bool m_sawTag = false;
    bool m_sawTitle = false;
    bool m_sawHead = false;
    bool m_sawBody = false;
    bool m_sawHtml = false;
};

} // namespace Checker
