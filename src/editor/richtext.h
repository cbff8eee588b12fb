#pragma once

#include <QString>

// The editing area as the editor's logic sees it: the page as one string
// whose line breaks read back as CR LF, a 0-based caret index and a
// selection counted in that string (a line break counts two).
//
// Setting SelStart moves the caret and clears the selection; setting
// SelLength then selects that many characters after it. Replacing the
// selection inserts plain text (a lone CR or LF starts a new line), leaves
// the caret right after it with nothing selected, and raises the change
// notification of the implementation.
class RichText {
public:
    virtual ~RichText() = default;

    virtual QString Text() const = 0;
    virtual void setText(QString text) = 0;

    // Length of Text() without building it.
    virtual qsizetype textLength() const = 0;

    virtual qsizetype SelStart() const = 0;
    virtual void setSelStart(qsizetype start) = 0;
    virtual qsizetype SelLength() const = 0;
    virtual void setSelLength(qsizetype length) = 0;

    virtual QString SelText() const = 0;
    virtual void setSelText(const QString &text) = 0;

    // Whether the text differs from what it was when last marked unmodified
    // (the page opened, saved or made new); undoing back to that point makes
    // it unmodified again.
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
};
