#pragma once

#include <QWidget>

class RichTextBox;

// The column of line numbers at the left of the editing area. It numbers
// the page's lines as the status line counts them: a long line held in
// pieces has one number, on its first row. The caret's line stands out.
// The column is as wide as the largest number needs; it is painted again
// only when the view scrolls, the caret changes lines or the number of rows
// changes, so a keystroke within a line costs it nothing.
class LineNumbers : public QWidget {
    Q_OBJECT
public:
    // A child of the area; hidden until switched on.
    explicit LineNumbers(RichTextBox &area);

    void setOn(bool on);
    bool isOn() const { return m_on; }

    // The number shown on the block's row; 0 for a row that continues a line.
    int numberOf(int blockNumber) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitWidth();
    void place();
    void areaUpdated(const QRect &rect, int dy);
    void caretMoved();

    RichTextBox &m_area;
    bool m_on = false;
    int m_digits = 0;
    int m_caretLine = -1;
    int m_blocks = -1;
};
