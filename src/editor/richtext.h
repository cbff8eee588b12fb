#pragma once

#include "editor/textcopy.h"
#include "platform/linebreak.h"

#include <QString>
#include <memory>

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

    // The page as its file holds it: every line break of its own kind (CR LF,
    // LF or CR), those typed or inserted of the page's main kind.
    virtual QString pageText() const = 0;
    // pageText() copied a slice at a time, following the edits made
    // meanwhile.
    virtual std::unique_ptr<TextCopy> copyPageText() const = 0;
    // Sets the page from a file's text, each line break kept of its kind.
    virtual void setPageText(LineBreaks::Split page) = 0;
    virtual LineBreak mainLineBreak() const = 0;
    // Whether some line breaks are of another kind than the main one.
    virtual bool hasMixedLineBreaks() const = 0;
    // Makes every line break of kind to, as one edit that undo takes back.
    virtual void unifyLineBreaks(LineBreak to) = 0;
    // Replaces the whole page by a file's text, each line break kept of its
    // kind, as one edit that undo takes back.
    virtual void replacePage(LineBreaks::Split page) = 0;

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
