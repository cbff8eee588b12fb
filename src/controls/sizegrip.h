#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

// The status bar's size grip: dragging it with the left button resizes the
// top-level window from its bottom-right corner, through the window system
// where it allows that, else by following the mouse.
class SizeGrip : public QWidget {
    Q_OBJECT
public:
    explicit SizeGrip(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // The grip's glyph colour, 0x00BBGGRR.
    static constexpr quint32 kGlyphColor = 0x00808080u;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void beginResize(const QPoint &globalPos);

    bool m_resizing = false;
    bool m_followMouse = false;
    QPoint m_startPos;
    QSize m_startSize;
};
