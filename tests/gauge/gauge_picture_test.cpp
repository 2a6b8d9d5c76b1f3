#include "gauge/gauge_picture.h"

#include <gtest/gtest.h>

#include <QRect>

#include "platform/font.h"

namespace kelmarin {
namespace {

constexpr QRgb kRgbMask = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kNavy = 0x000080;         // clNavy as red, green, blue
constexpr QRgb kInverseNavy = 0xFFFF7F;  // each of its 24 bits flipped

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & kRgbMask; }

// A small framed gauge, 81 x 21: R is (1, 1, 80, 20), W = 80, H = 20.
TGaugeLook SmallLook(int percent, bool showText = true) {
    TGaugeLook look;
    look.width = 81;
    look.height = 21;
    look.foreColor = clNavy;
    look.backColor = clWhite;
    look.font = MakeFont(QStringLiteral("MS Sans Serif"), -12);
    look.showText = showText;
    look.percent = percent;
    return look;
}

// The pixels that the text layer changed, found by composing the same gauge without text.
QRect TextPixels(const QImage& withText, const QImage& withoutText) {
    QRect box;
    for (int y = 0; y < withText.height(); ++y)
        for (int x = 0; x < withText.width(); ++x)
            if (At(withText, x, y) != At(withoutText, x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(GaugePicture, FrameStaysBlack) {
    for (int percent : {0, 57, 100}) {
        const QImage image = ComposeGauge(SmallLook(percent));
        ASSERT_EQ(image.size(), QSize(81, 21));
        for (int x = 0; x < 81; ++x) {
            EXPECT_EQ(At(image, x, 0), kBlack) << "top x=" << x << " at " << percent;
            EXPECT_EQ(At(image, x, 20), kBlack) << "bottom x=" << x << " at " << percent;
        }
        for (int y = 0; y < 21; ++y) {
            EXPECT_EQ(At(image, 0, y), kBlack) << "left y=" << y << " at " << percent;
            EXPECT_EQ(At(image, 80, y), kBlack) << "right y=" << y << " at " << percent;
        }
    }
}

TEST(GaugePicture, BarWithoutTextEndsAtTheFillEdge) {
    // 80 * 57 / 100 = 45.6: the bar covers x = 1..44.
    const QImage image = ComposeGauge(SmallLook(57, false));
    for (int y = 1; y < 20; ++y) {
        for (int x = 1; x < 45; ++x) ASSERT_EQ(At(image, x, y), kNavy) << x << "," << y;
        for (int x = 45; x < 80; ++x) ASSERT_EQ(At(image, x, y), kWhite) << x << "," << y;
    }
}

TEST(GaugePicture, EmptyAndFullWithoutText) {
    const QImage empty = ComposeGauge(SmallLook(0, false));
    const QImage full = ComposeGauge(SmallLook(100, false));
    for (int y = 1; y < 20; ++y)
        for (int x = 1; x < 80; ++x) {
            ASSERT_EQ(At(empty, x, y), kWhite) << x << "," << y;
            ASSERT_EQ(At(full, x, y), kNavy) << x << "," << y;
        }
}

TEST(GaugePicture, TextInvertsWhatLiesBeneath) {
    for (int percent : {0, 57, 100}) {
        const QImage plain = ComposeGauge(SmallLook(percent, false));
        const QImage text = ComposeGauge(SmallLook(percent));
        int changed = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 81; ++x) {
                const QRgb before = At(plain, x, y);
                const QRgb after = At(text, x, y);
                if (after == before) continue;
                ++changed;
                ASSERT_EQ(after, before ^ kRgbMask) << x << "," << y << " at " << percent;
                ASSERT_TRUE(x >= 1 && x < 80 && y >= 1 && y < 20) << "text on the frame";
            }
        EXPECT_GT(changed, 20) << "no text at " << percent;
    }
}

TEST(GaugePicture, TextColoursOverEmptyAndFullBar) {
    const QImage empty = ComposeGauge(SmallLook(0));
    const QImage full = ComposeGauge(SmallLook(100));
    int blackText = 0;
    int inverseText = 0;
    for (int y = 1; y < 20; ++y)
        for (int x = 1; x < 80; ++x) {
            const QRgb e = At(empty, x, y);
            const QRgb f = At(full, x, y);
            ASSERT_TRUE(e == kWhite || e == kBlack) << x << "," << y;
            ASSERT_TRUE(f == kNavy || f == kInverseNavy) << x << "," << y;
            blackText += e == kBlack;
            inverseText += f == kInverseNavy;
        }
    EXPECT_GT(blackText, 0);
    // "100%" has more ink than "0%".
    EXPECT_GT(inverseText, blackText);
}

TEST(GaugePicture, GlyphStraddlingTheBarEndChangesColourThere) {
    const QImage image = ComposeGauge(SmallLook(57));
    const QRect box = TextPixels(image, ComposeGauge(SmallLook(57, false)));
    ASSERT_LT(box.left(), 45);
    ASSERT_GT(box.right(), 45);
    // Somewhere a stroke runs across the edge between x = 44 (bar) and x = 45 (empty part):
    // inverted navy on one side, black on the other, touching at least diagonally.
    bool crossing = false;
    for (int y = 1; y < 20; ++y)
        for (int dy = -1; dy <= 1; ++dy)
            crossing |= y + dy >= 1 && y + dy < 20 && At(image, 44, y) == kInverseNavy &&
                        At(image, 45, y + dy) == kBlack;
    EXPECT_TRUE(crossing);
    for (int y = 1; y < 20; ++y) {
        for (int x = 1; x < 45; ++x) {
            const QRgb c = At(image, x, y);
            ASSERT_TRUE(c == kNavy || c == kInverseNavy) << x << "," << y;
        }
        for (int x = 45; x < 80; ++x) {
            const QRgb c = At(image, x, y);
            ASSERT_TRUE(c == kWhite || c == kBlack) << x << "," << y;
        }
    }
}

TEST(GaugePicture, TextIsCentred) {
    for (int percent : {0, 57, 100}) {
        const QRect box =
            TextPixels(ComposeGauge(SmallLook(percent)), ComposeGauge(SmallLook(percent, false)));
        ASSERT_FALSE(box.isEmpty());
        // Centred on half of W = 80 and H = 20, give or take the glyphs' side bearings.
        const int twiceCentreX = box.left() + box.right() + 1;
        const int twiceCentreY = box.top() + box.bottom() + 1;
        EXPECT_NEAR(twiceCentreX, 80, 4) << percent;
        EXPECT_NEAR(twiceCentreY, 20, 4) << percent;
    }
}

TEST(GaugePicture, WithoutFrameTheBarFillsTheWholeGauge) {
    TGaugeLook look = SmallLook(100, false);
    look.border = TBorderStyle::bsNone;
    const QImage full = ComposeGauge(look);
    look.percent = 0;
    const QImage empty = ComposeGauge(look);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 81; ++x) {
            ASSERT_EQ(At(full, x, y), kNavy) << x << "," << y;
            ASSERT_EQ(At(empty, x, y), kWhite) << x << "," << y;
        }
}

TEST(GaugePicture, WideGaugeEdgeAtTenAndFiftyPercent) {
    // Width 1001 with a frame gives W = 1000; the fill edge is an absolute x.
    struct Row {
        int percent, edge;
    };
    for (const Row r : {Row{10, 99}, Row{50, 500}}) {
        TGaugeLook look = SmallLook(r.percent, false);
        look.width = 1001;
        look.height = 5;
        const QImage image = ComposeGauge(look);
        EXPECT_EQ(At(image, r.edge - 1, 2), kNavy) << r.percent;
        EXPECT_EQ(At(image, r.edge, 2), kWhite) << r.percent;
        EXPECT_EQ(At(image, 1, 2), kNavy) << r.percent;
    }
}

TEST(GaugePicture, OtherColours) {
    TGaugeLook look = SmallLook(100, false);
    look.foreColor = clRed;
    look.backColor = clYellow;
    EXPECT_EQ(At(ComposeGauge(look), 40, 10), QRgb{0xFF0000});
    look.percent = 0;
    EXPECT_EQ(At(ComposeGauge(look), 40, 10), QRgb{0xFFFF00});
}

TEST(GaugePicture, AtRatioTwoEveryDevicePixelIsDrawn) {
    TGaugeLook look = SmallLook(57, false);
    look.ratio = 2;
    const QImage plain = ComposeGauge(look);
    ASSERT_EQ(plain.size(), QSize(162, 42));
    EXPECT_EQ(plain.devicePixelRatio(), 2);
    // The frame is two device pixels wide; the bar ends where it does at ratio 1, at x = 45.
    const struct {
        int x;
        QRgb colour;
    } row[] = {{1, kBlack}, {2, kNavy}, {89, kNavy}, {90, kWhite}, {159, kWhite}, {160, kBlack}};
    for (const auto& p : row) EXPECT_EQ(At(plain, p.x, 21), p.colour) << p.x;
    // The text is twice as tall as at ratio 1, drawn in device pixels rather than as a ratio-1
    // picture doubled: some of its 2 x 2 blocks are not of one colour.
    look.showText = true;
    const QImage text = ComposeGauge(look);
    const QRect box = TextPixels(text, plain);
    const QRect once = TextPixels(ComposeGauge(SmallLook(57)), ComposeGauge(SmallLook(57, false)));
    EXPECT_NEAR(box.height(), 2 * once.height(), 2);
    bool finer = false;
    for (int y = box.top() & ~1; y < box.bottom(); y += 2)
        for (int x = box.left() & ~1; x < box.right(); x += 2) {
            const QRgb c = At(text, x, y);
            finer |=
                At(text, x + 1, y) != c || At(text, x, y + 1) != c || At(text, x + 1, y + 1) != c;
        }
    EXPECT_TRUE(finer);
}

TEST(GaugePicture, ZeroSizeGivesNoPicture) {
    TGaugeLook look = SmallLook(50);
    look.width = 0;
    EXPECT_TRUE(ComposeGauge(look).isNull());
    look.width = 2;
    look.height = 2;  // a frame and nothing inside
    const QImage tiny = ComposeGauge(look);
    ASSERT_EQ(tiny.size(), QSize(2, 2));
    EXPECT_EQ(At(tiny, 1, 1), kBlack);
}

}  // namespace
}  // namespace kelmarin
