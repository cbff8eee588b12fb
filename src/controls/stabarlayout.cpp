#include "controls/stabarlayout.h"

#include <algorithm>
#include <cmath>

namespace StaBarGeometry {

StaBarLayout layOut(const StaBarMeasures &m)
{
    StaBarLayout layout;
    const double w = m.width;
    const double h = m.height;

    layout.panel[0] = QLineF(30, 30, w - 500, 30);
    layout.panel[1] = QLineF(w - 500, 30, w - 500, h - 30);
    layout.panel[2] = QLineF(w - 500, h - 30, 30, h - 30);
    layout.panel[3] = QLineF(30, h - 30, 30, 30);

    layout.grip = QPointF(w - m.gripWidth - 45, h - m.gripHeight - 40);

    // Both texts share one top, taken from the left text's height.
    const long long twiceTop = std::llround(h - m.leftTextHeight + 60);
    const double top = double(twiceTop / 2);
    layout.leftText = QPointF(90, top);
    layout.rightText = QPointF(w - kRightTextFromEnd, top);

    layout.rightTextShown = !(layout.rightText.x() < m.leftTextWidth);
    if (!layout.rightTextShown)
        return layout;

    const double leftTextEnd = 90 + m.leftTextWidth + kThirdTextGap;
    const auto roomFor = [](double width) { return width > 0 ? width + kThirdTextGap : 0; };
    if (m.rightTextWidth > kRightTextWidth) {
        const double rightEnd = layout.rightText.x() + kRightTextWidth;
        const double leftmost =
            leftTextEnd + roomFor(m.modifiedTextWidth) + roomFor(m.thirdTextWidth) + 70;
        const double x =
            std::min(layout.rightText.x(), std::max(rightEnd - m.rightTextWidth, leftmost));
        layout.rightText.setX(x);
        layout.rightTextWidth = rightEnd - x;
    }
    const double grooveX = layout.rightText.x() - 70;
    layout.groove[0] = QLineF(grooveX, 30, grooveX, h - 30);
    layout.groove[1] = QLineF(grooveX + 20, 30, grooveX + 20, h - 30);
    layout.thirdText = QPointF(grooveX - roomFor(m.thirdTextWidth), top);
    layout.thirdTextShown = m.thirdTextWidth > 0 && layout.thirdText.x() >= leftTextEnd;
    layout.modifiedText = QPointF(layout.thirdText.x() - roomFor(m.modifiedTextWidth), top);
    layout.modifiedTextShown = m.modifiedTextWidth > 0 && layout.modifiedText.x() >= leftTextEnd;
    return layout;
}

} // namespace StaBarGeometry
