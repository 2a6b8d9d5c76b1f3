#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <array>
#include <map>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/canvas/chart_pen.h"

namespace kelmarin {
namespace {

constexpr QRgb kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000, kBlue = 0x0000FF;

// A small white image with the surface drawing straight onto it.
class Surface : public ::testing::Test {
  protected:
    void SetUp() override { Reset(24, 24); }
    void Reset(int w, int h) {
        painter_.reset();
        image_ = QImage(w, h, QImage::Format_RGB32);
        image_.fill(Qt::white);
        painter_ = std::make_unique<QPainter>(&image_);
        canvas_.AttachPainter(painter_.get());
    }
    QRgb At(int x, int y) {
        painter_->end();
        const QRgb rgb = image_.pixel(x, y) & 0xFFFFFF;
        painter_->begin(&image_);
        return rgb;
    }
    QImage Snapshot() {
        painter_->end();
        QImage copy = image_.copy();
        painter_->begin(&image_);
        return copy;
    }
    // The bounding box of the pixels that are not white.
    QRect Ink() {
        const QImage im = Snapshot();
        QRect box;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                if ((im.pixel(x, y) & 0xFFFFFF) != kWhite) box |= QRect(x, y, 1, 1);
        return box;
    }

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    TChartCanvas3D canvas_;
};

TEST_F(Surface, RectangleLeavesOutRightAndBottomEdges) {
    canvas_.Brush().SetStyle(bsClear);
    canvas_.DrawRect(2, 3, 9, 8);
    EXPECT_EQ(At(2, 3), kBlack);
    EXPECT_EQ(At(8, 7), kBlack);  // right − 1, bottom − 1
    EXPECT_EQ(At(9, 7), kWhite);  // right edge
    EXPECT_EQ(At(8, 8), kWhite);  // bottom edge
    EXPECT_EQ(At(5, 5), kWhite);  // clear brush: inside untouched
    canvas_.Brush().SetColor(clRed);
    canvas_.DrawRect(12, 12, 16, 16);
    EXPECT_EQ(At(13, 13), kRed);
    EXPECT_EQ(At(15, 15), kBlack);
    EXPECT_EQ(At(16, 15), kWhite);
}

TEST_F(Surface, LineLeavesOutItsEndPixelInEitherDirection) {
    canvas_.DrawLine(1, 1, 10, 1);
    EXPECT_EQ(At(1, 1), kBlack);
    EXPECT_EQ(At(9, 1), kBlack);
    EXPECT_EQ(At(10, 1), kWhite);
    canvas_.DrawLine(10, 3, 1, 3);
    EXPECT_EQ(At(10, 3), kBlack);
    EXPECT_EQ(At(2, 3), kBlack);
    EXPECT_EQ(At(1, 3), kWhite);
    canvas_.DrawLine(20, 20, 14, 14);
    EXPECT_EQ(At(20, 20), kBlack);
    EXPECT_EQ(At(15, 15), kBlack);
    EXPECT_EQ(At(14, 14), kWhite);
    canvas_.MoveToPoint(5, 10);
    canvas_.LineToPoint(5, 15);
    canvas_.LineToPoint(8, 15);
    EXPECT_EQ(At(5, 15), kBlack);  // the corner is the second segment's start
    EXPECT_EQ(At(8, 15), kWhite);
}

TEST_F(Surface, WidePenIsDrawnWide) {
    canvas_.Pen().SetWidth(3);
    canvas_.DrawLine(2, 10, 20, 10);
    EXPECT_EQ(At(10, 9), kBlack);
    EXPECT_EQ(At(10, 11), kBlack);
    EXPECT_EQ(At(10, 13), kWhite);
}

TEST_F(Surface, EllipseIsInscribedWithRightAndBottomExcluded) {
    canvas_.Brush().SetColor(clRed);
    canvas_.DrawEllipse(2, 4, 14, 12);
    EXPECT_EQ(Ink(), QRect(QPoint(2, 4), QPoint(13, 11)));
    EXPECT_EQ(At(8, 8), kRed);
    EXPECT_EQ(At(2, 8), kBlack);
    EXPECT_EQ(At(2, 4), kWhite);  // the box corner is outside the ellipse
}

TEST_F(Surface, FillRectangleDrawsNoOutline) {
    canvas_.Brush().SetColor(clRed);
    canvas_.FillRectangle({2, 2, 6, 7});
    EXPECT_EQ(Ink(), QRect(QPoint(2, 2), QPoint(5, 6)));
    EXPECT_EQ(At(2, 2), kRed);
    EXPECT_EQ(At(5, 6), kRed);
}

TEST_F(Surface, PatternFillWithNegativeSizeFillsAboveAndLeftOfTheStart) {
    canvas_.Brush().SetColor(clBlue);
    canvas_.PatternFill(2, 10, 4, -3);
    EXPECT_EQ(Ink(), QRect(QPoint(2, 7), QPoint(5, 9)));
    canvas_.PatternFill(20, 20, -2, 2);
    EXPECT_EQ(At(18, 20), kBlue);
    EXPECT_EQ(At(19, 21), kBlue);
    EXPECT_EQ(At(20, 20), kWhite);
}

TEST_F(Surface, Frame3DHasLightTopLeftAndDarkBottomRight) {
    canvas_.DrawFrame3D({1, 1, 11, 11}, clRed, clBlue, 2);
    EXPECT_EQ(At(1, 1), kRed);
    EXPECT_EQ(At(9, 1), kRed);
    EXPECT_EQ(At(10, 1), kBlue);  // the right edge is one pixel in
    EXPECT_EQ(At(1, 10), kBlue);  // the bottom row ends at the left edge
    EXPECT_EQ(At(11, 5), kWhite);
    EXPECT_EQ(At(2, 2), kRed);  // second ring
    EXPECT_EQ(At(9, 9), kBlue);
    EXPECT_EQ(At(3, 3), kWhite);
}

TEST_F(Surface, ClipOnlyShrinksUntilRemoved) {
    canvas_.Brush().SetColor(clRed);
    canvas_.ClipToRect({0, 0, 10, 10});
    canvas_.ClipToRect({5, 5, 20, 20});
    canvas_.FillRectangle({0, 0, 24, 24});
    EXPECT_EQ(Ink(), QRect(QPoint(5, 5), QPoint(9, 9)));
    canvas_.RemoveClip();
    canvas_.FillRectangle({0, 0, 24, 24});
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(23, 23), kRed);
}

TEST_F(Surface, PlotAreaClipIsInsetOnLeftTopAndBottomOnly) {
    canvas_.Brush().SetColor(clRed);
    canvas_.ClipToPlotArea({4, 4, 12, 12}, 0, 0);
    canvas_.FillRectangle({0, 0, 24, 24});
    EXPECT_EQ(Ink(), QRect(QPoint(5, 5), QPoint(11, 10)));
}

TEST_F(Surface, NotXorRectangleDrawnTwiceRestoresThePixels) {
    canvas_.Brush().SetColor(clRed);
    canvas_.FillRectangle({0, 0, 12, 24});
    const QImage before = Snapshot();
    canvas_.Pen().SetMode(pmNotXor);
    canvas_.Brush().SetStyle(bsClear);
    canvas_.DrawRect(4, 4, 20, 20);
    EXPECT_EQ(At(15, 4), kBlack);     // white turned black
    EXPECT_EQ(At(4, 10), 0x00FFFFu);  // red turned to its inverse
    EXPECT_EQ(At(4, 4), 0x00FFFFu);   // a corner is touched once
    canvas_.DrawRect(4, 4, 20, 20);
    EXPECT_EQ(Snapshot(), before);
}

// A zoom band dragged up and to the left arrives with its corners the other way round.
TEST_F(Surface, RectangleGivenWithCornersReversedIsTheSameRectangle) {
    canvas_.Brush().SetStyle(bsClear);
    canvas_.DrawRect(2, 3, 9, 8);
    const QImage forward = Snapshot();
    for (const auto& [l, t, r, b] :
         {std::array{9, 8, 2, 3}, std::array{9, 3, 2, 8}, std::array{2, 8, 9, 3}}) {
        Reset(24, 24);
        canvas_.DrawRect(l, t, r, b);
        EXPECT_EQ(Snapshot(), forward) << l << "," << t << " " << r << "," << b;
    }
}

TEST_F(Surface, NotXorThinRectangleAlsoRestores) {
    const QImage before = Snapshot();
    canvas_.Pen().SetMode(pmNotXor);
    canvas_.Brush().SetStyle(bsClear);
    canvas_.DrawRect(3, 3, 4, 10);
    EXPECT_EQ(At(3, 6), kBlack);
    canvas_.DrawRect(3, 3, 4, 10);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Surface, SmallDotsPenSetsEveryOtherPixelOnlyWhenOnePixelWide) {
    TChartPen pen;
    pen.SetSmallDots(true);
    canvas_.ApplyChartPen(pen);
    canvas_.DrawLine(0, 1, 11, 1);
    for (int x = 0; x < 11; ++x) EXPECT_EQ(At(x, 1), x % 2 == 0 ? kBlack : kWhite) << x;
    pen.SetWidth(2);
    canvas_.ApplyChartPen(pen);
    canvas_.DrawLine(0, 10, 11, 10);
    for (int x = 1; x < 10; ++x) EXPECT_EQ(At(x, 10), kBlack) << x;
}

TEST_F(Surface, InvisibleChartPenOnlyClearsTheStyle) {
    canvas_.Pen().SetColor(clRed);
    canvas_.Pen().SetWidth(3);
    TChartPen pen;
    pen.SetVisible(false);
    canvas_.ApplyChartPen(pen);
    EXPECT_EQ(canvas_.Pen().Style(), psClear);
    EXPECT_EQ(canvas_.Pen().Color(), clRed);
    EXPECT_EQ(canvas_.Pen().Width(), 3);
    canvas_.DrawLine(0, 5, 20, 5);
    EXPECT_TRUE(Ink().isNull());
}

TEST_F(Surface, DottedPenLeavesGapsTransparentOrInBackgroundColour) {
    canvas_.Pen().SetStyle(psDot);
    canvas_.SetBackgroundMode(TRANSPARENT);
    canvas_.DrawLine(0, 2, 20, 2);
    // Three pixels on, three off, from the start of the line.
    for (int x = 0; x < 20; ++x) EXPECT_EQ(At(x, 2), x % 6 < 3 ? kBlack : kWhite) << x;
    canvas_.SetBackgroundColor(clRed);
    canvas_.SetBackgroundMode(OPAQUE);
    canvas_.DrawLine(0, 6, 20, 6);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(At(x, 6), At(x, 2) == kBlack ? kBlack : kRed) << x;
}

class SurfaceText : public Surface {
  protected:
    void SetUp() override {
        Reset(80, 60);
        canvas_.Font() = TCanvasFont("Arial", 8);
    }
};

TEST_F(SurfaceText, AlignmentFlagsPlaceTheTextCellAroundThePoint) {
    const QString text = "W";
    const int w = canvas_.TextWidthOf(text), h = canvas_.TextLineHeight();
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    canvas_.SetBackgroundColor(clRed);
    canvas_.SetBackgroundMode(OPAQUE);
    struct Case {
        unsigned flags;
        QRect cell;
    } const cases[] = {
        {TA_LEFT | TA_TOP, QRect(40, 30, w, h)},
        {TA_RIGHT | TA_TOP, QRect(40 - w, 30, w, h)},
        {TA_CENTER | TA_TOP, QRect(40 - w / 2, 30, w, h)},
        {TA_LEFT | TA_BOTTOM, QRect(40, 30 - h, w, h)},
        {TA_CENTER | TA_BOTTOM, QRect(40 - w / 2, 30 - h, w, h)},
    };
    for (const Case& c : cases) {
        Reset(80, 60);
        canvas_.SetTextAlignment(c.flags);
        canvas_.DrawTextAt(40, 30, text);
        EXPECT_EQ(Ink(), c.cell) << c.flags;
    }
}

TEST_F(SurfaceText, TransparentTextLeavesTheBackgroundAlone) {
    canvas_.Font().SetColor(clBlue);
    // The chart's label drawing: a brush colour, then the clear style.
    canvas_.Brush().SetColor(clRed);
    canvas_.Brush().SetStyle(bsClear);
    canvas_.DrawTextAt(10, 10, "Hello");
    const QImage im = Snapshot();
    std::map<QRgb, int> colours;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) ++colours[im.pixel(x, y) & 0xFFFFFF];
    EXPECT_EQ(colours.size(), 2u);  // white and the font colour only
    EXPECT_GT(colours[kBlue], 0);
    const QRect ink = Ink();
    EXPECT_GE(ink.left(), 10);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.right(), 10 + canvas_.TextWidthOf("Hello"));
}

