#pragma once

#include <QObject>
#include <QRect>
#include <array>

class QToolButton;
class QWidget;
class ToolStrip;

// The five bands of the main window: the three toolbar strips `Picback`,
// the editing area between strips 1 and 2, and the status bar at the bottom.
// Creates the strips (children of the window) and lays all five out on
// every resize and whenever a strip is shown or hidden.
class MainBands : public QObject {
    Q_OBJECT
public:
    // Status bar height, in twips.
    static constexpr int kStatusHeightTwips = 330;

    MainBands(QWidget *window, QWidget *editingArea, QWidget *statusBar);

    ToolStrip *Picback(int index) const { return m_strips.at(size_t(index)); }
    QToolButton *ComYuansuVisible() const { return m_comYuansuVisible; }

    bool isStripVisible(int index) const { return m_visible.at(size_t(index)); }
    void setStripVisible(int index, bool visible);

    // A panel below the editing area (the problem list), which takes its
    // height from the editing area while it is shown.
    void setLowerPanel(QWidget *panel) { m_lowerPanel = panel; }

    // Places the bands for the window's current size.
    void layout();

private:
    QWidget *m_window;
    QWidget *m_editingArea;
    QWidget *m_statusBar;
    std::array<ToolStrip *, 3> m_strips{};
    std::array<bool, 3> m_visible{true, true, true};
    QToolButton *m_comYuansuVisible;
    QWidget *m_lowerPanel = nullptr;
};
