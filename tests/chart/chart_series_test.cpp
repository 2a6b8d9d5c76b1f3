#include "chart/chart_series.h"

#include <gtest/gtest.h>

#include "chart/chart_exceptions.h"
#include "chart/chart_value_list.h"
#include "tests/chart/fake_chart_owner.h"

namespace kelmarin {
namespace {

using test::FakeChartOwner;

std::vector<double> Values(const TChartValueList& list) {
    std::vector<double> out;
    for (int i = 0; i < list.ValueCount(); ++i) out.push_back(list.ValueAt(i));
    return out;
}

struct InsertCase {
    TChartListOrder order;
    std::vector<double> stored;
    double added;
    int expected_index;
};

TEST(ChartValueList, InsertOrderedPlacesEqualValuesAfterTheStoredOnes) {
    const InsertCase cases[] = {
        {loAscending, {1, 2, 3}, 2, 2},  {loAscending, {1, 2, 3}, 0, 0},
        {loAscending, {1, 2, 3}, 4, 3},  {loAscending, {2, 2}, 2, 2},
        {loDescending, {3, 2, 1}, 2, 2}, {loDescending, {3, 2, 1}, 5, 0},
        {loDescending, {3, 2, 1}, 0, 3}, {loNone, {3, 1, 2}, 0, 3},
        {loAscending, {}, 7, 0},
    };
    for (const InsertCase& c : cases) {
        TChartValueList list(nullptr, "X");
        list.SetOrder(c.order);
        for (double v : c.stored) list.InsertAt(list.ValueCount(), v);
        EXPECT_EQ(list.InsertOrdered(c.added), c.expected_index) << "adding " << c.added;
        EXPECT_EQ(list.ValueAt(c.expected_index), c.added);
    }
}

TEST(ChartValueList, StatisticsOfEmptyAndScaledLists) {
    TChartValueList list(nullptr, "Y");
    EXPECT_EQ(list.LowestValue(), 0);
    EXPECT_EQ(list.HighestValue(), 0);
    EXPECT_EQ(list.ValueSum(), 0);
    EXPECT_EQ(list.AbsoluteSum(), 0);
    for (double v : {2.0, -3.0, 1.0}) list.InsertOrdered(v);
    EXPECT_EQ(list.LowestValue(), -3);
    EXPECT_EQ(list.HighestValue(), 2);
    EXPECT_EQ(list.ValueSum(), 0);
    EXPECT_EQ(list.AbsoluteSum(), 6);
    list.SetMultiplier(2);
    EXPECT_EQ(list.LowestValue(), -6);
    EXPECT_EQ(list.HighestValue(), 4);
    EXPECT_EQ(list.AbsoluteSum(), 12);
    list.RemoveAt(1);  // the -3
    EXPECT_EQ(list.LowestValue(), 2);
    list.RemoveAll();
    EXPECT_EQ(list.HighestValue(), 0);
}

TEST(ChartSeries, OutOfOrderXCarriesYColourAndLabelAlong) {
    TChartSeries s;
    EXPECT_EQ(s.AddPoint(3, 30, "c", clRed), 0);
    EXPECT_EQ(s.AddPoint(1, 10, "", clBlue), 0);
    EXPECT_EQ(s.AddPoint(2, 20, "b", clBlack), 1);
    EXPECT_EQ(Values(s.XValues()), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(Values(s.YValues()), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(s.PointColor(0), clBlue);
    EXPECT_EQ(s.PointColor(1), clBlack);
    EXPECT_EQ(s.PointColor(2), clRed);
    EXPECT_EQ(s.PointLabel(0), "");
    EXPECT_EQ(s.PointLabel(1), "b");
    EXPECT_EQ(s.PointLabel(2), "c");
}

TEST(ChartSeries, PointColourFallsBackToSeriesColourOrPalette) {
    TChartSeries s;
    s.SetSeriesColor(0xA00000);
    s.AddPoint(1, 5, "", clBlue);
    s.AddPoint(2, 5, "", clDefault);
    s.AddPoint(3, 5, "", clDefault);
    EXPECT_EQ(s.PointColor(0), clBlue);
    EXPECT_EQ(s.PointColor(1), 0xA00000u);
    EXPECT_EQ(s.PointColor(99), 0xA00000u);
    s.SetColorEachPoint(true);
    EXPECT_EQ(s.PointColor(1), clGreen);   // palette entry 1
    EXPECT_EQ(s.PointColor(2), clYellow);  // palette entry 2
    EXPECT_EQ(s.PointColor(0), clBlue);
    s.SetColorEachPoint(false);  // every stored colour becomes clDefault
    EXPECT_EQ(s.PointColor(0), 0xA00000u);
}

TEST(ChartSeries, ClearPointsEmptiesEverything) {
    FakeChartOwner chart;
    TChartSeries s;
    s.SetSeriesColor(clNavy);
    s.SetParentChart(&chart);
    for (int x = 1; x <= 100; ++x) EXPECT_EQ(s.AddPoint(x, x * 2, "l", clRed), x - 1);
    EXPECT_EQ(s.MaximumY(), 200);
    s.ClearPoints();
    EXPECT_EQ(s.PointCount(), 0);
    EXPECT_EQ(s.PointColor(0), clNavy);
    EXPECT_EQ(s.PointLabel(0), "");
    EXPECT_EQ(s.MaximumY(), 0);
    EXPECT_EQ(s.MinimumX(), 0);
}

TEST(ChartSeries, VetoedAddChangesNothing) {
    TChartSeries s;
    double seen_x = 0, seen_y = 0;
    s.OnBeforeAdd = [&](TChartSeries& series) {
        seen_x = series.XValues().PendingValue();
        seen_y = series.YValues().PendingValue();
        return false;
    };
    EXPECT_EQ(s.AddPoint(4, 7, "x", clRed), -1);
    EXPECT_EQ(seen_x, 4);
    EXPECT_EQ(seen_y, 7);
    EXPECT_EQ(s.PointCount(), 0);
    EXPECT_EQ(s.YValues().ValueCount(), 0);
}

TEST(ChartSeries, HandlersRunInOrder) {
    // Outlives the series, whose destructor clears its values and so runs a handler too.
    std::vector<std::string> calls;
    TChartSeries s;
    s.OnAfterAdd = [&](TChartSeries&, int i) { calls.push_back("add " + std::to_string(i)); };
    s.OnClearValues = [&](TChartSeries&) { calls.push_back("clear"); };
    s.AddPoint(2, 0, "", clRed);
    s.AddPoint(1, 0, "", clRed);
    s.ClearPoints();
    EXPECT_EQ(calls, (std::vector<std::string>{"add 0", "add 0", "clear"}));
}

TEST(ChartSeries, RepaintRequestsOnlyWhileActiveAndOnRealChanges) {
    FakeChartOwner chart;
    TChartSeries s;
    s.SetParentChart(&chart);
    chart.invalidations = 0;
    s.AddPoint(1, 1, "", clRed);
    s.ClearPoints();
    EXPECT_EQ(chart.invalidations, 2);
    s.SetSeriesColor(s.SeriesColor());
    EXPECT_EQ(chart.invalidations, 2);
    s.SetActive(false);
    EXPECT_EQ(chart.invalidations, 3);
    s.AddPoint(1, 1, "", clRed);
    s.ClearPoints();
    EXPECT_EQ(chart.invalidations, 3);
    EXPECT_EQ(s.PointCount(), 0);
    s.XValues().SetMultiplier(3);
    EXPECT_EQ(chart.invalidations, 4);
    s.YValues().SetDateTime(true);
    EXPECT_EQ(chart.invalidations, 5);
}

TEST(ChartSeries, JoiningAChartResolvesAxesAndFreeColour) {
    FakeChartOwner chart;
    TChartSeries red, green, third;
    red.SetSeriesColor(clRed);
    green.SetSeriesColor(clGreen);
    red.SetParentChart(&chart);
    green.SetParentChart(&chart);
    third.SetParentChart(&chart);
    EXPECT_EQ(third.SeriesColor(), clYellow);
    EXPECT_EQ(chart.SeriesList().Count(), 3);
    EXPECT_EQ(chart.SeriesList().At(2), &third);
    EXPECT_EQ(third.GetHorizAxis(), &chart.Bottom());
    EXPECT_EQ(third.GetVertAxis(), &chart.Left());
    third.SetVertAxis(aRightAxis);
    EXPECT_EQ(third.GetVertAxis(), chart.Axis(TAxisPlacement::Right));
    third.SetParentChart(nullptr);
    EXPECT_EQ(third.GetHorizAxis(), nullptr);
    EXPECT_EQ(chart.SeriesList().Count(), 2);
}

TEST(ChartSeries, FreeColourSkipsChartAndBackWallColours) {
    FakeChartOwner chart;
    chart.back_wall_color = clYellow;
    TChartSeries red, green, next;
    red.SetSeriesColor(clRed);
    green.SetSeriesColor(clGreen);
    red.SetParentChart(&chart);
    green.SetParentChart(&chart);
    next.SetParentChart(&chart);
    EXPECT_EQ(next.SeriesColor(), clBlue);
}

TEST(ChartSeries, AllPaletteColoursTakenGivesTheFirst) {
    FakeChartOwner chart;
    chart.back_wall_color = 0x123456;  // not a palette colour: all 16 are free at first
    std::vector<std::unique_ptr<TChartSeries>> series;
    for (int i = 0; i < 17; ++i) {
        series.push_back(std::make_unique<TChartSeries>());
        series.back()->SetParentChart(&chart);
    }
    EXPECT_EQ(series[15]->SeriesColor(), clBlack);
    EXPECT_EQ(series[16]->SeriesColor(), clRed);
}

TEST(ChartSeries, DestroyingASeriesLeavesItsChart) {
    FakeChartOwner chart;
    {
        TChartSeries s;
        s.SetParentChart(&chart);
        EXPECT_EQ(chart.SeriesList().Count(), 1);
    }
    EXPECT_EQ(chart.SeriesList().Count(), 0);
}

TEST(ChartSeries, DestroyingTheChartFirstLeavesNoDanglingChart) {
    TChartSeries s;
    {
        FakeChartOwner chart;
        s.SetParentChart(&chart);
    }
    EXPECT_EQ(s.ParentChart(), nullptr);
    s.AddPoint(1, 1, "", clRed);  // must not touch the chart that is gone
    EXPECT_EQ(s.PointCount(), 1);
}

}  // namespace
}  // namespace kelmarin
