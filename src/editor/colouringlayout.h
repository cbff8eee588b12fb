#pragma once

#include <QList>
#include <QPlainTextDocumentLayout>
#include <QTextLayout>
#include <functional>
#include <optional>

class QPlainTextEdit;

// The plain-text layout of an editing area, with one difference: a line
// edited in view may take its new formats before it is laid out for the
// edit. Qt lays an edited line out at once, and new formats given at its
// paint would have it laid out a second time; given here, the one layout
// holds them.
class ColouringLayout : public QPlainTextDocumentLayout {
    Q_OBJECT
public:
    // Gives the area a new, empty document laid out by a ColouringLayout,
    // and returns the layout.
    static ColouringLayout *installIn(QPlainTextEdit *edit);

    // Asked for a block that an edit changed within it: the formats it is to
    // have, or nothing to leave its formats to the paint.
    using EditedFormats =
        std::function<std::optional<QList<QTextLayout::FormatRange>>(const QTextBlock &)>;
    void setEditedFormats(EditedFormats editedFormats)
    {
        m_editedFormats = std::move(editedFormats);
    }
    const EditedFormats &editedFormats() const { return m_editedFormats; }

    // Formats were set on the block's layout outside an edit: its lines are
    // gone (it is laid out when painted), and the document's note of it as
    // changed is settled here, with nothing else to do.
    void formatsSet(const QTextBlock &block);

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    explicit ColouringLayout(QTextDocument *document);
    bool layOutWithFormats(int from, int charsRemoved, int charsAdded);

    EditedFormats m_editedFormats;
    bool m_settling = false;
    // The block count Qt's layout last saw; -1 before its first change.
    int m_blockCount = -1;
};