TEST_F(SurfaceText, RotatedTextRunsUpwardsFromThePoint) {
    canvas_.DrawRotatedText(30, 50, 90, "Occurrence");
    const QRect ink = Ink();
    const int w = canvas_.TextWidthOf("Occurrence"), h = canvas_.TextLineHeight();
    EXPECT_GT(ink.height(), ink.width());
    EXPECT_GE(ink.left(), 30);
    EXPECT_LE(ink.right(), 30 + h);
    EXPECT_LE(ink.bottom(), 50);
    EXPECT_GE(ink.top(), 50 - w);
    const QImage at90 = Snapshot();
    Reset(80, 60);
    canvas_.DrawRotatedText(30, 50, 450, "Occurrence");
    EXPECT_EQ(Snapshot(), at90);
}

TEST_F(SurfaceText, TextHeightIsOneLineOfTheFont) {
    canvas_.Font() = TCanvasFont("Arial", 8);
    const int h8 = canvas_.TextLineHeight();
    canvas_.Font().SetSize(16);
    EXPECT_GT(canvas_.TextLineHeight(), h8);
    EXPECT_GT(canvas_.TextWidthOf("1,234"), canvas_.TextWidthOf("5"));
}

// Rows of one colour from the bottom up: (colour, height).
std::vector<std::pair<QRgb, int>> BandsFromBottom(const QImage& im, int x) {
    std::vector<std::pair<QRgb, int>> bands;
    for (int y = im.height() - 1; y >= 0; --y) {
        const QRgb c = im.pixel(x, y) & 0xFFFFFF;
        if (bands.empty() || bands.back().first != c)
            bands.push_back({c, 1});
        else
            ++bands.back().second;
    }
    return bands;
}

