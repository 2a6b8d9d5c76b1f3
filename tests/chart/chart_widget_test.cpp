#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <random>

#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "chart/line_series.h"
#include "tests/wait_for.h"

namespace kelmarin {
namespace {

class ChartWidget : public ::testing::Test {
  protected:
    ChartWidget() {
        ConfigureGrafico(chart, {&s[0], &s[1], &s[2], &s[3]});
        chart.OnAfterDraw = [this] { ++frames; };
        chart.resize(300, 200);
        chart.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }

    TChart chart;
    std::array<TLineSeries, 4> s;
    int frames = 0;
};

TEST_F(ChartWidget, NeverLetsTheBackgroundBeErased) {
    EXPECT_TRUE(chart.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_TRUE(chart.testAttribute(Qt::WA_NoSystemBackground));
    EXPECT_FALSE(chart.autoFillBackground());
}

TEST_F(ChartWidget, ADataChangeOnlyMarksDirtyAndRepaintAtOncePaintsAFrame) {
    ASSERT_TRUE(test::WaitFor([&] { return frames > 0; }));
    ASSERT_TRUE(test::WaitFor([&] { return !chart.Surface().IsDirty(); }));
    const int before = frames;
    s[0].AddPoint(1, 2, QString(), clRed);
    EXPECT_TRUE(chart.Surface().IsDirty());
    EXPECT_EQ(frames, before);  // nothing painted yet: only invalidated
    chart.RepaintNow();
    EXPECT_EQ(frames, before + 1);
    EXPECT_FALSE(chart.Surface().IsDirty());
}

TEST_F(ChartWidget, UncoveringCopiesTheLastFrameWithoutANewOne) {
    ASSERT_TRUE(test::WaitFor([&] { return frames > 0; }));
    ASSERT_TRUE(test::WaitFor([&] { return !chart.Surface().IsDirty(); }));
    const int before = frames;
    chart.repaint();  // as when the window is uncovered
    EXPECT_EQ(frames, before);
    const QImage shown = chart.grab().toImage();
    EXPECT_EQ(shown.pixel(150, 198) & 0xFFFFFF,
              chart.Surface().Bitmap()->pixel(150, 198) & 0xFFFFFF);
}

// Paint regions the chart receives.
struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(ChartWidget, EachRefreshShowsItsWholeFrame) {
    ASSERT_TRUE(test::WaitFor([&] { return !chart.Surface().IsDirty(); }));
    const auto shown = [&] {
        return chart.screen()
            ->grabWindow(chart.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto refill = [&](int refresh) {
        s[0].ClearPoints();
        for (int b = 1; b <= 100; ++b) s[0].AddPoint(b, (b * 7 + refresh * 13) % 90, {}, clRed);
    };
    chart.LeftAxis().SetManualRange(0, 100);
    for (int refresh = 0; refresh < 4; ++refresh) {
        refill(refresh);
        chart.RepaintNow();
        EXPECT_EQ(shown(), *chart.Surface().Bitmap()) << "refresh " << refresh;
    }
}

// A run's refreshes on screen, each drawn over the bitmap of the one before: every frame is the
// one a fresh chart draws, and every pixel that changed from the frame before is in the area
// sent to the screen.
TEST_F(ChartWidget, RefreshesAreFreshFramesAndSendEveryChangedPixel) {
    chart.resize(682, 524);
    ASSERT_TRUE(test::WaitFor(
        [&] { return !chart.Surface().IsDirty() && chart.Surface().Bitmap()->width() == 682; }));
    PaintSpy spy;
    chart.installEventFilter(&spy);
    // Jagged profiles: steep lines crossing many rows.
    const auto plot = [](std::array<TLineSeries, 4>& series, int refresh) {
        std::mt19937 rng(refresh);
        for (int w = 0; w < 4; ++w) {
            series[w].ClearPoints();
            for (int b = 1; b <= 100; ++b)
                series[w].AddPoint(b, int(rng() % 1000) * (refresh + 1), {}, clRed);
        }
    };
    QImage before = *chart.Surface().Bitmap();
    for (int refresh = 0; refresh < 6; ++refresh) {
        plot(s, refresh);
        if (refresh == 3) chart.BottomAxis().SetManualRange(20, 60);
        spy.painted = QRegion();
        chart.RepaintNow();
        const QImage& now = *chart.Surface().Bitmap();
        TChart fresh;
        std::array<TLineSeries, 4> fs;
        ConfigureGrafico(fresh, {&fs[0], &fs[1], &fs[2], &fs[3]});
        fresh.resize(chart.size());
        if (refresh >= 3) fresh.BottomAxis().SetManualRange(20, 60);
        plot(fs, refresh);
        QImage expected(chart.size(), QImage::Format_RGB32);
        QPainter p(&expected);
        fresh.RenderFrame(&p, {0, 0, chart.width(), chart.height()});
        p.end();
        EXPECT_EQ(now, expected) << "refresh " << refresh;
        int unsent = 0;
        for (int y = 0; y < now.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(now.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(y));
            for (int x = 0; x < now.width(); ++x)
                unsent += a[x] != b[x] && !spy.painted.contains(QPoint(x, y));
        }
        EXPECT_EQ(unsent, 0) << "refresh " << refresh;
        before = now;
    }
}

// Inside a window, away from its corner and partly under another widget: the frame lands
// where the chart is, and never over the widget on top of it.
TEST(ChartInAWindow, LandsAtItsPlaceAndStaysUnderWhatCoversIt) {
    QWidget window;
    window.resize(400, 300);
    TChart chart(&window);
    std::array<TLineSeries, 4> s;
    ConfigureGrafico(chart, {&s[0], &s[1], &s[2], &s[3]});
    chart.setGeometry(37, 23, 300, 200);
    QWidget cover(&window);
    cover.setGeometry(300, 180, 60, 60);
    cover.setAutoFillBackground(true);
    cover.setPalette(QPalette(Qt::green));
    cover.raise();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int b = 1; b <= 100; ++b) s[0].AddPoint(b, b % 17, {}, clRed);
    chart.RepaintNow();
    const QImage shown =
        window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& frame = *chart.Surface().Bitmap();
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const QPoint at(x + 37, y + 23);
            const QRgb want = cover.geometry().contains(at) ? qRgb(0, 255, 0) : frame.pixel(x, y);
            wrong += shown.pixel(at) != want;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ChartWidget, ResizingBuildsTheNextFrameAtTheNewSize) {
    ASSERT_TRUE(test::WaitFor([&] { return frames > 0; }));
    chart.resize(400, 260);
    ASSERT_TRUE(test::WaitFor([&] { return chart.Surface().Bitmap()->size() == QSize(400, 260); }));
    EXPECT_EQ(chart.ChartRect().right, 400);
}

TEST_F(ChartWidget, ASettingChangeRepaintsOnlyWhenTheValueDiffers) {
    ASSERT_TRUE(test::WaitFor([&] { return !chart.Surface().IsDirty(); }));
    chart.Gradient().SetStartColor(clYellow);  // unchanged
    EXPECT_FALSE(chart.Surface().IsDirty());
    s[1].LinePen().SetWidth(3);
    EXPECT_TRUE(chart.Surface().IsDirty());
}

}  // namespace
}  // namespace kelmarin
