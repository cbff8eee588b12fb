#pragma once

#include "controls/clicklabel.h"
#include "controls/stabarlayout.h"
#include "platform/statusline.h"

#include <QFont>
#include <QWidget>

class SizeGrip;

// A status bar for the bottom of a window: a hint text on the left (`Text`,
// with its own font and colour), a message text on the right (`Text2`), a
// sunken panel it draws itself and a size grip in the window's bottom-right
// corner. It is as wide as the window's inner area; its height is the
// window's to choose.
//
// The right text stands 2950 twips from the bar's right end and is hidden,
// with the groove before it, whenever the left text would run into it; that
// is decided again at every resize.
class StaBar : public QWidget, public StatusLine {
    Q_OBJECT
public:
    explicit StaBar(QWidget *parent = nullptr);

    QString Text() const override;
    void setText(const QString &text) override;
    QString Text2() const override;
    void setText2(const QString &text) override;
    // A short state shown before the right text's groove (the page's
    // encoding); "" shows nothing.
    QString Text3() const;
    void setText3(const QString &text);
    // The mark "已修改" before the third text, while the page has unsaved
    // changes.
    bool modifiedShown() const { return m_modifiedShown; }
    void setModifiedShown(bool shown);

    // Font and colour of the left text only; the right text keeps its own.
    // The font follows the window's until one is set. (This hides
    // QWidget::setFont on purpose: the bar's own font is not a property.)
    QFont Font() const;
    void setFont(const QFont &font);
    // A Windows colour value 0x00BBGGRR, or a system colour 0x80000000 + n.
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);

    // The measures last laid out, in twips.
    const StaBarLayout &currentLayout() const { return m_layout; }

    QLabel *leftLabel() const { return m_labLib; }
    QLabel *rightLabel() const { return m_labRight; }
    QLabel *thirdLabel() const { return m_labCode; }
    QLabel *modifiedLabel() const { return m_labModified; }
    SizeGrip *grip() const { return m_labJiao; }

    QSize sizeHint() const override;

signals:
    // A left click on the left text.
    void click();
    // A left click on the right text.
    void SecondClick();
    // A left click on the third text.
    void ThirdClick();
    // A right-button press on either text or on the bar (not on the grip).
    void RightClick();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    StaBarMeasures currentMeasures() const;
    void layOutBar();
    void placeThirdText();
    void placeRightText();
    // After a text changed: the right text and the texts before it take
    // their new room; whether the right text shows waits for a resize.
    void relayOutTexts();
    void applyForeColor();
    void watchWindow();

    ClickLabel *m_labLib;
    ClickLabel *m_labRight;
    ClickLabel *m_labCode;
    QLabel *m_labModified;
    bool m_modifiedShown = false;
    SizeGrip *m_labJiao;
    quint32 m_foreColor;
    StaBarLayout m_layout;
    bool m_laidOut = false;
    QWidget *m_watchedWindow = nullptr;
};
