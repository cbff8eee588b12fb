#pragma once

#include <QPoint>
#include <QString>

// What the tag completion needs from the editing area: the caret, a few
// characters around it, and replacing a range. Positions are those of the
// RichText model (1-based, a line break counts two). Nothing here reads the
// whole document, so every call costs the same on a small and a huge page.
class CaretText {
public:
    virtual ~CaretText() = default;

    virtual qsizetype SelStart() const = 0;

    // The characters from 1-based position through position + length - 1,
    // cut at the end of the text.
    virtual QString Mid(qsizetype position, qsizetype length) const = 0;

    // 1-based position of the last ch among the first count characters;
    // 0 when there is none.
    virtual qsizetype lastIndexOf(QChar ch, qsizetype count) const = 0;

    virtual void setSelStart(qsizetype start) = 0;
    virtual void setSelLength(qsizetype length) = 0;
    virtual void setSelText(const QString &text) = 0;
};

// The list box that shows the entries, inside its container. Left, Top,
// Width and Height are the container's, in twips of the main window's client
// area.
class CompletionList {
public:
    virtual ~CompletionList() = default;

    virtual void Clear() = 0;
    virtual void AddItem(const QString &item) = 0;
    virtual QString List(int index) const = 0;
    virtual int ListCount() const = 0;
    // 0-based; -1 when no entry is selected.
    virtual int ListIndex() const = 0;
    virtual void setListIndex(int index) = 0;

    virtual bool Visible() const = 0;
    virtual void setShown(bool shown) = 0;

    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Move(int left, int top) = 0;
};

// The window around the editing area, for placing the list under the caret.
class CompletionHost {
public:
    virtual ~CompletionHost() = default;

    // The caret's top-left corner in pixels of the editing area.
    virtual QPoint caretPosition() const = 0;

    // In twips of the main window's client area.
    virtual int editLeft() const = 0;
    virtual int editTop() const = 0;
    // The main window's client width and height.
    virtual int scaleWidth() const = 0;
    virtual int scaleHeight() const = 0;
    // Height of one line of the document's text.
    virtual int textHeight() const = 0;
};
