#pragma once

#include "editor/tagcompletionports.h"

#include <QTextBlock>

class RichTextBox;

// The text around the caret, read from the editing area's document a
// character at a time near the caret: the cost of a call follows the
// distance it looks, never the size of the page or of the caret's line.
class RichTextBoxCaretText : public CaretText {
public:
    // Up to this many characters are read one by one; a longer stretch is
    // read a line at a time. Reading single characters needs no layout and
    // costs the same on any page; cursor selections would lay out the line.
    static constexpr int kCharByChar = 4096;

    explicit RichTextBoxCaretText(RichTextBox &richText);

    qsizetype SelStart() const override;
    QString Mid(qsizetype position, qsizetype length) const override;
    qsizetype lastIndexOf(QChar ch, qsizetype count) const override;

    void setSelStart(qsizetype start) override;
    void setSelLength(qsizetype length) override;
    void setSelText(const QString &text) override;

private:
    // The caret's widget position, its block (the widget start and length
    // of its line, or of its piece of a long line) and its model position,
    // found once for as long as neither the text nor the caret changes.
    struct CaretLine {
        int caret = -1;
        QTextBlock block;
        int start = 0;
        qsizetype model = 0;
        // Model less widget position on this block.
        qsizetype offset = 0;
        quint64 changes = 0;
        // The block's text when it is of ordinary length.
        QString text;
    };
    // A model position in the widget; insideBreak when it falls between the
    // CR and the LF of a line break (widget is then the end of the line).
    struct Place {
        int widget;
        bool insideBreak;
    };
    const CaretLine &caretLine() const;
    // The caret moved within the line found: the line stays, or is found
    // anew when the caret left it.
    const CaretLine &moveCaretOnLine(int caret) const;
    Place place(const CaretLine &line, qsizetype model) const;

    RichTextBox &m_richText;
    mutable CaretLine m_line;
};
