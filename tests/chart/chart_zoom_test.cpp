#include <gtest/gtest.h>

#include "tests/chart/zoom_fixture.h"

namespace kelmarin::test {
namespace {

using Zoom = ZoomChart;

TEST_F(Zoom, ARightDownDragSetsEveryAxisToTheValuesUnderTheRectangle) {
    const TChartAxis &bottom = chart.BottomAxis(), &left = chart.LeftAxis();
    const Range want_bottom{ValueAt(bottom, 100), ValueAt(bottom, 200)};
    const Range want_left{ValueAt(left, 180), ValueAt(left, 100)};
    int zooms = 0;
    chart.OnZoom = [&] { ++zooms; };
    Drag({100, 100}, {200, 180});
    ExpectRange(bottom, want_bottom);
    ExpectRange(left, want_left);
    // The axes no series uses are zoomed too.
    for (TChartAxis* a :
         {&chart.BottomAxis(), &chart.LeftAxis(), &chart.TopAxis(), &chart.RightAxis()})
        EXPECT_TRUE(Manual(*a)) << int(a->Placement());
    EXPECT_TRUE(chart.ZoomedIn());
    EXPECT_FALSE(chart.RangesRestored());
    EXPECT_EQ(zooms, 1);
    // The next paint shows exactly that window (no marker margins on a manual axis).
    chart.RepaintNow();
    EXPECT_DOUBLE_EQ(bottom.WorkingMinimum(), want_bottom.min);
    EXPECT_DOUBLE_EQ(left.WorkingMaximum(), want_left.max);
}

// From a zoomed chart: what a second drag of (dx, dy) pixels does.
struct DragCase {
    int dx, dy;
    enum { Nothing, ZoomsAgain, Undoes } outcome;
};

class ZoomThreshold : public ZoomChart, public ::testing::WithParamInterface<DragCase> {};

TEST_P(ZoomThreshold, OnlyDragsOfMoreThan16PixelsBothWaysCount) {
    Drag({150, 150}, {450, 400});
    chart.RepaintNow();
    const Range zoomed_bottom = RangeOf(chart.BottomAxis());
    const Range zoomed_left = RangeOf(chart.LeftAxis());
    const DragCase c = GetParam();
    Drag({300, 250}, {300 + c.dx, 250 + c.dy});
    switch (c.outcome) {
        case DragCase::Nothing:
            ExpectRange(chart.BottomAxis(), zoomed_bottom);
            ExpectRange(chart.LeftAxis(), zoomed_left);
            EXPECT_TRUE(chart.ZoomedIn());
            break;
        case DragCase::ZoomsAgain:
            EXPECT_GT(chart.BottomAxis().Minimum(), zoomed_bottom.min);
            EXPECT_LT(chart.BottomAxis().Maximum(), zoomed_bottom.max);
            EXPECT_LT(chart.LeftAxis().Maximum(), zoomed_left.max);
            EXPECT_TRUE(chart.ZoomedIn());
            break;
        case DragCase::Undoes:
            for (TChartAxis* a :
                 {&chart.BottomAxis(), &chart.LeftAxis(), &chart.TopAxis(), &chart.RightAxis()})
                EXPECT_TRUE(Automatic(*a)) << int(a->Placement());
            EXPECT_FALSE(chart.ZoomedIn());
            EXPECT_TRUE(chart.RangesRestored());
            break;
    }
    EXPECT_FALSE(chart.Zoom().Dragging);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, ZoomThreshold,
    ::testing::Values(DragCase{16, 50, DragCase::Nothing}, DragCase{50, 16, DragCase::Nothing},
                      DragCase{-16, -50, DragCase::Nothing}, DragCase{0, 0, DragCase::Nothing},
                      DragCase{17, 17, DragCase::ZoomsAgain}, DragCase{-100, -80, DragCase::Undoes},
                      DragCase{-17, -17, DragCase::Undoes}, DragCase{100, -50, DragCase::Undoes},
                      DragCase{-100, 50, DragCase::Undoes}));

TEST_F(Zoom, TwoZoomsAndOneUndoBringBackTheUnzoomedChart) {
    const Range bottom = RangeOf(chart.BottomAxis()), left = RangeOf(chart.LeftAxis());
    const QImage before = Shown();
    int undos = 0;
    chart.OnUndoZoom = [&] { ++undos; };
    Drag({100, 100}, {500, 400});
    chart.RepaintNow();
    Drag({150, 150}, {300, 300});
    chart.RepaintNow();
    ASSERT_LT(chart.BottomAxis().Maximum() - chart.BottomAxis().Minimum(),
              (bottom.max - bottom.min) / 4);
    Drag({300, 300}, {100, 100});
    EXPECT_EQ(undos, 1);
    chart.RepaintNow();
    ExpectRange(chart.BottomAxis(), bottom);
    ExpectRange(chart.LeftAxis(), left);
    EXPECT_EQ(Shown(), before);
}

TEST_F(Zoom, AnUndoWithoutAZoomChangesNothingButIsReported) {
    chart.LeftAxis().SetManualRange(-5, 80);  // a setting of its own, not a zoom
    chart.RepaintNow();
    int undos = 0;
    chart.OnUndoZoom = [&] { ++undos; };
    Drag({300, 300}, {100, 100});
    EXPECT_EQ(undos, 1);
    ExpectRange(chart.LeftAxis(), {-5, 80});
    EXPECT_TRUE(Manual(chart.LeftAxis()));
    EXPECT_TRUE(chart.Surface().IsDirty());  // invalidated all the same
}

TEST_F(Zoom, UndoRestoresEachAxisAsItWasBeforeTheFirstZoom) {
    chart.LeftAxis().SetManualRange(-5, 80);
    chart.BottomAxis().SetAutomaticMaximum(false);
    chart.BottomAxis().SetMaximum(120);
    chart.RepaintNow();
    const Range bottom = RangeOf(chart.BottomAxis());
    Drag({100, 100}, {300, 300});
    Drag({300, 300}, {100, 100});
    ExpectRange(chart.LeftAxis(), {-5, 80});
    EXPECT_TRUE(Manual(chart.LeftAxis()));
    EXPECT_TRUE(chart.BottomAxis().AutomaticMinimum());
    EXPECT_FALSE(chart.BottomAxis().AutomaticMaximum());
    EXPECT_FALSE(chart.BottomAxis().Automatic());
    ExpectRange(chart.BottomAxis(), bottom);
}

TEST_F(Zoom, ARightButtonDragNeitherPansNorZooms) {
    const Range bottom = RangeOf(chart.BottomAxis()), left = RangeOf(chart.LeftAxis());
    const QImage before = Shown();
    Press({100, 100}, Qt::RightButton);
    EXPECT_FALSE(chart.Zoom().Dragging);
    EXPECT_FALSE(chart.Panning().Dragging);
    MoveHeld({200, 180}, Qt::RightButton);
    EXPECT_EQ(Shown(), before);  // no band
    Release({200, 180}, Qt::RightButton);
    ExpectRange(chart.BottomAxis(), bottom);
    ExpectRange(chart.LeftAxis(), left);
    EXPECT_FALSE(chart.ZoomedIn());
}

TEST_F(Zoom, AReleaseOfAnotherButtonLeavesTheZoomDragRunning) {
    Press({100, 100});
    MoveHeld({200, 180});
    QTest::mouseRelease(&chart, Qt::RightButton, Qt::NoModifier, QPoint(200, 180));
    EXPECT_TRUE(chart.Zoom().Dragging);
    EXPECT_FALSE(chart.ZoomedIn());
    Release({200, 180});
    EXPECT_TRUE(chart.ZoomedIn());
}

TEST_F(Zoom, WithoutAllowZoomALeftDragDoesNothing) {
    chart.SetAllowZoom(false);
    Drag({100, 100}, {300, 300});
    EXPECT_FALSE(chart.ZoomedIn());
    EXPECT_TRUE(Automatic(chart.BottomAxis()));
}

TEST_F(Zoom, RefillingTheSeriesWhileZoomedKeepsTheWindow) {
    Drag({100, 100}, {300, 300});
    chart.RepaintNow();
    const Range bottom = RangeOf(chart.BottomAxis()), left = RangeOf(chart.LeftAxis());
    for (int k = 1; k <= 3; ++k) {
        s[0].ClearPoints();
        for (int i = 1; i <= 100; ++i) s[0].AddPoint(i, 5.0 * i, QString(), clRed);
        chart.RepaintNow();
        ExpectRange(chart.BottomAxis(), bottom);
        ExpectRange(chart.LeftAxis(), left);
        // The paint used that window exactly: no margins widened it.
        EXPECT_DOUBLE_EQ(chart.LeftAxis().WorkingMinimum(), left.min);
    }
}

TEST_F(Zoom, AThinRectangleGetsTheSmallestSpan) {
    chart.ZoomToValues({3, 3}, {0, 1}, {0, 1}, {10, 20});
    EXPECT_DOUBLE_EQ(chart.LeftAxis().Minimum(), 3);
    EXPECT_NEAR(chart.LeftAxis().Maximum() - 3, 1e-10, 1e-15);
}

TEST_F(Zoom, AnimatedZoomPaintsTheStepsAndEndsOnTheTarget) {
    chart.SetAnimatedZoom(true);
    chart.SetAnimatedZoomSteps(4);
    chart.BottomAxis().SetManualRange(0, 90);
    chart.RepaintNow();
    std::vector<Range> seen;
    chart.OnAfterDraw = [&] { seen.push_back(RangeOf(chart.BottomAxis())); };
    chart.ZoomToValues({0, 50}, {0, 1}, {0, 1}, {9, 36});
    // Each step covers a third of what remains: 0 -> 3 -> 5 -> 6.33..., 90 -> 72 -> 60 -> 52.
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_DOUBLE_EQ(seen[0].min, 3);
    EXPECT_DOUBLE_EQ(seen[0].max, 72);
    EXPECT_DOUBLE_EQ(seen[1].min, 5);
    EXPECT_DOUBLE_EQ(seen[2].max, 52);
    ExpectRange(chart.BottomAxis(), {9, 36});
}

}  // namespace
}  // namespace kelmarin::test
