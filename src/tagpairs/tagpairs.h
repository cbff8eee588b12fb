#pragma once

#include "tagpairs/summaryfill.h"
#include "tagpairs/tagmatcher.h"

#include <QColor>
#include <QObject>
#include <QTextCursor>
#include <QTimer>
#include <optional>

class RichTextBox;

// The tag pairs in the editing area: when the caret stops in or beside a
// tag's name, that name and its partner's are shown on a background of
// their own (another one when the tag has no partner); Ctrl+J goes to the
// partner, Ctrl+Shift+J selects the element and then its parent. With the
// switches on, editing a tag's name renames its partner in the same undo
// step, and typing the ">" of a start tag or "</" puts the end tag in, as
// an undo step of its own.
class TagPairs : public QObject {
    Q_OBJECT
public:
    // A child of the area.
    explicit TagPairs(RichTextBox &area);

    bool syncRename() const { return m_syncRename; }
    void setSyncRename(bool on) { m_syncRename = on; }
    bool autoClose() const { return m_autoClose; }
    void setAutoClose(bool on) { m_autoClose = on; }

    // Ctrl+J and Ctrl+Shift+J; false when there was nowhere to go.
    bool jumpToPartner();
    bool selectElement();

    // What the highlight shows, worked out now: the tag at the caret and
    // its element.
    struct Shown {
        Tag tag;
        TagMatcher::Element element;
    };
    const std::optional<Shown> &shown() const { return m_shown; }
    void refresh();

    TagMatcher matcher() const;
    // What sums up the page's lines between events.
    SummaryFill &summaryFill() { return *m_fill; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void caretMoved();
    void showHighlight();
    void showMarks(const QList<QTextCursor> &names, bool paired);
    void handle(QEvent *event);
    void startRename(const Shown &pair);
    void endRename();
    bool inRenamedName() const;
    bool renameWith(QEvent *event);
    bool renamePartner(qsizetype lt, qsizetype nameLength);
    void closeStartTag(int gtPosition);
    void closeOpenElement(int slashPosition);
    void insertAt(int position, const QString &text, int caretAfter);
    qsizetype joined(int widgetPosition) const;
    int widget(qsizetype joinedPosition, bool atPieceEnd = false) const;
    QString textOf(qsizetype from, qsizetype to) const;
    bool fresh() const;

    RichTextBox &m_area;
    QTimer m_caretStop;
    SummaryFill *m_fill;
    // What the searches read backwards, kept while the page before it stays.
    mutable TagMatcher::Memo m_memo;
    std::optional<Shown> m_shown;
    // The backgrounds of marked names, for the area's background then.
    QColor m_marksOn;
    QColor m_pairedMark;
    QColor m_aloneMark;
    quint64 m_shownAt = ~quint64(0); // the document's change count then
    int m_shownCaret = -1;
    bool m_syncRename = true;
    bool m_autoClose = false;
    // While the area handles a key given to it here.
    bool m_handling = false;
    // A name renamed with its partner's, from its first key while the caret
    // stays in it: both names are kept in step with the page's edits, so a
    // key edits the partner without searching for it again. Whether they
    // are still partners is asked again when typing pauses.
    struct Rename {
        QTextCursor name;    // the name edited, selected
        QTextCursor partner; // the partner's name, selected
        bool end = false;    // the name is an end tag's
        QString partnerName; // as it stands
    };
    std::optional<Rename> m_rename;
    bool m_renaming = false; // while a key and the partner's edit go in
};
