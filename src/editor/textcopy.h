#pragma once

#include <QString>
#include <vector>

// A copy of the page's text as its file holds it (RichText::pageText())
// taken a slice at a time, between the events of the user-interface thread,
// so that copying a large page never holds up a keystroke. Edits made while
// it is taken are followed: once complete, the copy equals the text as it is
// then.
class TextCopy {
public:
    virtual ~TextCopy() = default;

    // Copies one more slice of bounded work; true once the copy is complete
    // (and from then on, until an edit).
    virtual bool copyMore() = 0;
    // The complete copy, in consecutive parts.
    virtual std::vector<QString> takeParts() = 0;

    // The parts as one text: joined off the user-interface thread.
    static QString joined(const std::vector<QString> &parts)
    {
        qsizetype size = 0;
        for (const QString &part : parts)
            size += part.size();
        QString text;
        text.reserve(size);
        for (const QString &part : parts)
            text += part;
        return text;
    }
};
