// The picture box's shrink: proportions kept, never enlarged, whole rows and columns kept.
#include <gtest/gtest.h>

#include <QImage>

#include "ui/picture_shrink.h"

namespace kelmarin {
namespace {

TEST(AboutBoxShrink, ProportionalFit) {
    struct Row {
        QSize picture, box, shown;
    };
    const Row rows[] = {
        {{300, 300}, {89, 89}, {89, 89}},  // the about picture
        {{50, 40}, {89, 89}, {50, 40}},    // fits: never enlarged
        {{89, 89}, {89, 89}, {89, 89}},    // exactly fits
        {{400, 100}, {89, 89}, {89, 22}},  // wide: 100 * 89 / 400 = 22.25
        {{100, 400}, {89, 89}, {22, 89}},  // tall
        {{300, 200}, {89, 89}, {89, 59}},  // 200 * 89 / 300 = 59.33
        {{1000, 1}, {89, 89}, {89, 1}},    // a line stays at least one pixel high
        {{120, 60}, {100, 40}, {80, 40}},  // the height limits: 120 * 40 / 60
        {{0, 10}, {89, 89}, {}},           // nothing to show
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ProportionalFit(r.picture, r.box), r.shown)
            << r.picture.width() << "x" << r.picture.height();
    }
}

// Every source pixel carries its own coordinates, so each result pixel tells where it came from.
QImage CoordinateImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) | ((y >> 8) << 4)));
    }
    return image;
}

QPoint SourceOf(QRgb p) {
    return {qRed(p) | ((qBlue(p) & 0x0F) << 8), qGreen(p) | ((qBlue(p) >> 4) << 8)};
}

TEST(AboutBoxShrink, KeepsWholeRowsAndColumnsOfTheAboutPicture) {
    const QImage shown = ShrinkToFit(CoordinateImage(300, 300), QSize(89, 89));
    ASSERT_EQ(shown.size(), QSize(89, 89));
    EXPECT_EQ(shown.format(), QImage::Format_RGB888);
    // Worked examples: 1 * 300 / 89 = 3.37, 44 * 300 / 89 = 148.3, 88 * 300 / 89 = 296.6.
    EXPECT_EQ(SourceOf(shown.pixel(0, 0)), QPoint(0, 0));
    EXPECT_EQ(SourceOf(shown.pixel(1, 44)), QPoint(3, 148));
    EXPECT_EQ(SourceOf(shown.pixel(88, 88)), QPoint(296, 296));
    // Each result row comes from one source row and each column from one source column, and
    // they advance in order.
    for (int j = 0; j < 89; ++j) {
        const int row = SourceOf(shown.pixel(0, j)).y();
        const int column = SourceOf(shown.pixel(j, 0)).x();
        EXPECT_EQ(row, j * 300 / 89);
        EXPECT_EQ(column, j * 300 / 89);
        for (int i = 0; i < 89; ++i) {
            EXPECT_EQ(SourceOf(shown.pixel(i, j)).y(), row);
            EXPECT_EQ(SourceOf(shown.pixel(j, i)).x(), column);
        }
    }
}

TEST(AboutBoxShrink, ShowsNoColourThatIsNotInThePicture) {
    // A checkerboard of two colours: smoothing would mix them.
    QImage board(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) board.setPixel(x, y, (x + y) % 2 ? 0xFFFF0000 : 0xFF0000FF);
    }
    const QImage shown = ShrinkToFit(board, QSize(89, 89));
    for (int y = 0; y < 89; ++y) {
        for (int x = 0; x < 89; ++x) {
            const QRgb p = shown.pixel(x, y);
            ASSERT_TRUE(p == 0xFFFF0000 || p == 0xFF0000FF) << x << "," << y;
        }
    }
}

TEST(AboutBoxShrink, AtRatioTwoTheSameSizeHoldsTwiceThePixelsEachWay) {
    const QImage shown = ShrinkToFit(CoordinateImage(300, 300), QSize(89, 89), 2);
    ASSERT_EQ(shown.size(), QSize(178, 178));
    EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(89, 89));
    // Worked examples: 88 * 300 / 178 = 148.3, 177 * 300 / 178 = 298.3.
    EXPECT_EQ(SourceOf(shown.pixel(1, 88)), QPoint(1, 148));
    EXPECT_EQ(SourceOf(shown.pixel(177, 177)), QPoint(298, 298));
    // A picture that fits keeps its logical size: each of its pixels covers 2 x 2.
    const QImage small = ShrinkToFit(CoordinateImage(40, 30), QSize(89, 89), 2);
    EXPECT_EQ(small.deviceIndependentSize(), QSizeF(40, 30));
    EXPECT_EQ(SourceOf(small.pixel(79, 58)), QPoint(39, 29));
}

TEST(AboutBoxShrink, SmallPicturesStayAsTheyAre) {
    const QImage small = CoordinateImage(40, 30);
    const QImage shown = ShrinkToFit(small, QSize(89, 89));
    EXPECT_EQ(shown, small);
    EXPECT_TRUE(ShrinkToFit(QImage(), QSize(89, 89)).isNull());
    // One bit per pixel cannot be copied bytewise: such pictures are widened first.
    QImage mono(64, 64, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(60, 4, 1);
    mono.setPixel(61, 8, 1);
    const QImage wide = KeepRowsAndColumns(mono, QSize(16, 16));
    ASSERT_EQ(wide.size(), QSize(16, 16));
    EXPECT_EQ(wide.pixel(15, 1), qRgb(255, 255, 255));  // row 4, column 60
    EXPECT_EQ(wide.pixel(15, 0), qRgb(0, 0, 0));
    EXPECT_EQ(wide.pixel(14, 1), qRgb(0, 0, 0));
    EXPECT_EQ(wide.pixel(15, 2), qRgb(0, 0, 0)) << "column 61 is dropped";
}

}  // namespace
}  // namespace kelmarin
