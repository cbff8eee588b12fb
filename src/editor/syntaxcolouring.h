#pragma once

#include "editor/htmlscanner.h"
#include "editor/syntaxblocks.h"
#include "editor/syntaxpalette.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTextLayout>
#include <optional>
#include <vector>

class ColouringLayout;
class QPlainTextEdit;
class QRect;

// Colours the HTML source in an editing area, lazily: a line is scanned and
// given its formats just before it is painted, and only when its text or
// the state it begins in changed since. Nothing else is touched: not the
// text, not the undo history, not the modified flag, not the change
// notification. The selection is painted over the colours in the
// selection's own colours.
//
// It watches the area's viewport for paint events (seen before the area
// paints) and the area for palette changes (the background decides the
// colours). The area's document is laid out by a ColouringLayout (as
// RichTextBox's is): a line edited in view gets its colours as the edit lays
// it out, so that its paint need not lay it out again, and formats set at a
// paint are settled there.
class SyntaxColouring : public QObject {
    Q_OBJECT
public:
    // A child of the area; off until switched on.
    explicit SyntaxColouring(QPlainTextEdit *edit);
    ~SyntaxColouring() override;

    bool isOn() const { return !m_blocks.isNull(); }
    void setOn(bool on);

    const SyntaxPalette &palette() const { return m_palette; }
    SyntaxBlocks *blocks() const { return m_blocks; }

    // The switch "语法着色" as stored in the settings file.
    static bool storedSwitch();
    static void storeSwitch(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTextBlock topBlock() const;
    void statesChanged(int firstBlock);
    void colourArea(const QRect &area);
    void colourView(const QRect &area);
    void colourFollowing();
    qreal heightOf(const QTextBlock &block) const;
    QRect staleRect(qreal top, qreal height) const;
    void repaintAfterThisPaint(const QRect &stale);
    void colourBlock(QTextBlock &block, int number);
    // Scans the block and records its end state; the formats it is to have
    // when they differ from those its layout holds.
    std::optional<QList<QTextLayout::FormatRange>> newFormats(QTextBlock block, int number);
    // The same for a line edited in view, asked for by the document's layout
    // before it lays the line out; nothing when the paint is to see to it.
    std::optional<QList<QTextLayout::FormatRange>> editedFormats(const QTextBlock &block);
    void setFormats(QTextBlock &block, const QList<QTextLayout::FormatRange> &formats);
    void backgroundChanged();

    QPlainTextEdit *m_edit;
    QPointer<SyntaxBlocks> m_blocks; // a child of the document
    // The document's layout; gone when the document goes first.
    QPointer<ColouringLayout> m_layout;
    SyntaxPalette m_palette;
    qreal m_lineSpacing; // of the area's font, kept for every paint
    // The first line that may begin in another state since the last paint;
    // -1 when none.
    int m_pendingFrom = -1;
    // Where the view stands: the line it is scrolled to and its size.
    struct ViewPlace {
        int scroll = -1;
        QSize size;
        bool operator==(const ViewPlace &) const = default;
    };
    ViewPlace viewPlace() const;
    // Every line in view held its colours at the last paint, with the view
    // standing here.
    bool m_viewColoured = false;
    ViewPlace m_colouredPlace;
    // The block numbers in view then.
    int m_colouredFirst = 0;
    int m_colouredLast = -1;
    // The first line in view, below its first line, that may begin in
    // another state since that paint; -1 when none.
    int m_followFrom = -1;
    std::vector<HtmlScanner::Kind> m_kinds;
};
