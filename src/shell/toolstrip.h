#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One of the three toolbar strips of the main window (the control array
// `Picback`), with its grip picture `Imagetou` at the left end. Controls of
// the strip are its children, placed at fixed positions. The strip only
// reports the mouse on its own background and grip; what that means is up to
// the window.
class ToolStrip : public QWidget {
    Q_OBJECT
public:
    // Every strip is this high, in twips.
    static constexpr int kHeightTwips = 315;

    ToolStrip(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    QLabel *grip() const { return m_grip; }

signals:
    // The mouse moved over the strip's own background.
    void backgroundMouseMove(int index);
    // The right button was released over the background, or a button other
    // than the left one over the grip: the bar menu is wanted there.
    void menuRequested(int index, const QPoint &globalPos);
    // The left button went down on the grip.
    void gripPressed(int index);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_index;
    QLabel *m_grip;
};

// Places a control of a strip at the strip's top, left twips from its left
// edge, width by height twips.
void placeOnStrip(QWidget *control, int left, int width, int height);

// A push button on a strip, named and captioned (its accessible name too), at
// its place. A click leaves the keyboard where it was; Tab still reaches it.
QPushButton *addStripButton(QWidget *strip, const QString &name, const QString &caption, int left,
                            int width, int height);
