// Developer tool: draws N frames of the main window's chart, its data changed before each as a
// run changes it, and copies each to a window-sized picture as the screen receives it: for
// counting a frame's instructions under callgrind. Usage: chart_frames N [ratio]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "chart/tools/sample_profiles.h"

int main(int argc, char** argv) {
    using namespace kelmarin;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: chart_frames N [ratio]\n");
        return 2;
    }
    const int frames = std::atoi(argv[1]);
    const qreal ratio = argc > 2 ? std::atof(argv[2]) : 1.0;
    TChart chart;
    std::array<TLineSeries, 4> series;
    const std::array<TLineSeries*, 4> refs{&series[0], &series[1], &series[2], &series[3]};
    ConfigureGrafico(chart, refs);
    chart.resize(682, 524);
    QImage window(QSize(682, 524) * ratio, QImage::Format_RGB32);
    window.setDevicePixelRatio(ratio);
    for (int i = 0; i < frames; ++i) {
        tools::FillSampleProfiles(refs, i % 16);
        QPainter p(&window);
        chart.RenderFrame(&p, {0, 0, 682, 524});
    }
    return 0;
}
