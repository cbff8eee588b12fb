#pragma once

#include <QWidget>

// An etched separator: a dark line with a light line beside it. It keeps
// itself 45 twips thick: Style 0 draws a horizontal line and sets the
// height, any other Style a vertical line and sets the width. A new Style
// shows at the next show or resize.
class ZMLine : public QWidget {
    Q_OBJECT
public:
    explicit ZMLine(QWidget *parent = nullptr);
    explicit ZMLine(int style, QWidget *parent = nullptr);

    // Thickness of the line in twips.
    static constexpr int kThicknessTwips = 45;

    int Style() const { return m_style; }
    void setStyle(int style) { m_style = style; }
    using QWidget::setStyle;

    // The style of what is drawn now.
    int drawnStyle() const { return m_drawnStyle; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void draw();

    int m_style;
    int m_drawnStyle;
};
