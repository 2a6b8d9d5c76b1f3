#include "ui/message_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kelmarin {

int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const std::int64_t num = std::int64_t(a) * b;
    const std::int64_t half = std::abs(std::int64_t(c)) / 2;
    std::int64_t q = (std::abs(num) + half) / std::abs(std::int64_t(c));
    if ((num < 0) != (c < 0)) q = -q;
    return int(q);
}

int MinimumButtonWidth(int unitWidth) { return MulDiv(50, unitWidth, 4); }

namespace {

// Spacing values are in dialog units: a quarter of u across, an eighth of v down.
void DeriveSpacing(TMessageLayout& l) {
    l.horzMargin = MulDiv(8, l.unitWidth, 4);
    l.vertMargin = MulDiv(8, l.unitHeight, 8);
    l.horzSpacing = MulDiv(10, l.unitWidth, 4);
    l.vertSpacing = MulDiv(10, l.unitHeight, 8);
    l.buttonHeight = MulDiv(14, l.unitHeight, 8);
    l.buttonSpacing = MulDiv(4, l.unitWidth, 4);
}

}  // namespace

TMessageLayout LayoutMessage(int unitWidth, int unitHeight, QSize textSize, int buttonWidth,
                             int buttonCount, bool hasIcon, int captionWidth) {
    TMessageLayout l;
    l.unitWidth = unitWidth;
    l.unitHeight = unitHeight;
    DeriveSpacing(l);
    l.buttonWidth = buttonWidth;

    int blockWidth = textSize.width();
    int blockHeight = textSize.height();
    if (hasIcon) {
        blockWidth += kMessageIconSize + l.horzSpacing;
        blockHeight = std::max(blockHeight, kMessageIconSize);
    }
    const int rowWidth =
        buttonCount > 0 ? buttonCount * buttonWidth + (buttonCount - 1) * l.buttonSpacing : 0;
    l.client = QSize(std::max(std::max(blockWidth, rowWidth) + 2 * l.horzMargin, captionWidth),
                     blockHeight + l.vertSpacing + l.buttonHeight + 2 * l.vertMargin);

    if (hasIcon) l.icon = QRect(l.horzMargin, l.vertMargin, kMessageIconSize, kMessageIconSize);
    // The text sits at the right of the block, after the icon and its spacing.
    l.text = QRect(l.horzMargin + blockWidth - textSize.width(), l.vertMargin, textSize.width(),
                   textSize.height());

    int x = (l.client.width() - rowWidth) / 2;
    const int y = blockHeight + l.vertMargin + l.vertSpacing;
    for (int i = 0; i < buttonCount; ++i) {
        l.buttons.emplace_back(x, y, buttonWidth, l.buttonHeight);
        x += buttonWidth + l.buttonSpacing;
    }
    return l;
}

}  // namespace kelmarin
