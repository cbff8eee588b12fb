#pragma once

#include <QVariant>
#include <QWidget>

class QLabel;

// A flat button: a silver rectangle with a centred caption that turns blue
// while a mouse button is held on it and raises `click` when clicked. It
// takes the keyboard focus; Space and Enter press it.
//
// The caption font is the widget's own font (QWidget::setFont), which
// follows the window's until one is set.
class zmBUTTon : public QWidget {
    Q_OBJECT
public:
    // Fill colours, 0x00BBGGRR: at rest and while held.
    static constexpr quint32 kUpColor = 0x00C0C0C0u;
    static constexpr quint32 kDownColor = 0x00CA4711u;

    explicit zmBUTTon(QWidget *parent = nullptr);
    explicit zmBUTTon(const QString &text, QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);

    // Caption colour: a Windows colour value or a system colour 0x80000000 + n.
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);

    QFont Font() const { return font(); }

    // Kept for the forms that set them; they hold nothing.
    QVariant UpCorlor() const { return QVariant(); }
    void setUpCorlor(const QVariant &) {}
    QVariant DownCorlor() const { return QVariant(); }
    void setDownCorlor(const QVariant &) {}

    // The current fill colour, 0x00BBGGRR.
    quint32 fillColor() const { return m_fill; }
    QLabel *captionLabel() const { return m_caption; }

    // Raises click as a mouse click would.
    void performClick();

    QSize sizeHint() const override;

signals:
    void click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setFill(quint32 color);
    void placeCaption();
    void applyForeColor();

    QLabel *m_caption;
    quint32 m_foreColor;
    quint32 m_fill = kUpColor;
    bool m_mouseDown = false;
    bool m_spaceDown = false;
};
