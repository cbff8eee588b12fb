#pragma once

#include "editor/findreplacesearch.h"

#include <QString>
#include <memory>
#include <optional>

class FindReplaceFlatText;
class RichText;
class RichTextBox;

// Find next, replace and replace all on the editing area. Positions are
// full-width, so pages of any length are searched to their end.
//
// On the editing area widget the searches run on a copy of its document
// kept until the next change, and replace all is one undo step.
class FindReplace {
public:
    // Through the RichText interface alone: every search reads Text().
    explicit FindReplace(RichText &richText);
    explicit FindReplace(RichTextBox &richText);
    ~FindReplace();

    FindReplace(const FindReplace &) = delete;
    FindReplace &operator=(const FindReplace &) = delete;

    // Selects the first occurrence of findText that starts at or after the
    // end of the selection (or the caret). Returns false, leaving the
    // selection as it is, when there is none. An empty findText occurs at
    // once: the selection collapses to its end.
    bool FindNextMatch(const QString &findText, Qt::CaseSensitivity cs);
    // The same for a regular expression or whole words (a match of nothing
    // is passed over). An invalid pattern finds nothing.
    bool FindNextMatch(const QString &findText, const SearchOptions &options);

    // Replaces the selection, whatever it holds, by replacement; does
    // nothing when nothing is selected. Returns whether it replaced.
    bool ReplaceSelection(const QString &replacement);

    // Replaces every occurrence of findText, scanning left to right, the
    // occurrences not overlapping and the inserted text not scanned again.
    // The whole text counts as written back even when nothing matched: the
    // change notification is raised and the caret goes to the start.
    // Returns the number of occurrences replaced.
    qsizetype ReplaceAll(const QString &findText, const QString &replacement,
                         Qt::CaseSensitivity cs);
    // The same for a regular expression ($0 to $9 in the replacement stand
    // for its groups) or whole words. An invalid pattern replaces nothing.
    qsizetype ReplaceAll(const QString &findText, const QString &replacement,
                         const SearchOptions &options);

    // The text with every occurrence replaced as ReplaceAll does it.
    static QString replacedText(const QString &text, const QString &findText,
                                const QString &replacement, Qt::CaseSensitivity cs,
                                qsizetype *count = nullptr);
    static QString replacedText(const QString &text, const SearchPattern &pattern,
                                const QString &replacement, qsizetype *count = nullptr);

private:
    bool findInText(const QString &findText, const SearchOptions &options);
    bool findInDocument(const SearchPattern &pattern);
    qsizetype replaceAllInText(const QString &findText, const QString &replacement,
                               const SearchOptions &options);
    qsizetype replaceAllInDocument(const SearchPattern &pattern, const QString &replacement);
    // The search in the document's own text; nothing where the find text
    // holds a line break the document cannot hold, or is empty.
    static std::optional<SearchPattern> documentSearch(const QString &findText,
                                                       const SearchOptions &options);
    void writeBackUnchanged();
    void replaceWholeDocument(const QString &text);
    void caretToStart();

    // The find text as it reads in the document, one paragraph separator per
    // CR LF; nothing when it holds a line break character of another kind.
    static std::optional<QString> documentPattern(const QString &findText);

    RichText &m_richText;
    RichTextBox *m_box = nullptr;
    std::unique_ptr<FindReplaceFlatText> m_flatText;
};
