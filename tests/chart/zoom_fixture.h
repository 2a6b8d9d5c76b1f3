#pragma once
// The main window's chart on screen (offscreen platform) with one word profile, driven by real
// mouse and wheel events.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <array>

#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "chart/line_series.h"

namespace kelmarin::test {

// An axis range as the tests compare it.
struct Range {
    double min, max;
};

class ZoomChart : public ::testing::Test {
  protected:
    ZoomChart() {
        ConfigureGrafico(chart, {&s[0], &s[1], &s[2], &s[3]});
        chart.OnAfterDraw = [this] { ++frames; };
        chart.resize(682, 524);
        Refill(0);
        chart.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
        Settle();
    }

    // 100 points at X 1 .. 100; every refill has Y 0 and Y 50 among them, so the automatic
    // ranges, and with them the layout, stay the same.
    void Refill(int k) {
        s[0].ClearPoints();
        for (int i = 1; i <= 100; ++i) s[0].AddPoint(i, (i * 37 + k * 11) % 51, QString(), clRed);
    }
    // QTest's QTRY_ macros would not report to GoogleTest: wait, then check.
    void Settle() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return frames > 0 && !chart.Surface().IsDirty(); }));
    }
    // What the window shows.
    QImage Shown() { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(&chart, b, Qt::NoModifier, p);
    }
    // A move with the button still held (QTest's own move carries no buttons).
    void MoveHeld(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QMouseEvent e(QEvent::MouseMove, p, chart.mapToGlobal(p), Qt::NoButton, b, Qt::NoModifier);
        QApplication::sendEvent(&chart, &e);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(&chart, b, Qt::NoModifier, p);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton) {
        Press(from, b);
        MoveHeld((from + to) / 2, b);
        MoveHeld(to, b);
        Release(to, b);
    }
    void Wheel(int delta) {
        const QPointF at(300, 200);
        QWheelEvent e(at, chart.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &e);
    }

    // A pixel of the plot area well away from the profile's lines and markers.
    QPoint FreeSpot() {
        const TRect& r = chart.ChartRect();
        for (int i = 2; i < 97; ++i) {
            int lo = r.bottom, hi = r.top;
            for (int j = i - 2; j <= i + 3; ++j) {
                lo = std::min(lo, s[0].YPixel(j));
                hi = std::max(hi, s[0].YPixel(j));
            }
            const int x = (s[0].XPixel(i) + s[0].XPixel(i + 1)) / 2;
            if (lo > r.top + 25) return {x, r.top + 8};
            if (hi < r.bottom - 25) return {x, r.bottom - 8};
        }
        ADD_FAILURE() << "no free spot";
        return {};
    }

    static Range RangeOf(const TChartAxis& a) { return {a.Minimum(), a.Maximum()}; }
    static bool Manual(const TChartAxis& a) {
        return !a.Automatic() && !a.AutomaticMinimum() && !a.AutomaticMaximum();
    }
    static bool Automatic(const TChartAxis& a) {
        return a.Automatic() && a.AutomaticMinimum() && a.AutomaticMaximum();
    }
    // The value under a pixel by the linear map of the last paint: horizontal axes grow to the
    // right, vertical ones upwards.
    static double ValueAt(const TChartAxis& a, int p) {
        const double t = double(p - a.StartPixel()) / (a.EndPixel() - a.StartPixel());
        const double span = a.WorkingMaximum() - a.WorkingMinimum();
        return a.Horizontal() ? a.WorkingMinimum() + t * span : a.WorkingMaximum() - t * span;
    }
    static void ExpectRange(const TChartAxis& a, Range r) {
        EXPECT_NEAR(a.Minimum(), r.min, 1e-9);
        EXPECT_NEAR(a.Maximum(), r.max, 1e-9);
    }

    TChart chart;
    std::array<TLineSeries, 4> s;
    int frames = 0;
};

}  // namespace kelmarin::test
