// Chart painting benchmarks: a full frame of the main window's chart (682 x 524, four series of
// 100 points, data changed before every frame as a run changes it) and the repaint of an
// unchanged chart from its off-screen bitmap. Each reports the median frame time in
// microseconds as the counter "median_us" besides the usual mean.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "analysis/word_profile.h"
#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "chart/tools/sample_profiles.h"

namespace {

using namespace kelmarin;
using Clock = std::chrono::steady_clock;

struct ConfiguredChart {
    TChart chart;
    std::array<TLineSeries, 4> series;
    std::array<TLineSeries*, 4> refs{&series[0], &series[1], &series[2], &series[3]};
    QImage target{682, 524, QImage::Format_RGB32};

    ConfiguredChart() {
        ConfigureGrafico(chart, refs);
        chart.resize(682, 524);
    }
    void Frame() {
        QPainter p(&target);
        chart.RenderFrame(&p, {0, 0, 682, 524});
    }
};

void ReportMedian(benchmark::State& state, std::vector<double>& us) {
    if (us.empty()) return;
    std::nth_element(us.begin(), us.begin() + us.size() / 2, us.end());
    state.counters["median_us"] = us[us.size() / 2];
}

void BM_FullFrame(benchmark::State& state) {
    ConfiguredChart c;
    std::vector<double> us;
    int variant = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tools::FillSampleProfiles(c.refs, variant++ % 16);
        state.ResumeTiming();
        const auto t0 = Clock::now();
        c.Frame();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    ReportMedian(state, us);
}
BENCHMARK(BM_FullFrame)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_RefillAndFullFrame(benchmark::State& state) {
    ConfiguredChart c;
    int variant = 0;
    for (auto _ : state) {
        tools::FillSampleProfiles(c.refs, variant++ % 16);
        c.Frame();
    }
}
BENCHMARK(BM_RefillAndFullFrame)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_RepaintFromBuffer(benchmark::State& state) {
    ConfiguredChart c;
    tools::FillSampleProfiles(c.refs, 0);
    c.Frame();
    std::vector<double> us;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QPainter p(&c.target);
        benchmark::DoNotOptimize(c.chart.Surface().RepaintFromBuffer(p));
        p.end();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    ReportMedian(state, us);
}
BENCHMARK(BM_RepaintFromBuffer)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// What every refresh of a run does to the chart: four series refilled with 100 points each.
void BM_FillFourSeries(benchmark::State& state) {
    ConfiguredChart c;
    c.chart.SetAutoRepaint(false);
    std::uint64_t v = 0;
    for (auto _ : state)
        for (TLineSeries* s : c.refs) {
            s->ClearPoints();
            for (int b = 1; b <= 100; ++b) s->AddPoint(b, double(++v % 977), QString(), clRed);
        }
}
BENCHMARK(BM_FillFourSeries)->Unit(benchmark::kMicrosecond);

// What a refresh adds when the window draws the expected profile: the profile of the 20
// sequences counted since the last refresh, reads of one length (0) or of 20 lengths never met
// before (1), the worst case.
void BM_ExpectedProfileOfARefresh(benchmark::State& state) {
    WordProfile profile;
    profile.SetWords({"atg", "taa", "tag", "gaattc"});
    std::mt19937 rng(1);
    std::size_t length = 150;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 20; ++i) {
            if (state.range(0) == 1) length = 100 + rng() % 100'000;
            std::string s(length, 'a');
            for (char& ch : s) ch = "acgt"[rng() % 4];
            profile.CountSequence(s, false);
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(profile.ExpectedRows());
    }
}
BENCHMARK(BM_ExpectedProfileOfARefresh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
