#pragma once

#include <QLineF>
#include <QPointF>

// Where the status bar puts its panel, its texts and its size grip. All
// measures are in twips; the bar is as wide as its window's inner area.
struct StaBarMeasures {
    double width = 0;       // the bar's width: the window's inner width
    double height = 0;      // the bar's height, set by its window
    double gripWidth = 240; // the size grip
    double gripHeight = 240;
    double leftTextWidth = 0; // the left text, as wide as what it shows
    double leftTextHeight = 180;
    double thirdTextWidth = 0;    // the small text before the groove; 0 for none
    double modifiedTextWidth = 0; // the mark before the third text; 0 for none
    double rightTextWidth = 0;    // what the right text needs to show in full
};

struct StaBarLayout {
    // The sunken panel: top, right, bottom and left edge.
    QLineF panel[4];
    QPointF grip;
    QPointF leftText;
    QPointF rightText;
    // The right text and the groove in front of it show only while the
    // left text leaves them room. A right text longer than its place takes
    // room to its left, as far as the texts before it leave.
    bool rightTextShown = false;
    double rightTextWidth = 2400;
    // The third text stands right before the groove, and shows only while
    // the right text does and the left text leaves it room too.
    QPointF thirdText;
    bool thirdTextShown = false;
    // The mark of unsaved changes stands right before the third text, on
    // the same terms.
    QPointF modifiedText;
    bool modifiedTextShown = false;
    // The groove: its light line, then its dark line.
    QLineF groove[2];
};

namespace StaBarGeometry {

// Gap between the bar's right end and the right text.
inline constexpr double kRightTextFromEnd = 2950;
// The right text's own width, which it keeps while its text fits.
inline constexpr double kRightTextWidth = 2400;
// Room on either side of the third text.
inline constexpr double kThirdTextGap = 120;

StaBarLayout layOut(const StaBarMeasures &measures);

} // namespace StaBarGeometry
