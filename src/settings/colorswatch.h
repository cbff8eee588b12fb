#pragma once

#include <QAbstractButton>

// A colour field of the settings dialog: a framed box filled with a Windows
// colour value (0x00BBGGRR). Clicking it (mouse, Space) raises clicked();
// a read-only swatch only shows its colour.
class ColorSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    quint32 color() const { return m_color; }
    void setColor(quint32 color);

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 m_color = 0;
    bool m_readOnly = false;
};
