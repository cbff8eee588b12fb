#include "controls/stabarlayout.h"

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
    if (layout.rightTextShown) {
        layout.groove[0] = QLineF(w - 3020, 30, w - 3020, h - 30);
        layout.groove[1] = QLineF(w - 3000, 30, w - 3000, h - 30);
        layout.thirdText = QPointF(w - 3020 - kThirdTextGap - m.thirdTextWidth, top);
        layout.thirdTextShown =
            m.thirdTextWidth > 0 && layout.thirdText.x() >= 90 + m.leftTextWidth + kThirdTextGap;
    }
    return layout;
}

} // namespace StaBarGeometry
