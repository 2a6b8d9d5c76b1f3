// Developer tool: writes the main window's chart, configured as the window configures it and
// filled with sample profiles, to a PNG file. Usage:
// chart_png OUT.png [width height [wide|plain [ratio]]]
// ("wide" draws Series2 with a 3-pixel line, as when its word box has the focus; ratio is the
// device pixels per chart pixel, as on a HiDPI screen).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "chart/tools/sample_profiles.h"

int main(int argc, char** argv) {
    using namespace kelmarin;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: chart_png OUT.png [width height [wide|plain [ratio]]]\n");
        return 2;
    }
    const int w = argc > 3 ? std::atoi(argv[2]) : 682;
    const int h = argc > 3 ? std::atoi(argv[3]) : 524;
    TChart chart;
    std::array<TLineSeries, 4> series;
    ConfigureGrafico(chart, {&series[0], &series[1], &series[2], &series[3]});
    chart.resize(w, h);
    tools::FillSampleProfiles({&series[0], &series[1], &series[2], &series[3]}, 0);
    if (argc > 4 && std::strcmp(argv[4], "wide") == 0) series[1].LinePen().SetWidth(3);
    const qreal ratio = argc > 5 ? std::atof(argv[5]) : 1.0;
    QImage image(QSize(w, h) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    {
        QPainter p(&image);
        chart.RenderFrame(&p, {0, 0, w, h});
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
