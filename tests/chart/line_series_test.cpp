#include <gtest/gtest.h>

#include <stdexcept>

#include "chart/chart_exceptions.h"
#include "tests/chart/grafico_fixture.h"

namespace kelmarin::test {
namespace {

using LineDrawing = Grafico;

bool Near(const QImage& im, int x, int y, QRgb c, int d = 1) {
    for (int dy = -d; dy <= d; ++dy)
        for (int dx = -d; dx <= d; ++dx)
            if ((im.pixel(x + dx, y + dy) & 0xFFFFFF) == c) return true;
    return false;
}

TEST_F(LineDrawing, ZoomedWindowEntersAtTheLeftEdgeAndIsCutAtTheRight) {
    chart.SetMarginRight(5);  // room right of the plot area to see the cut
    for (int x = 1; x <= 100; ++x) s[0].AddPoint(x, x, QString(), clRed);
    chart.BottomAxis().SetManualRange(19.5, 30.5);
    chart.LeftAxis().SetManualRange(0, 100);
    const QImage im = Render();
    EXPECT_EQ(s[0].FirstVisibleIndex(), 19);  // X 20: the first X >= 19.5
    EXPECT_EQ(s[0].LastVisibleIndex(), 30);   // X 31: the first X >= 30.5
    const TRect& r = chart.ChartRect();
    const TChartAxis& left = chart.LeftAxis();
    // Entry: at the first column inside the clip, at the height of Y 19.5.
    EXPECT_TRUE(Near(im, r.left + 1, left.ValueToPixel(19.5), kRed));
    EXPECT_NE(At(im, r.left - 1, left.ValueToPixel(19.5)), kRed);
    // Exit: drawn up to the right edge, nothing beyond it.
    const int y_exit = left.ValueToPixel(30.5);
    EXPECT_TRUE(Near(im, r.right - 1, y_exit, kRed));
    for (int x = r.right + 1; x < r.right + 8; ++x)
        for (int y = y_exit - 3; y <= y_exit + 3; ++y) EXPECT_NE(At(im, x, y), kRed) << x;
}

TEST_F(LineDrawing, TwoPointsOnOnePixelStillDrawBothMarkers) {
    s[0].AddPoint(50, 50, QString(), clRed);
    s[0].AddPoint(50.0001, 50, QString(), clBlue);  // same pixel, drawn after the first
    s[0].AddPoint(1, 0, QString(), clRed);
    s[0].AddPoint(100, 100, QString(), clRed);
    const QImage im = Render();
    const int x = s[0].XPixel(1), y = s[0].YPixel(1);
    ASSERT_EQ(x, s[0].XPixel(2));
    // The later point's marker lies on top: its fill, with Series1's red outline around it.
    EXPECT_EQ(At(im, x - 1, y - 1), kBlue);
    EXPECT_EQ(At(im, x - 2, y - 1), kRed);
}

TEST_F(LineDrawing, Series2IsDrawnInItsPointColourNotItsSeriesColour) {
    Fill(1, 1, 100, 5, clBlue);
    s[1].AddPoint(50.5, 0, QString(), clBlue);
    const QImage im = Render();
    const int y = chart.LeftAxis().ValueToPixel(5);
    const int x_mid = (s[1].XPixel(10) + s[1].XPixel(11)) / 2;  // between two markers
    EXPECT_EQ(At(im, x_mid, y), kBlue);
    const int x = s[1].XPixel(10);
    EXPECT_EQ(At(im, x - 1, y - 1), kBlue);   // marker fill
    EXPECT_EQ(At(im, x - 2, y - 1), kBlack);  // marker outline: the pointer pen
    for (int yy = 0; yy < im.height(); ++yy)
        for (int xx = 0; xx < im.width(); ++xx) ASSERT_NE(At(im, xx, yy), 0x0000A0u);
}

TEST_F(LineDrawing, AWideLinePenDrawsThreePixelLinesAndLeavesMarkersAlone) {
    Fill(1, 1, 100, 5, clBlue);
    s[1].AddPoint(50.5, 0, QString(), clBlue);
    const QImage thin = Render();
    s[1].LinePen().SetWidth(3);
    const QImage wide = Render();
    const int y = chart.LeftAxis().ValueToPixel(5);
    const int x_mid = (s[1].XPixel(10) + s[1].XPixel(11)) / 2;
    const auto thickness = [&](const QImage& im) {
        int n = 0;
        for (int yy = y - 4; yy <= y + 4; ++yy) n += At(im, x_mid, yy) == kBlue;
        return n;
    };
    EXPECT_EQ(thickness(thin), 1);
    EXPECT_EQ(thickness(wide), 3);
    // The marker box, two pixels each way, is the same in both pictures.
    const int x = s[1].XPixel(10);
    for (int yy = y - 3; yy <= y - 2; ++yy)
        for (int xx = x - 3; xx <= x + 2; ++xx) EXPECT_EQ(At(thin, xx, yy), At(wide, xx, yy));
}

TEST_F(LineDrawing, OnePointDrawsItsMarkerOnlyAndAnEmptySeriesNothing) {
    int hooks = 0;
    s[2].OnBeforeDrawValues = [&](TChartSeries&) { ++hooks; };
    s[0].AddPoint(10, 10, QString(), clRed);
    const QImage im = Render();
    EXPECT_EQ(hooks, 0);  // the empty series does not call its hooks
    const int x = s[0].XPixel(0), y = s[0].YPixel(0);
    EXPECT_EQ(At(im, x - 1, y - 1), kRed);
    EXPECT_FALSE(Near(im, x + 6, y, kRed, 0));
    EXPECT_FALSE(Near(im, x - 6, y, kRed, 0));
}

TEST_F(LineDrawing, EverythingLeftOfTheAxisRangeDrawsNothing) {
    for (int x = 1; x <= 10; ++x) s[0].AddPoint(x, x, QString(), clRed);
    chart.BottomAxis().SetManualRange(50, 60);
    Render();
    EXPECT_EQ(s[0].FirstVisibleIndex(), -1);
}

TEST_F(LineDrawing, MarginsAreThePointerSizePlusOne) {
    EXPECT_EQ(s[0].HorizontalMargins(), std::make_pair(3, 3));
    EXPECT_EQ(s[0].VerticalMargins(), std::make_pair(3, 3));
    s[0].LinePen().SetWidth(3);
    EXPECT_EQ(s[0].VerticalMargins(), std::make_pair(3, 3));
}

TEST_F(LineDrawing, AFailedSeriesDrawLeavesLaterFramesUnclipped) {
    Fill(0, 1, 100, 5, clRed);
    chart.resize(600, 400);
    const QImage expected = Render();
    chart.resize(682, 524);
    s[0].OnGetPointerStyle = [](TCustomSeries&, int) -> TSeriesPointerStyle {
        throw std::runtime_error("marker");
    };
    EXPECT_THROW(Render(), std::runtime_error);
    s[0].OnGetPointerStyle = nullptr;
    chart.resize(600, 400);
    EXPECT_EQ(Render(), expected);
}

// A series drawn in one call gives the pixels of the point-by-point drawing (which a pointer
// style handler asks for): colours changing along the line, a point repeated, lines and
// markers running out of the plot area, a lone point, series crossing each other.
TEST_F(LineDrawing, ASeriesDrawnAtOnceIsTheOneDrawnPointByPoint) {
    chart.LeftAxis().SetManualRange(0, 100);
    const TColor colors[] = {clRed, clBlue, clFuchsia};
    for (int b = 1; b <= 100; ++b) {
        s[0].AddPoint(b, (b * 37) % 130 - 10, QString(), colors[b / 7 % 3]);
        s[1].AddPoint(b, b == 40 || b == 41 ? 50 : (b * 13) % 100, QString(), clBlack);
    }
    s[1].AddPoint(100, 0, QString(), clBlack);  // on the pixel of the one before
    s[2].AddPoint(50, 99.5, QString(), clRed);
    const QImage at_once = Render();
    chart.BottomAxis().SetManualRange(0, 60.5);  // cut at the right, still from the first point
    const QImage cut_at_once = Render();
    for (auto& series : s) series.OnGetPointerStyle = [](TCustomSeries&, int) { return psCircle; };
    const QImage cut_by_point = Render();
    chart.BottomAxis().SetAutomatic(true);
    const QImage by_point = Render();
    EXPECT_EQ(at_once, by_point);
    EXPECT_EQ(cut_at_once, cut_by_point);
    EXPECT_NE(at_once, cut_at_once);
    EXPECT_TRUE(Near(at_once, chart.BottomAxis().ValueToPixel(50),
                     chart.LeftAxis().ValueToPixel(99.5), kRed));
}

// Points whose pixels lie far outside the surface's range (the left axis shows 0 ... 100).
class FarPoints : public LineDrawing {
  protected:
    FarPoints() {
        chart.BottomAxis().SetManualRange(0, 101);
        chart.LeftAxis().SetManualRange(0, 100);
    }
    bool RedNear(const QImage& im, double x, double y) {
        return Near(im, chart.BottomAxis().ValueToPixel(x), chart.LeftAxis().ValueToPixel(y), kRed);
    }
};

TEST_F(FarPoints, NoLineRunsThroughASkippedNullPoint) {
    s[0].AddPoint(30, 50, QString(), clRed);
    s[0].AddPoint(50, 1e7, QString(), clNone);
    s[0].AddPoint(70, 50, QString(), clRed);
    const QImage im = Render();
    EXPECT_FALSE(RedNear(im, 50, 50));
}

TEST_F(FarPoints, AFirstPointSkippedJoinsNothingLeftByTheLastPaint) {
    QImage im;
    for (const double last : {90, 10}) {
        s[0].ClearPoints();
        s[0].AddPoint(1, 1e7, QString(), clRed);
        s[0].AddPoint(50, 50, QString(), clRed);
        s[0].AddPoint(100, last, QString(), clRed);
        im = Render();
    }
    EXPECT_TRUE(RedNear(im, 75, 30));   // the line as it is now
    EXPECT_FALSE(RedNear(im, 75, 70));  // not from where the last paint ended
}

TEST_F(FarPoints, AnEntryFromAFarOffPointIsDrawnWithinTheSurfacesRange) {
    // The entry at the left edge would lie some 2e9 pixels below the chart.
    for (int x = 1; x <= 100; ++x) s[0].AddPoint(x, x == 19 ? -8e8 : x, QString(), clRed);
    chart.BottomAxis().SetManualRange(19.5, 30.5);
    const QImage im = Render();
    EXPECT_EQ(s[0].FirstVisibleIndex(), 19);
    EXPECT_TRUE(RedNear(im, 20, 10));  // the entry line comes up from below into X 20
}

TEST(Refusals, InvalidSettingsAreRefusedWithTheirMessagesAndTheOldValueStays) {
    TChart chart;
    TLineSeries series;
    const auto message = [](auto&& f) {
        try {
            f();
        } catch (const TChartError& e) {
            return std::string(e.what());
        }
        return std::string("no refusal");
    };
    EXPECT_EQ(message([&] { chart.SetChart3DPercent(0); }),
              "3D effect percent must be between 1 and 100");
    EXPECT_EQ(message([&] { chart.SetChart3DPercent(101); }),
              "3D effect percent must be between 1 and 100");
    EXPECT_EQ(chart.Chart3DPercent(), 15);
    EXPECT_EQ(message([&] { chart.SetMaxPointsPerPage(-1); }), "MaxPointsPerPage must be >= 0");
    EXPECT_EQ(message([&] { chart.BottomAxis().Title().SetAngle(360); }),
              "Axis Title Angle must be between 0 and 359 degrees");
    EXPECT_EQ(message([&] { series.Pointer().SetHorizSize(0); }),
              "Pointer size must be greater than zero");
    EXPECT_EQ(message([&] { series.Pointer().SetVertSize(-1); }),
              "Pointer size must be greater than zero");
    EXPECT_EQ(series.Pointer().HorizSize(), 4);
    EXPECT_EQ(series.Pointer().VertSize(), 4);
}

}  // namespace
}  // namespace kelmarin::test