TEST_F(Surface, GradientOf524RowsHas256BandsFirstColourAtTheBottom) {
    for (TGradientDirection dir : {gdTopBottom, gdBottomTop}) {
        Reset(3, 524);
        // As the chart calls it: start and end colours swapped for every other direction.
        if (dir == gdTopBottom)
            canvas_.FillGradient({0, 0, 3, 524}, clBlack, clWhite, dir);
        else
            canvas_.FillGradient({0, 0, 3, 524}, clWhite, clBlack, dir);
        const auto bands = BandsFromBottom(Snapshot(), 1);
        ASSERT_EQ(bands.size(), 256u) << dir;
        EXPECT_EQ(bands.front().first, kBlack);
        EXPECT_EQ(bands.back().first, kWhite);
        int lo = 1000, hi = 0, total = 0;
        for (const auto& [colour, height] : bands) {
            lo = std::min(lo, height);
            hi = std::max(hi, height);
            total += height;
        }
        EXPECT_LE(hi - lo, 1);
        EXPECT_EQ(total, 524);
    }
}

TEST_F(Surface, GradientOfTheMainWindowRunsFromYellowToPink) {
    Reset(2, 100);
    canvas_.FillGradient({0, 0, 2, 100}, 16744703, clYellow, gdBottomTop);
    EXPECT_EQ(At(0, 99), 0xFFFF00u);  // yellow, as RGB
    EXPECT_EQ(At(0, 0), 0xFF80FFu);
}

