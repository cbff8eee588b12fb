#include "shell/bandlayout.h"

namespace BandLayout {

namespace {
// ComYuansuVisible stays this far from the right edge of strip 2.
constexpr int kComYuansuFromRight = 315;
} // namespace

Result compute(const Input &input)
{
    Result result;
    std::array<int, 3> paneHeight{};
    for (int i = 0; i < 3; ++i)
        paneHeight[i] = input.stripVisible[i] ? input.stripHeights[i] : 0;

    result.strips[0] = QRect(0, 0, input.outerWidth, input.stripHeights[0]);
    result.strips[1] = QRect(0, paneHeight[0], input.outerWidth, input.stripHeights[1]);

    const int editingHeight =
        input.innerHeight - paneHeight[0] - paneHeight[1] - paneHeight[2] - input.statusHeight;
    if (editingHeight >= 0)
        result.editingArea =
            QRect(0, paneHeight[0] + paneHeight[1], input.innerWidth, editingHeight);
    else
        result.editingArea = input.previousEditingArea;

    result.strips[2] = QRect(0, paneHeight[0] + paneHeight[1] + result.editingArea.height(),
                             input.innerWidth, input.stripHeights[2]);
    result.statusBar =
        QRect(0, input.innerHeight - input.statusHeight, input.innerWidth, input.statusHeight);
    result.comYuansuLeft = input.innerWidth - kComYuansuFromRight;
    return result;
}

} // namespace BandLayout
