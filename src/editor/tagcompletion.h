#pragma once

#include "editor/tagcompletionports.h"
#include "editor/tagprefixindex.h"

#include <QPoint>
#include <QString>
#include <QStringList>

// The completion list of tag texts that opens under the caret when "<" is
// typed. It follows the editing area's change, key-up and key-down events
// and keeps the state of the tag being typed. The list, the text and the
// window are reached through the interfaces it is given; it owns none.
class TagCompletion {
public:
    // Gap between the caret's line and the list, in twips: below the line,
    // or above it where the list would not fit below.
    static constexpr int kGapBelowLine = 76;
    static constexpr int kGapAboveLine = kGapBelowLine;

    TagCompletion(CaretText &text, CompletionList &list, CompletionHost &host);

    // Fills the list from "tags.dat" in the program's folder, or from path.
    // False, with the list left as it was, when the file cannot be read.
    bool LoadTagList();
    bool LoadTagList(const QString &path);

    // After every change of the text: opens and places the list when a "<"
    // stands just before the caret, and while the list shows takes the
    // typed prefix and closes it when the tag is closed or left.
    void RichText_Change();

    // After a key is released: a letter, a digit 1 to 9 or Backspace
    // selects the entry that begins with the typed prefix.
    void RichText_KeyUp(int keyCode, int shift);

    // The search of a key release, without looking at the key: the first
    // entry beginning with the prefix (ignoring case), examined from the
    // second entry on and the first one last; none selected when none does.
    void selectMatchingEntry();

    // Up and Down while the list shows.
    void selectPrevious();
    void selectNext();

    // Enter while the list shows: replaces the typed tag by the selected
    // entry, puts the caret inside a tag pair and hides the list.
    void accept();

    // Hides the list; entries and selection stay.
    void close();
    bool isShown() const;

    QPoint CaretPoint() const { return m_caretPoint; }
    qsizetype TagStart() const { return m_tagStart; }
    qsizetype TagCaret() const { return m_tagCaret; }
    QString TagPrefix() const { return m_tagPrefix; }

private:
    // Moves the (hidden or shown) list under the caret.
    void placeAtCaret();
    // False, with the list closed, when the tag is closed or left.
    bool takePrefix(qsizetype caret);

    CaretText &m_text;
    CompletionList &m_list;
    CompletionHost &m_host;

    QPoint m_caretPoint;
    qsizetype m_tagStart = 0;
    qsizetype m_tagCaret = 0;
    QString m_tagPrefix;
    // The entries sorted for the search.
    TagPrefixIndex m_index;
};