TEST_F(Surface, GradientEdgeCases) {
    canvas_.FillGradient({0, 5, 10, 5}, clRed, clBlue, gdTopBottom);
    EXPECT_TRUE(Ink().isNull());
    canvas_.FillGradient({0, 5, 10, 6}, clRed, clBlue, gdTopBottom);
    EXPECT_EQ(Ink(), QRect(0, 5, 10, 1));
    EXPECT_EQ(At(4, 5), kRed);
    Reset(12, 12);
    canvas_.FillGradient({0, 0, 12, 12}, clRed, clBlue, gdLeftRight);
    const QImage normal = Snapshot();
    EXPECT_EQ(At(11, 3), kRed);  // band 0 at the right edge
    EXPECT_EQ(At(0, 3), kBlue);
    Reset(12, 12);
    canvas_.FillGradient({12, 12, 0, 0}, clRed, clBlue, gdLeftRight);
    EXPECT_EQ(Snapshot(), normal);
}

TEST_F(Surface, GradientFromCentreHasFirstColourOutside) {
    Reset(10, 10);
    // As the chart calls it (end colour first); the surface exchanges them back.
    canvas_.FillGradient({0, 0, 10, 10}, clBlack, clWhite, gdFromCenter);
    EXPECT_EQ(At(0, 0), kWhite);
    EXPECT_EQ(At(9, 9), kWhite);
    EXPECT_NE(At(5, 5), kWhite);
}

