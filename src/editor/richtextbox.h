#pragma once

#include "editor/richtext.h"

#include <QColor>
#include <QList>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>

class AnsiByteCounter;
class QPainter;
class ColouringLayout;
class TextCodec;
class GlyphCache;
class LinePieces;
class UndoCarets;

// The editing area: a plain-text editor without line wrapping that offers the
// RichText model. Text positions of the model count a line break as two
// characters (CR LF); the widget's own positions count it as one. Converting
// between the two walks the document's blocks and never copies the text.
//
// A long line is held as several blocks (see LinePieces) and shows as several
// screen lines, as if wrapped: the model, the line queries and the byte count
// see one line, the keys and the clipboard treat the boundaries between its
// pieces as no character at all.
class RichTextBox : public QPlainTextEdit, public RichText {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    QString Text() const override;
    void setText(QString text) override;
    qsizetype textLength() const override;

    QString pageText() const override;
    std::unique_ptr<TextCopy> copyPageText() const override;
    void setPageText(LineBreaks::Split page) override;
    LineBreak mainLineBreak() const override;
    bool hasMixedLineBreaks() const override;
    void unifyLineBreaks(LineBreak to) override;
    void replacePage(LineBreaks::Split page) override;

    qsizetype SelStart() const override;
    void setSelStart(qsizetype start) override;
    qsizetype SelLength() const override;
    void setSelLength(qsizetype length) override;

    QString SelText() const override;
    void setSelText(const QString &text) override;

    bool isModified() const override;
    void setModified(bool modified) override;

    // Position conversions between the model (CR LF = 2) and the widget
    // (line break = 1). A model position inside a CR LF maps to the end of
    // its line; at the boundary between two pieces of a line, to the start
    // of the later piece.
    qsizetype toModelPosition(int widgetPosition) const;
    int toWidgetPosition(qsizetype modelPosition) const;

    // Line queries in the area's own line model (no wrapping: one line per
    // CR LF, however many pieces it has). GetCurrentLine is 1-based and
    // follows the caret or the start of the selection; GetLineStart takes a
    // 0-based line and gives the model index of its first character, or -1
    // when there is no such line.
    int GetLineCount() const;
    int GetCurrentLine() const;
    qsizetype GetLineStart(int line) const;

    // True when block continues the line of the block before it: there is no
    // line break between the two. Such a block is a row of a long line, not a
    // line of its own, and is marked so where it is painted.
    bool isContinuation(const QTextBlock &block) const;
    const LinePieces &pieces() const { return *m_pieces; }
    LinePieces &pieces() { return *m_pieces; }

    // Room left of the text for a column that the area shows beside it
    // (the line numbers).
    void setLeftMargin(int width) { setViewportMargins(width, 0, 0, 0); }

    // Length of the text in its page's encoding (GBK unless set), every line
    // break of its own kind, up to the first NUL; without a NUL, with the
    // bytes a save writes around the text (a byte-order mark, the final
    // line break) as set.
    qint64 ansiByteCount() const;
    void setByteMeasure(const TextCodec *codec, qint64 bytesAroundText = 0);

    // Something drawn over the text after each paint (the checker's
    // underlines); none when empty.
    void setOverlay(std::function<void(QPainter &painter)> overlay);
    // Backgrounds under stretches of the text (the marked tag names): each
    // cursor's selection on its colour, following edits as cursors do.
    // Cheaper to draw than extra selections, which draw their rows thrice.
    struct Underlay {
        QTextCursor range;
        QColor colour;
    };
    void setUnderlays(QList<Underlay> underlays);
    const QList<Underlay> &underlays() const { return m_underlays; }
    QTextBlock firstBlockInView() const { return firstVisibleBlock(); }

    // Line breaks of any kind (CR LF, CR, LF) as the widget's own. Works in
    // place when the text is not shared.
    static QString normalizedLineBreaks(QString text);

signals:
    // Raised after every change of the text, typed or written by the program.
    void Change();
    // The main kind of line break changed, or breaks of another kind came or
    // went.
    void LineBreaksChanged();
    // Mouse buttons over the area; the area's own handling has run.
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button, const QPoint &globalPos);
    // Drags and drops: the area inserts nothing by itself, the connected
    // handlers accept or refuse the event.
    void OLEDragOver(QDragMoveEvent *event);
    void OLEDragDrop(QDropEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // The selection's text as the widget holds it, each line break written
    // as lineBreak and the boundaries between pieces left out.
    QString selectedText(const QTextCursor &cursor, QStringView lineBreak) const;
    // Runs an edit of the widget's own that may remove a block boundary, empty
    // a piece or leave a block too long as one undo step with the repair of
    // the pieces. The step begins at the caret, where undo puts it back; a
    // typed key joins the step of the keys typed just before it.
    void editKeepingPieces(const std::function<void()> &edit, bool typing = false);
    // Replaces the selection by text as one undo step.
    void insertKeepingPieces(QStringView text);
    // Whether a key or an input method's text may join or empty pieces or
    // lengthen a block too much.
    bool mayJoinOrLengthen(qsizetype inserted, bool removesSelection, int key) const;
    void stepIntoPieceBeforeDeleting(const QKeyEvent *event);
    // A key that moves the caret a character (characterMove), or to the
    // start or end of the line.
    void moveOverBoundary(QKeyEvent *event, bool characterMove);
    // Word moves and deletions in a line of several pieces; false where the
    // widget's own do as well.
    bool wordKey(QKeyEvent *event);
    void undoOrRedo(QKeyEvent *event);
    void paintContinuations(const QRect &area);

    // The run of typing that the next typed key continues: where it began
    // (the undo steps then and the caret), and where it ended.
    struct TypingRun {
        int fromSteps = -1;
        int before = 0;
        int steps = -1;
        int end = -1;
        quint64 changes = 0;
    };
    TypingRun m_run;
    // When and where the last double-click was, for a triple click.
    qint64 m_doubleClickTime = -1;
    QPoint m_doubleClickPoint;

    // What the glyph cache was last told of the view: its first block, its
    // height and the document's block count.
    struct GlyphView {
        int first = -1;
        int height = 0;
        int blocks = 0;
        bool operator==(const GlyphView &) const = default;
    };
    GlyphView m_glyphView;
    std::function<void(QPainter &)> m_overlay;
    QList<Underlay> m_underlays;
    QList<QRectF> underlayRects(const QTextCursor &range) const;

    // Given to the area first: the document the others follow is its own.
    ColouringLayout *m_layout;
    LinePieces *m_pieces;
    AnsiByteCounter *m_byteCounter;
    GlyphCache *m_glyphs;
    UndoCarets *m_undoCarets;
};
