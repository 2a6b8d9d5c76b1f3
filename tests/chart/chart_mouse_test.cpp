#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "chart/chart_exceptions.h"
#include "chart/chart_series.h"
#include "platform/handler_guard.h"
#include "tests/chart/zoom_fixture.h"

namespace kelmarin::test {
namespace {

QRgb Rgb(const QImage& im, QPoint p) { return im.pixel(p) & 0xFFFFFF; }
// Not-xor of a pen colour over a pixel, as the raster operation defines it.
QRgb NotXor(QRgb pen, QRgb under) { return ~(pen ^ under) & 0xFFFFFF; }

// A mid-grey chart colour, so that the band's pen is the chart colour itself.
class Band : public ZoomChart {
  protected:
    void SetUp() override {
        ZoomChart::SetUp();
        chart.SetColor(clSilver);
        chart.RepaintNow();
    }
    static constexpr QRgb kPen = 0xC0C0C0;
};

TEST_F(Band, IsDrawnInNotXorAndItsPixelsComeBackAfterTheRelease) {
    const QImage before = Shown();
    const QRgb pen = kPen;
    const int painted = frames;
    Press({150, 120});
    MoveHeld({250, 200});
    MoveHeld({300, 250});
    EXPECT_EQ(frames, painted);  // moving the band repaints nothing
    const QImage during = Shown();
    // The current band: its edges are inverted against the pen, right and bottom edges
    // excluded as for every rectangle of the surface.
    for (const QPoint p : {QPoint(200, 120), QPoint(150, 200), QPoint(299, 200), QPoint(200, 249)})
        EXPECT_EQ(Rgb(during, p), NotXor(pen, Rgb(before, p))) << p.x() << "," << p.y();
    // The earlier band was erased where the current one does not pass.
    EXPECT_EQ(Rgb(during, {200, 199}), Rgb(before, {200, 199}));
    EXPECT_EQ(Rgb(during, {200, 121}), Rgb(before, {200, 121}));
    EXPECT_EQ(Rgb(during, {300, 200}), Rgb(before, {300, 200}));
    // A release too close to the press: no zoom, no paint, the band's pixels restored.
    Release({160, 130});
    EXPECT_EQ(frames, painted);
    EXPECT_EQ(Shown(), before);
    EXPECT_FALSE(chart.ZoomedIn());
}

TEST_F(Band, ADragUpAndLeftShowsItsBandToo) {
    const QImage before = Shown();
    Press({300, 250});
    MoveHeld({150, 120});
    const QImage during = Shown();
    for (const QPoint p : {QPoint(200, 120), QPoint(150, 200), QPoint(299, 200), QPoint(200, 249)})
        EXPECT_EQ(Rgb(during, p), NotXor(kPen, Rgb(before, p))) << p.x() << "," << p.y();
    Release({290, 240});  // too short: only the band goes
    EXPECT_EQ(Shown(), before);
}

TEST_F(Band, APaintDuringTheDragDrawsTheBandOverTheNewPicture) {
    Press({150, 120});
    MoveHeld({300, 250});
    Refill(1);
    chart.RepaintNow();
    const QImage during = Shown();
    Release({160, 130});  // erases, nothing else
    const QImage after = Shown();
    const QRgb pen = kPen;
    EXPECT_EQ(Rgb(during, {200, 120}), NotXor(pen, Rgb(after, {200, 120})));
    EXPECT_EQ(Rgb(during, {299, 180}), NotXor(pen, Rgb(after, {299, 180})));
    // No trace is left: the picture is the one a full paint gives.
    chart.Surface().MarkDirty();
    chart.RepaintNow();
    EXPECT_EQ(Shown(), after);
}

struct PenCase {
    TColor chart_color;
    QRgb pen;
};

class BandPen : public ZoomChart, public ::testing::WithParamInterface<PenCase> {};

TEST_P(BandPen, FollowsTheChartColourExceptNearWhite) {
    chart.SetColor(GetParam().chart_color);
    chart.RepaintNow();
    const QImage before = Shown();
    Press({150, 120});
    MoveHeld({300, 250});
    const QPoint edge(220, 120);
    EXPECT_EQ(Rgb(Shown(), edge), NotXor(GetParam().pen, Rgb(before, edge)));
    Release({300, 250});
}

INSTANTIATE_TEST_SUITE_P(Colours, BandPen,
                         ::testing::Values(PenCase{clWhite, 0x000000}, PenCase{0xEFEFEF, 0x000000},
                                           PenCase{clSilver, 0xC0C0C0}, PenCase{clRed, 0xFF0000},
                                           PenCase{0x00C000, 0x00C000},
                                           PenCase{clBlack, 0x000000}));

TEST_F(Band, ADragPictureShowsTheRectangle) {
    Press({180, 140});
    MoveHeld({420, 330});
    const QImage during = Shown();
    if (const char* path = std::getenv("KELMARIN_ZOOM_PICTURE")) during.save(path);
    Release({420, 330});
    EXPECT_TRUE(chart.ZoomedIn());
}

// Where a press lands and whether it starts a zoom drag.
struct PartCase {
    const char* name;
    TChartClickedPartStyle part;
    bool starts_drag;
};

class PressedPart : public ZoomChart, public ::testing::WithParamInterface<PartCase> {
  protected:
    PressedPart() {
        chart.Title().SetText({QStringLiteral("Word profiles")});
        chart.RepaintNow();
    }
    QPoint PointFor(const std::string& name) {
        const TRect& r = chart.ChartRect();
        const int mid_y = (r.top + r.bottom) / 2;
        if (name == "title") return {chart.width() / 2, 3};
        if (name == "bottom axis title") return {chart.width() / 2, chart.height() - 4};
        if (name == "left axis labels") return {r.left - 6, mid_y};
        if (name == "bottom axis ticks") return {(r.left + r.right) / 2, r.bottom + 2};
        if (name == "marker") return {s[0].XPixel(40), s[0].YPixel(40)};
        if (name == "line") return LineMidpoint();
        return FreeSpot();  // the plot area away from the line
    }
    QPoint LineMidpoint() {
        // The longest segment, so that its middle is far from both markers.
        int best = 1, best_len = 0;
        for (int i = 1; i < 100; ++i) {
            const int len = std::abs(s[0].YPixel(i) - s[0].YPixel(i - 1));
            if (len > best_len) best_len = len, best = i;
        }
        return {(s[0].XPixel(best) + s[0].XPixel(best - 1)) / 2,
                (s[0].YPixel(best) + s[0].YPixel(best - 1)) / 2};
    }
};

TEST_P(PressedPart, IsFoundAndOnlySeriesAxesAndThePlotAreaStartADrag) {
    const QPoint p = PointFor(GetParam().name);
    const TChartClickedPart part = chart.ClickedPart(p.x(), p.y());
    EXPECT_EQ(part.Part, GetParam().part);
    if (part.Part == cpSeries) {
        EXPECT_EQ(part.ASeries, &s[0]);
    }
    Press(p);
    EXPECT_EQ(chart.Zoom().Dragging, GetParam().starts_drag);
    MoveHeld(p + QPoint(120, 100));
    Release(p + QPoint(120, 100));
    EXPECT_EQ(chart.ZoomedIn(), GetParam().starts_drag);
}

INSTANTIATE_TEST_SUITE_P(Parts, PressedPart,
                         ::testing::Values(PartCase{"title", cpTitle, false},
                                           PartCase{"bottom axis title", cpNone, false},
                                           PartCase{"left axis labels", cpAxis, true},
                                           PartCase{"bottom axis ticks", cpAxis, true},
                                           PartCase{"marker", cpSeries, true},
                                           PartCase{"line", cpSeries, true},
                                           PartCase{"plot area", cpChartRect, true}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (ch == ' ') ch = '_';
                             return n;
                         });

TEST_F(ZoomChart, ThePlotAreaIsNoTargetWithoutAnActiveSeries) {
    for (TLineSeries& series : s) series.SetActive(false);
    chart.RepaintNow();
    const TRect& r = chart.ChartRect();
    EXPECT_EQ(chart.ClickedPart(r.left + 40, r.top + 40).Part, cpNone);
}

TEST_F(ZoomChart, AHandlerThatKeepsThePressStopsTheDrag) {
    int clicks = 0;
    chart.OnClickBackground = [&](TMouseButton b, int, int) {
        EXPECT_EQ(b, mbLeft);
        ++clicks;
    };
    const QPoint p = FreeSpot();
    Drag(p, p + QPoint(150, 150));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(chart.ZoomedIn());
    // A handler that clears MouseHandled lets the zoom go on.
    chart.OnClickBackground = [&](TMouseButton, int, int) { chart.SetMouseHandled(false); };
    Drag(p, p + QPoint(150, 150));
    EXPECT_TRUE(chart.ZoomedIn());
}

TEST_F(ZoomChart, AClickOnASeriesReachesItsOwnHandlerWithThePoint) {
    int index = -1;
    s[0].OnClick = [&](TChartSeries&, int i, TMouseButton, int, int) { index = i; };
    const QPoint p(s[0].XPixel(60), s[0].YPixel(60));
    Press(p);
    Release(p);
    EXPECT_EQ(index, 60);
    EXPECT_FALSE(chart.Zoom().Dragging);
}

TEST_F(ZoomChart, AClickBetweenAClearAndTheNextPaintFindsNoPointThatIsGone) {
    int clicks = 0;
    s[0].OnClick = [&](TChartSeries&, int, TMouseButton, int, int) { ++clicks; };
    const QPoint p(s[0].XPixel(60), s[0].YPixel(60));
    s[0].ClearPoints();  // the repaint it asks for has not come yet
    Press(p);
    Release(p);
    EXPECT_EQ(clicks, 0);
}

// Wheel notches: the shift of the vertical axes in parts of their span.
struct WheelCase {
    std::vector<int> deltas;
    double shift;
};

class WheelScroll : public ZoomChart, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WheelScroll, MovesTheVerticalAxesByThreePercentANotch) {
    const Range left = RangeOf(chart.LeftAxis()), bottom = RangeOf(chart.BottomAxis());
    const double span = left.max - left.min;
    for (const int d : GetParam().deltas) Wheel(d);
    const double shift = GetParam().shift * span;
    ExpectRange(chart.LeftAxis(), {left.min + shift, left.max + shift});
    ExpectRange(chart.BottomAxis(), bottom);
    EXPECT_TRUE(Manual(chart.LeftAxis()));
    EXPECT_TRUE(Manual(chart.RightAxis()));
    EXPECT_TRUE(Automatic(chart.BottomAxis()));
    EXPECT_FALSE(chart.Surface().IsDirty());  // repainted at once
}

INSTANTIATE_TEST_SUITE_P(Notches, WheelScroll,
                         ::testing::Values(WheelCase{{-120}, 0.03}, WheelCase{{120}, -0.03},
                                           WheelCase{{-240}, 0.06}, WheelCase{{-120, 120}, 0.0},
                                           WheelCase{{60, 60}, -0.03}));

TEST_F(ZoomChart, TheWheelWorksWhatEverThePanningSetting) {
    chart.SetAllowPanning(pmBoth);
    const Range left = RangeOf(chart.LeftAxis());
    Wheel(-120);
    EXPECT_GT(chart.LeftAxis().Minimum(), left.min);
}

// The run's refresh: new points, an immediate paint, then the pending window events.
class RunRefresh : public ZoomChart {
  protected:
    void Refresh(int k) {
        Refill(k);
        chart.RepaintNow();
        QCoreApplication::processEvents();
    }
    void Post(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
        QCoreApplication::postEvent(
            &chart, new QMouseEvent(type, p, chart.mapToGlobal(p), button, held, Qt::NoModifier));
    }
};

TEST_F(RunRefresh, AZoomDraggedBetweenRefreshesHoldsThroughTheNextOnes) {
    const TChartAxis &bottom = chart.BottomAxis(), &left = chart.LeftAxis();
    Refresh(1);
    const Range want_bottom{ValueAt(bottom, 120), ValueAt(bottom, 400)};
    const Range want_left{ValueAt(left, 350), ValueAt(left, 90)};
    Post(QEvent::MouseButtonPress, {120, 90}, Qt::LeftButton, Qt::LeftButton);
    Refresh(2);
    EXPECT_TRUE(chart.Zoom().Dragging);
    Post(QEvent::MouseMove, {300, 250}, Qt::NoButton, Qt::LeftButton);
    Refresh(3);
    Post(QEvent::MouseMove, {400, 350}, Qt::NoButton, Qt::LeftButton);
    Refresh(4);  // painted while dragging
    Post(QEvent::MouseButtonRelease, {400, 350}, Qt::LeftButton, Qt::NoButton);
    Refresh(5);
    EXPECT_TRUE(chart.ZoomedIn());
    ExpectRange(bottom, want_bottom);
    ExpectRange(left, want_left);
    for (int k = 6; k < 10; ++k) {
        Refresh(k);
        ExpectRange(bottom, want_bottom);
        ExpectRange(left, want_left);
    }
    // No band is left behind once the run's paints and the drag are over.
    const QImage shown = Shown();
    chart.Surface().MarkDirty();
    chart.RepaintNow();
    EXPECT_EQ(Shown(), shown);
}

// The failures of the chart's handlers as the application's sink receives them.
std::vector<std::string>& Caught() {
    static std::vector<std::string> caught;
    return caught;
}
void CatchFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        Caught().push_back(e.what());
    }
}

TEST_F(ZoomChart, FailuresOfItsHandlersGoToTheSinkInsteadOfThroughQt) {
    const HandlerFailureSink previous = SetHandlerFailureSink(&CatchFailure);
    Caught().clear();
    const QPoint p = FreeSpot();
    chart.OnZoom = [] { throw ChartException("zoom"); };
    Drag(p, p + QPoint(150, 150));
    chart.OnClickBackground = [](TMouseButton, int, int) { throw ChartException("press"); };
    Press(p);
    Release(p);
    chart.OnAfterDraw = [] { throw ChartException("paint"); };
    chart.Surface().MarkDirty();
    chart.repaint();
    SetHandlerFailureSink(previous);
    EXPECT_EQ(Caught(), (std::vector<std::string>{"zoom", "press", "paint"}));
}

}  // namespace
}  // namespace kelmarin::test
