#pragma once

#include "checker/problem.h"
#include "checker/structurechecks.h"
#include "editor/htmlscanner.h"

#include <QSet>
#include <QString>
#include <QStringView>
#include <vector>

namespace Checker {

// Checks a page given line by line (or a line in pieces), in the order of
// the text, so that a long page can be checked a slice at a time. It reads
// the page with the colouring's scanner: the tokenizer's parse errors and
// the full-width slips come from the scan, the structure from its tags.
// finish() adds what only the end of the page shows.
class PageChecker : private HtmlScanner::Sink {
public:
    explicit PageChecker(NeedsOptions needs = {});
    ~PageChecker() override;

    // The encoding the page is in ("GBK", "UTF-8"): its declaration is
    // checked against it. Without one the declaration is not checked.
    void setPageEncoding(const QString &encoding);

    // A piece of the current line; endsLine when a line break follows it.
    void addPiece(QStringView text, bool endsLine);
    void finish();

    // The problems found so far, in the order found (mostly by position).
    const std::vector<Problem> &problems() const { return m_problems; }
    // The line the next piece belongs to.
    int line() const { return m_line; }

private:
    // Text of a name or value that may span pieces.
    struct Capture {
        bool on = false;
        qsizetype from = 0; // in the current piece
        TextPos start;
        QString text;
    };

    void parseError(qsizetype at, QLatin1StringView code) override;
    void tagName(qsizetype at, bool endTag) override;
    void tagNameEnd(qsizetype at) override;
    void attributeName(qsizetype at) override;
    void attributeNameEnd(qsizetype at) override;
    void attributeValue(qsizetype at) override;
    void attributeValueEnd(qsizetype at) override;
    void tagEnd(qsizetype at, bool selfClosing) override;
    void characterReference(qsizetype at, bool inAttribute) override;
    void markup(qsizetype at) override;

    TextPos posAt(qsizetype at) const { return {m_line, m_columnBase + at}; }
    void begin(Capture &capture, qsizetype at);
    void end(Capture &capture, qsizetype at);
    void carry(Capture &capture, bool endsLine);
    void report(Problem problem);
    void checkCharacters(QStringView text);
    void flushTag(bool complete);
    void meantTag();

    NeedsOptions m_needs;
    HtmlScanner::State m_state;
    QStringView m_piece;
    int m_line = 0;
    qsizetype m_columnBase = 0;
    bool m_nonAscii = false;
    bool m_inDoctype = false;
    QString m_encoding;
    QString m_head; // the first part of the page, for its encoding declaration
    std::vector<Problem> m_problems;

    // The tag being read.
    bool m_inTag = false;
    Capture m_name;
    Capture m_attrName;
    Capture m_attrValue;
    Tag m_tag;
    std::vector<Problem> m_tagErrors; // held until the tag's slips are known

    StructureChecks m_structure;
};

// Checks a whole page (line breaks of any kind) in encoding, if given.
std::vector<Problem> checkPage(QStringView text, const QString &encoding = QString(),
                               NeedsOptions needs = {});

} // namespace Checker
