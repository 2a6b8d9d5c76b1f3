#include <gtest/gtest.h>

#include "ui/message_layout.h"

namespace kelmarin {
namespace {

TEST(MessageDialogLayout, MulDivRoundsHalvesAwayFromZero) {
    struct Row {
        int a, b, c, expected;
    };
    const Row rows[] = {
        {8, 7, 4, 14},
        {10, 7, 4, 18},
        {10, 5, 4, 13},
        {14, 15, 8, 26},
        {10, 15, 8, 19},
        {-10, 5, 4, -13},
        {10, -5, 4, -13},
        {10, 5, -4, -13},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {50000, 50000, 50000, 50000},  // the product does not overflow
    };
    for (const Row& r : rows)
        EXPECT_EQ(MulDiv(r.a, r.b, r.c), r.expected) << r.a << "*" << r.b << "/" << r.c;
}

// The expected values are worked out by hand from the building rules with u = 7, v = 16:
// margins 14 / 16, spacing 18 / 20, button height 28, button spacing 7, minimum width 88.
TEST(MessageDialogLayout, IconTextAndTwoButtons) {
    EXPECT_EQ(MinimumButtonWidth(7), 88);
    const TMessageLayout l = LayoutMessage(7, 16, QSize(200, 16), 88, 2, true);
    EXPECT_EQ(l.client, QSize(278, 112));  // (32 + 18 + 200) + 28, 32 + 20 + 28 + 32
    EXPECT_EQ(l.icon, QRect(14, 16, 32, 32));
    EXPECT_EQ(l.text, QRect(64, 16, 200, 16));
    ASSERT_EQ(l.buttons.size(), 2u);
    EXPECT_EQ(l.buttons[0], QRect(47, 68, 88, 28));  // (278 - 183) / 2, 32 + 16 + 20
    EXPECT_EQ(l.buttons[1], QRect(142, 68, 88, 28));
}

TEST(MessageDialogLayout, CustomKindHasNoIconAndNoMinimumBlockHeight) {
    const TMessageLayout l = LayoutMessage(7, 16, QSize(100, 16), 88, 1, false);
    EXPECT_TRUE(l.icon.isNull());
    EXPECT_EQ(l.client, QSize(128, 96));  // 100 + 28, 16 + 20 + 28 + 32
    EXPECT_EQ(l.text, QRect(14, 16, 100, 16));
    ASSERT_EQ(l.buttons.size(), 1u);
    EXPECT_EQ(l.buttons[0], QRect(20, 52, 88, 28));
}

TEST(MessageDialogLayout, AButtonRowWiderThanTheTextSetsTheWidth) {
    const TMessageLayout l = LayoutMessage(7, 16, QSize(50, 48), 88, 4, true);
    EXPECT_EQ(l.client, QSize(401, 128));  // 4 * 88 + 3 * 7 + 28, 48 + 20 + 28 + 32
    EXPECT_EQ(l.text, QRect(64, 16, 50, 48));
    ASSERT_EQ(l.buttons.size(), 4u);
    EXPECT_EQ(l.buttons[0].x(), 14);
    EXPECT_EQ(l.buttons[3], QRect(14 + 3 * 95, 84, 88, 28));
}

TEST(MessageDialogLayout, ACaptionWiderThanTheContentWidensTheDialogAndTheRowStaysCentred) {
    const TMessageLayout l = LayoutMessage(7, 16, QSize(100, 16), 88, 1, false, 180);
    EXPECT_EQ(l.client, QSize(180, 96));
    EXPECT_EQ(l.text, QRect(14, 16, 100, 16));
    ASSERT_EQ(l.buttons.size(), 1u);
    EXPECT_EQ(l.buttons[0], QRect(46, 52, 88, 28));  // (180 - 88) / 2
    // A narrower caption leaves the width to the content.
    EXPECT_EQ(LayoutMessage(7, 16, QSize(100, 16), 88, 1, false, 120).client, QSize(128, 96));
}

}  // namespace
}  // namespace kelmarin
