#include <gtest/gtest.h>

#include <set>

#include "tests/chart/grafico_fixture.h"

namespace kelmarin::test {
namespace {

using Layout = Grafico;

TEST_F(Layout, FormSettingsGiveRoomToTitleAxesAndLabels) {
    Fill(0, 1, 100, 0, clRed);
    s[0].AddPoint(50, 100, QString(), clRed);  // left labels run from "0" to "100"
    Render();
    const int h = ArialLineHeight();
    const TRect& r = chart.ChartRect();
    EXPECT_EQ(r.top, h + TCustomChart::kTitleMargin);  // one empty title line
    EXPECT_EQ(r.right, 682);
    EXPECT_EQ(r.bottom, 524 - h - h - 6);  // title, labels, axis line 2 + ticks 4
    // Left: the turned title's line height, then the widest label and a blank.
    EXPECT_EQ(r.left, h + ArialWidth("100") + ArialWidth(" "));
}

// The last bottom label, "100" on the chart's right edge, is moved in to show whole inside the
// one-pixel bevel; the plot area keeps the whole width.
TEST_F(Layout, TheLastBottomLabelShowsWholeInsideTheChart) {
    Fill(0, 1, 100, 5, clRed);
    const QImage im = Render();
    EXPECT_EQ(chart.ChartRect().right, 682);
    const int h = ArialLineHeight();
    const std::vector<int>& t = chart.BottomAxis().TickPositions();  // from "100" down
    ASSERT_GE(t.size(), 2u);
    int first = im.width(), last = -1;
    for (int x = t[1] + ArialWidth("90"); x < im.width(); ++x)
        for (int y = 524 - 2 * h; y < 524 - h; ++y)
            if (qGray(At(im, x, y)) < 100) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_LE(last, 680);
    EXPECT_GE(last - first + 1, ArialWidth("100") - 2);
}

TEST(LayoutDefaults, MarginsOfAPlainChartMakeTheStartingRectangle) {
    TChart chart;
    chart.resize(682, 524);
    chart.SetAxisVisible(false);  // no axis takes room: the rectangle stays as the margins left it
    QImage image(682, 524, QImage::Format_RGB32);
    QPainter p(&image);
    chart.RenderFrame(&p, {0, 0, 682, 524});
    // MulDiv rounds 20.46 to 20 and 20.96 to 21.
    EXPECT_EQ(chart.ChartRect(), (TRect{20, 21, 662, 503}));
}

TEST(LayoutDefaults, AnEmptyTitleTakesNoRoomAndOneEmptyLineTakesALineAndFive) {
    TChart chart;
    chart.resize(300, 200);
    chart.SetAxisVisible(false);
    chart.SetMarginTop(0);
    QImage image(300, 200, QImage::Format_RGB32);
    QPainter p(&image);
    chart.RenderFrame(&p, {0, 0, 300, 200});
    EXPECT_EQ(chart.ChartRect().top, 0);
    chart.Title().SetText({QString()});
    chart.RenderFrame(&p, {0, 0, 300, 200});
    EXPECT_EQ(chart.ChartRect().top, ArialLineHeight() + 5);
}

TEST_F(Layout, SeriesWithoutPointsGiveTheLabelZeroAtEachAxisCentre) {
    const QImage im = Render();
    for (TChartAxis* axis : {&chart.BottomAxis(), &chart.LeftAxis()}) {
        ASSERT_EQ(axis->TickPositions().size(), 1u);
        EXPECT_EQ(axis->TickPositions()[0], axis->CentrePixel());
    }
    // The bottom "0" sits centred under the centre pixel, below the ticks.
    const TRect& r = chart.ChartRect();
    const int cx = chart.BottomAxis().CentrePixel();
    bool ink = false;
    for (int y = r.bottom + 7; y < r.bottom + 7 + ArialLineHeight(); ++y)
        for (int x = cx - 3; x <= cx + 3; ++x) ink |= At(im, x, y) == kBlack;
    EXPECT_TRUE(ink);
    EXPECT_EQ(At(im, cx, r.bottom + 2), kGray);  // its tick
}

TEST_F(Layout, WithoutSeriesAllFourAxesTakeRoomButHaveNoLabels) {
    for (auto& series : s) series.SetParentChart(nullptr);
    const QImage im = Render();
    const int h = ArialLineHeight();
    for (TChartAxis* axis :
         {&chart.BottomAxis(), &chart.TopAxis(), &chart.LeftAxis(), &chart.RightAxis()}) {
        EXPECT_TRUE(chart.IsAxisShown(*axis));
        EXPECT_TRUE(axis->TickPositions().empty());
    }
    EXPECT_FALSE(chart.IsAxisShown(chart.DepthAxis()));
    const TRect& r = chart.ChartRect();
    EXPECT_EQ(r.top, h + 5 + h + 6);  // title line, then the top axis' label line and ticks
    EXPECT_EQ(r.bottom, 524 - h - h - 6);
    EXPECT_EQ(r.left, h);         // only the title: no labels, no ticks on the left
    EXPECT_EQ(r.right, 682 - 6);  // right labels measure 0; axis line and ticks remain
}

TEST_F(Layout, GridIsDottedGreyThroughThePlotAreaAndOnlyOnTheBottomAxis) {
    // One diagonal line: it crosses each grid line in one place only.
    s[0].AddPoint(1, 0, QString(), clRed);
    s[0].AddPoint(100, 10, QString(), clRed);
    const QImage im = Render();
    const TRect& r = chart.ChartRect();
    ASSERT_GE(chart.BottomAxis().TickPositions().size(), 5u);
    for (const int x : chart.BottomAxis().TickPositions()) {
        if (x <= r.left + 10 || x >= r.right - 10) continue;
        // From the plot area's top edge down to the axis: three pixels on, three off.
        for (int y = r.top; y < r.bottom; ++y) {
            if (At(im, x, y) == kRed) continue;  // where the series crosses
            EXPECT_EQ(At(im, x, y) == kGray, (y - r.top) % 6 < 3) << x << "," << y;
        }
    }
    // The left axis draws no grid: halfway between two bottom grid lines nothing is grey.
    const auto& t = chart.BottomAxis().TickPositions();
    const int mid = (t[1] + t[2]) / 2;
    for (const int y : chart.LeftAxis().TickPositions()) {
        if (y > r.top + 2 && y < r.bottom - 2) {
            EXPECT_NE(At(im, mid, y), kGray);
        }
    }
}

TEST_F(Layout, FrameIsBlackRoundThePlotAreaAndBottomAxisLineTwoPixels) {
    Fill(0, 1, 100, 10, clRed);
    const QImage im = Render();
    const TRect& r = chart.ChartRect();
    EXPECT_EQ(At(im, r.left, r.top + 30), kBlack);
    EXPECT_EQ(At(im, r.left + 40, r.top), kBlack);
    EXPECT_EQ(At(im, r.left + 40, r.bottom), kBlack);
    int thick = 0;  // the axis line over the frame's bottom edge is 2 pixels wide
    for (int y = r.bottom - 3; y <= r.bottom + 3; ++y) thick += At(im, r.left + 40, y) == kBlack;
    EXPECT_EQ(thick, 2);
}

TEST_F(Layout, BackgroundRunsFromYellowAtTheBottomToPinkAtTheTop) {
    const QImage im = Render();
    // Inside the bevel, away from text.
    EXPECT_EQ(At(im, 300, 522), 0xFFFF00u);
    EXPECT_EQ(At(im, 300, 1), 0xFF80FFu);
}

TEST_F(Layout, SeriesAreDrawnOverTheGrid) {
    Fill(0, 1, 100, 5, clRed);  // a flat red line at the centre of the left axis
    const QImage im = Render();
    const int y = chart.LeftAxis().CentrePixel();
    for (const int x : chart.BottomAxis().TickPositions()) {
        if (x > chart.ChartRect().left && x < chart.ChartRect().right) {
            EXPECT_EQ(At(im, x, y), kRed) << x;
        }
    }
}

TEST_F(Layout, MinorTicksSplitEachGapInFourWithHalvesToTheEvenPixel) {
    Fill(0, 1, 100, 100, clRed);
    const QImage im = Render();
    const TChartAxis& bottom = chart.BottomAxis();
    const std::vector<int>& t = bottom.TickPositions();  // from the right end leftwards
    ASSERT_GE(t.size(), 3u);
    for (std::size_t i = 1; i < t.size(); ++i) ASSERT_EQ(t[i - 1] - t[i], 65);
    // A 65-pixel gap is cut at 16.25, 32.5 and 48.75 pixels: 16, 32 (the even one) and 49,
    // counted from each tick rightwards and, past the last tick, leftwards too.
    std::set<int> minor;
    for (const int x : t)
        for (const int d : {16, 32, 49}) minor.insert({x + d, t.back() - d});
    const std::set<int> major(t.begin(), t.end());
    const int y = chart.ChartRect().bottom + 1;  // the ticks' first row below the axis
    for (int x = bottom.StartPixel() + 1; x < bottom.EndPixel(); ++x) {
        const bool is_minor = minor.count(x) > 0, is_major = major.count(x) > 0;
        // Minor ticks are two pixels long, major ones four.
        EXPECT_EQ(At(im, x, y) == kGray, is_minor || is_major) << x;
        EXPECT_EQ(At(im, x, y + 1) == kGray, is_minor || is_major) << x;
        EXPECT_EQ(At(im, x, y + 2) == kGray, is_major) << x;
    }
}

TEST_F(Layout, LeftLabelsAreMeasuredWithTheStepOfTheLastPaintsAxis) {
    Fill(0, 1, 100, 60.2, clRed);
    chart.LeftAxis().SetManualRange(60.1, 60.4);  // labels 60.4, 60.39, ... 60.1
    const int h = ArialLineHeight(), blank = ArialWidth(" ");
    // No paint has placed the axis yet: its step is the smallest, the ends are measured as
    // they are.
    Render();
    EXPECT_EQ(chart.ChartRect().left, h + ArialWidth("60.4") + blank);
    // Now the step of the last paint, 0.01, gives the top label 60.39.
    Render();
    EXPECT_EQ(chart.ChartRect().left, h + ArialWidth("60.39") + blank);
}

TEST_F(Layout, AFlatProfileShowsItsOneLabelHoweverHigh) {
    for (const double count : {16385.0, 1e6, 1e9}) {
        s[0].ClearPoints();
        Fill(0, 1, 100, count, clRed);
        Render();
        const TChartAxis& left = chart.LeftAxis();
        EXPECT_EQ(left.TickPositions(), std::vector<int>{left.CentrePixel()}) << count;
    }
}

TEST_F(Layout, AZoomToTheNarrowestSpanAtAMillionStillEndsItsLabels) {
    Fill(0, 1, 100, 1e6, clRed);
    chart.LeftAxis().SetManualRange(1e6, 1e6);  // widened to the narrowest span
    Render();
    const TChartAxis& left = chart.LeftAxis();
    const std::vector<int>& t = left.TickPositions();  // from the top value down
    ASSERT_GE(t.size(), 3u);
    EXPECT_GE(t.front(), left.StartPixel());
    for (std::size_t i = 1; i < t.size(); ++i) EXPECT_GT(t[i], t[i - 1]) << i;
    EXPECT_LE(t.back(), left.EndPixel());  // none beyond the minimum
}

}  // namespace
}  // namespace kelmarin::test
