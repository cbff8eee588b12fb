#pragma once

#include <QObject>
#include <map>

class QTextDocument;

// Where the caret goes when an edit of the editing area's own is undone or
// redone: where it stood before the edit, or where the edit left it.
//
// Qt takes that place from the last command of the edit it replays. The
// edits that keep a long line's pieces end in a cut or a block's format,
// whose place is a piece boundary or no place at all. Each such edit is
// recorded under the undo steps available once it ended: the count before
// it is undone and after it is redone. A step of anyone else's forgets what
// was recorded from its place on.
class UndoCarets : public QObject {
public:
    explicit UndoCarets(QTextDocument *document);

    // The undo steps available now, the key under which an edit that ends
    // now is recorded.
    int steps() const;
    // An edit begun when steps() gave from has ended; before and after are
    // the caret's positions in the widget before and after it. Replaces
    // what was recorded for a step the edit grew out of.
    void record(int from, int before, int after);
    // The caret for the step about to be undone, or -1 when Qt's own will do.
    int beforeUndo() const;
    // The caret for the step just redone, or -1.
    int afterRedo() const;

private:
    struct Carets {
        int before = 0;
        int after = 0;
    };
    void forgetFrom(int steps);

    QTextDocument *m_document;
    std::map<int, Carets> m_steps;
};