TEST(SurfaceFrame, BitmapLifecycle) {
    QImage screen(30, 20, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter target(&screen);
    TChartCanvas3D canvas;
    EXPECT_TRUE(canvas.IsDirty());
    EXPECT_FALSE(canvas.RepaintFromBuffer(target));
    const TRect area = canvas.BeginFrame(&target, {10, 5, 30, 20});
    EXPECT_EQ(area, (TRect{0, 0, 20, 15}));
    canvas.Brush().SetColor(clRed);
    canvas.FillRectangle(area);
    canvas.EndFrame(&target, nullptr, {10, 5, 30, 20});
    EXPECT_FALSE(canvas.IsDirty());
    target.end();
    EXPECT_EQ(screen.pixel(10, 5) & 0xFFFFFF, kRed);
    EXPECT_EQ(screen.pixel(29, 19) & 0xFFFFFF, kRed);
    EXPECT_EQ(screen.pixel(9, 5) & 0xFFFFFF, kWhite);

    QImage uncovered(30, 20, QImage::Format_RGB32);
    uncovered.fill(Qt::white);
    {
        QPainter p(&uncovered);
        EXPECT_TRUE(canvas.RepaintFromBuffer(p));
        canvas.MarkDirty();
        EXPECT_FALSE(canvas.RepaintFromBuffer(p));
    }
    EXPECT_EQ(uncovered.pixel(0, 0) & 0xFFFFFF, kRed);
    EXPECT_EQ(uncovered.pixel(19, 14) & 0xFFFFFF, kRed);
    EXPECT_EQ(uncovered.pixel(20, 14) & 0xFFFFFF, kWhite);

    QPainter again(&screen);
    canvas.BeginFrame(&again, {0, 0, 25, 12});
    ASSERT_NE(canvas.Bitmap(), nullptr);
    EXPECT_EQ(canvas.Bitmap()->size(), QSize(25, 12));
    canvas.EndFrame(&again, nullptr, {0, 0, 25, 12});
}

TEST(SurfaceFrame, UnbufferedFrameDrawsStraightOnTheTarget) {
    QImage screen(10, 10, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter target(&screen);
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    EXPECT_EQ(canvas.BeginFrame(&target, {2, 2, 10, 10}), (TRect{2, 2, 10, 10}));
    canvas.Brush().SetColor(clBlue);
    canvas.FillRectangle({2, 2, 4, 4});
    canvas.EndFrame(&target, nullptr, {2, 2, 10, 10});
    EXPECT_EQ(canvas.Bitmap(), nullptr);
    target.end();
    EXPECT_EQ(screen.pixel(3, 3) & 0xFFFFFF, kBlue);
}

// A series' marker: on the screen at one device pixel per pixel a small square with an
// outline. A scaled screen, SVG and PDF must show that marker, not a rounder one.
TEST(SurfaceMarker, LooksAsOnTheScreenInEveryOutput) {
    const auto draw = [](QPaintDevice& device) {
        QPainter p(&device);
        TChartCanvas3D canvas;
        canvas.AttachPainter(&p);
        canvas.Brush().SetColor(clRed);
        for (const QPoint c : {QPoint(6, 6), QPoint(15, 9)})
            canvas.DrawEllipse(c.x() - 2, c.y() - 2, c.x() + 2, c.y() + 2);
    };
    QImage screen(24, 16, QImage::Format_RGB32);
    screen.fill(Qt::white);
    draw(screen);
    ASSERT_EQ(screen.pixel(4, 6) & 0xFFFFFF, kBlack);
    ASSERT_EQ(screen.pixel(6, 6) & 0xFFFFFF, kRed);

    QImage scaled(48, 32, QImage::Format_RGB32);
    scaled.setDevicePixelRatio(2);
    scaled.fill(Qt::white);
    draw(scaled);
    // The SVG read back at the screen's size.
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(screen.size());
    generator.setViewBox(QRect(QPoint(0, 0), screen.size()));
    draw(generator);
    QImage read(screen.size(), QImage::Format_RGB32);
    read.fill(Qt::white);
    QSvgRenderer renderer(svg);
    QPainter rp(&read);
    renderer.render(&rp);
    rp.end();
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            const QRgb want = screen.pixel(x, y) & 0xFFFFFF;
            for (int d = 0; d < 4; ++d)
                ASSERT_EQ(scaled.pixel(2 * x + d % 2, 2 * y + d / 2) & 0xFFFFFF, want)
                    << "scaled, at " << x << "," << y;
            ASSERT_EQ(read.pixel(x, y) & 0xFFFFFF, want) << "SVG, at " << x << "," << y;
        }
}

TEST(SurfaceState, BrushChangesSetTheTextBackground) {
    TChartCanvas3D canvas;
    canvas.Brush().SetColor(clRed);
    EXPECT_EQ(canvas.Brush().Style(), bsSolid);
    canvas.Brush().SetStyle(bsClear);
    EXPECT_EQ(canvas.Brush().Color(), clWhite);
    canvas.Brush().SetColor(clBlue);
    EXPECT_EQ(canvas.Brush().Style(), bsSolid);
}

TEST(ChartPenTest, ChangesAreReportedOnlyWhenTheyChangeSomething) {
    int changes = 0;
    TChartPen pen([&] { ++changes; });
    pen.SetVisible(true);
    pen.SetSmallDots(false);
    EXPECT_EQ(changes, 0);
    pen.SetVisible(false);
    pen.SetSmallDots(true);
    pen.SetColor(clRed);
    pen.SetWidth(2);
    pen.SetStyle(psDot);
    EXPECT_EQ(changes, 5);
    TChartPen copy;
    copy.Assign(pen);
    EXPECT_FALSE(copy.Visible());
    EXPECT_TRUE(copy.SmallDots());
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(copy.Style(), psDot);
}

}  // namespace
}  // namespace kelmarin
