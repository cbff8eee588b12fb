#pragma once

#include <QString>
#include <array>
#include <functional>

class Prompts;
class RichText;
class StatusLine;

// The fragment lists: insert1 to insert3 insert the fragment named by the
// text of Combo1 to Combo3, insert4 puts the text of Text1 in a symbol-font
// tag. Each insertion replaces the selection. The lists' texts are read
// through sources the window sets; until then a list reads as its cover and
// Text1 as "N". Acts on the editing area, status line and prompts it is
// given and owns none of them.
class SnippetLists {
public:
    using TextSource = std::function<QString()>;

    SnippetLists(RichText &richText, StatusLine &status, Prompts &prompts);

    void insert1_Click() { insertFromList(0); }
    void insert2_Click() { insertFromList(1); }
    void insert3_Click() { insertFromList(2); }
    void insert4_Click();

    void insert1_MouseMove() { listButtonHint(0); }
    void insert2_MouseMove() { listButtonHint(1); }
    void insert3_MouseMove() { listButtonHint(2); }
    void insert4_MouseMove();

    // Where the current text of Combo<number> (1 to 3) and of Text1 come from.
    void setComboText(int number, TextSource source);
    void setText1(TextSource source) { m_text1 = std::move(source); }

    // The fragment a list entry inserts, or a null string when list (0 to 2)
    // has no entry of exactly that name.
    static QString fragmentOf(int list, const QString &entry);

private:
    void insertFromList(int list);
    void listButtonHint(int list);

    RichText &m_richText;
    StatusLine &m_status;
    Prompts &m_prompts;
    std::array<TextSource, 3> m_comboText;
    TextSource m_text1;
};
