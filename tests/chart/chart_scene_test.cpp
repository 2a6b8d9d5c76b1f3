// Whole frames of the main window's chart in the scenes a user sees: a run's refreshes early
// and late, zoomed, a flat profile, an empty chart, each word's series drawn wide as when its
// box has the focus, and three window sizes. Each frame's pixels are pinned by a hash recorded
// from the plain drawing, so a faster drawing path must give the very same pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>

#include "tests/chart/grafico_fixture.h"

namespace kelmarin::test {
namespace {

using Counts = std::array<std::array<int, 100>, 4>;

// A run's profile after n sequences: each sequence puts 0-3 occurrences of each word into
// random buckets (raw generator output, the same on every platform).
Counts RunProfile(int n) {
    std::mt19937 rng(20261208);
    Counts c{};
    for (int s = 0; s < n; ++s)
        for (auto& row : c)
            for (unsigned k = rng() % 4; k > 0; --k) ++row[rng() % 100];
    return c;
}

struct Scene {
    const char* name;
    std::function<void(TChart&, std::array<TLineSeries, 4>&)> set_up;
    std::uint64_t hash;
};

void Plot(std::array<TLineSeries, 4>& s, const Counts& c) {
    const TColor colors[] = {clRed, clBlue, clBlack, clFuchsia};
    for (int w = 0; w < 4; ++w) {
        s[w].ClearPoints();
        for (int b = 0; b < 100; ++b) s[w].AddPoint(b + 1, c[w][b], QString(), colors[w]);
    }
}

auto Run(int n) {
    return [n](TChart&, std::array<TLineSeries, 4>& s) { Plot(s, RunProfile(n)); };
}

auto Focused(int w) {
    return [w](TChart&, std::array<TLineSeries, 4>& s) {
        Plot(s, RunProfile(3000));
        s[w].LinePen().SetWidth(3);
    };
}

auto Sized(int width, int height) {
    return [=](TChart& chart, std::array<TLineSeries, 4>& s) {
        Plot(s, RunProfile(400));
        chart.resize(width, height);
    };
}

// Zoomed into buckets 19.5 .. 30.5 and the middle of the counts: lines enter and leave the
// plot area and are cut by its clip.
void Zoomed(TChart& chart, std::array<TLineSeries, 4>& s) {
    Plot(s, RunProfile(3000));
    chart.ZoomToValues({60, 140}, {0, 0}, {0, 0}, {19.5, 30.5});
}

// The late frame after a run's worth of earlier refreshes in the same chart: nothing kept from
// them may show.
void AfterRefreshes(TChart& chart, std::array<TLineSeries, 4>& s) {
    QImage image(chart.width(), chart.height(), QImage::Format_RGB32);
    for (int n = 20; n < 3000; n += 740) {
        Plot(s, RunProfile(n));
        QPainter p(&image);
        chart.RenderFrame(&p, {0, 0, chart.width(), chart.height()});
    }
    Plot(s, RunProfile(3000));
}

void Flat(TChart&, std::array<TLineSeries, 4>& s) {
    Counts c{};
    for (auto& row : c) row.fill(7);
    Plot(s, c);
}

void OneWordOnly(TChart&, std::array<TLineSeries, 4>& s) {
    Counts c = RunProfile(200);
    Plot(s, c);
    for (int w = 0; w < 3; ++w) s[w].ClearPoints();
}

void Empty(TChart&, std::array<TLineSeries, 4>& s) {
    for (auto& series : s) series.ClearPoints();
}

std::uint64_t FrameHash(const QImage& image) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            h ^= row[x] & 0xFFFFFF;
            h *= 1099511628211ull;
        }
    }
    return h;
}

const Scene kScenes[] = {
    {"run_early", Run(20), 0x67b5ec58aa425e7cull},
    {"run_middle", Run(400), 0x50aee7c3269ea493ull},
    {"run_late", Run(3000), 0x5e65b4c3958dd989ull},
    {"run_late_after_refreshes", AfterRefreshes, 0x5e65b4c3958dd989ull},
    {"run_zoomed", Zoomed, 0xa6d4343fe682d5aeull},
    {"flat_profile", Flat, 0xe1552046d4ebbaa8ull},
    {"empty_chart", Empty, 0xd808c14001247839ull},
    {"one_word_only", OneWordOnly, 0xdb8417717e98134aull},
    {"focus_edit2", Focused(0), 0x64bc8666cea4af35ull},
    {"focus_edit3", Focused(1), 0x84ad3f4ca1d31f95ull},
    {"focus_edit4", Focused(2), 0x2bb4132e7cf86e93ull},
    {"focus_edit5", Focused(3), 0x5435ee453b395839ull},
    {"window_small", Sized(420, 260), 0xe49bb50a5a8930bfull},
    {"window_large", Sized(1180, 790), 0xa0db1f757c51f3f4ull},
    {"window_tiny", Sized(120, 90), 0x22f24c16a2f2ce55ull},
};

void PrintTo(const Scene& scene, std::ostream* os) { *os << scene.name; }

class ChartScene : public Grafico, public ::testing::WithParamInterface<Scene> {};

TEST_P(ChartScene, FrameIsThePlainDrawingsPixelForPixel) {
    GetParam().set_up(chart, s);
    const std::uint64_t hash = FrameHash(Render());
    EXPECT_EQ(hash, GetParam().hash)
        << "recorded as {\"" << GetParam().name << "\", ..., 0x" << std::hex << hash << "ull}";
    // The second frame of the same scene reuses whatever the first one cached.
    EXPECT_EQ(FrameHash(Render()), hash);
}

INSTANTIATE_TEST_SUITE_P(Scenes, ChartScene, ::testing::ValuesIn(kScenes),
                         [](const auto& info) { return std::string(info.param.name); });

// The same scenes on a screen of two device pixels per pixel: the frame is drawn in device
// pixels, all of it by the painter (lines as lines, texts from their outlines), so that nothing
// is an enlarged one-pixel picture but the markers, which keep the look they have at one device
// pixel per pixel. Hashes recorded from that drawing.
const Scene kScenesAt2[] = {
    {"run_late", Run(3000), 0x66995d4cd9ad894cull},
    {"run_zoomed", Zoomed, 0x9ff7389b281cb812ull},
    {"focus_edit3", Focused(1), 0x68d87cc886efad3aull},
    {"empty_chart", Empty, 0x1f23e1a200f5ffedull},
    {"window_small", Sized(420, 260), 0xb89dffe55d43920dull},
};

class ChartSceneAt2 : public ChartScene {};

TEST_P(ChartSceneAt2, FrameIsThePaintersInDevicePixels) {
    GetParam().set_up(chart, s);
    QImage image(chart.size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        chart.RenderFrame(&p, {0, 0, chart.width(), chart.height()});
    }
    ASSERT_NE(chart.Surface().Bitmap(), nullptr);
    EXPECT_EQ(chart.Surface().Bitmap()->size(), chart.size() * 2);
    const std::uint64_t hash = FrameHash(image);
    EXPECT_EQ(hash, GetParam().hash)
        << "recorded as {\"" << GetParam().name << "\", ..., 0x" << std::hex << hash << "ull}";
}

INSTANTIATE_TEST_SUITE_P(Scenes, ChartSceneAt2, ::testing::ValuesIn(kScenesAt2),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmarin::test
