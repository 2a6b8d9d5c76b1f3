#include <QApplication>
#include <array>
#include <cstdlib>
#include <stdexcept>

#include "batch/batch_csv.h"
#include "batch/console_view.h"
#include "chart/chart.h"
#include "chart/chart_picture.h"
#include "chart/grafico_config.h"
#include "chart/line_series.h"

namespace kelmarin {

void WriteChartPicture(const ConsoleView& view, const BatchOptions& options) {
    // Painting needs an application object, which a batch run makes only for the picture and
    // without a display: whatever platform the environment names may have no display to reach,
    // and a platform that cannot start aborts the program.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kelmarin-batch";
    static char* argv[] = {name, nullptr};
    // Standard error carries the run's own messages only.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);

    TChart chart;
    std::array<TLineSeries, 4> series;
    ConfigureGrafico(chart, {&series[0], &series[1], &series[2], &series[3]});
    chart.resize(options.width, options.height);
    for (int s = 1; s <= 4; ++s)
        for (const ConsoleView::Point& p : view.Points(s))
            series[std::size_t(s - 1)].AddPoint(p.x, p.y, QString(), p.color);

    // The series leave the chart even when a picture fails.
    struct Detach {
        std::array<TLineSeries, 4>& series;
        ~Detach() {
            for (auto& s : series) s.SetParentChart(nullptr);
        }
    } detach{series};
    const auto path = [](const std::string& file) { return QString::fromLocal8Bit(file); };
    if (!options.pngFile.empty()) WriteChartPng(chart, path(options.pngFile));
    if (!options.svgFile.empty()) WriteChartSvg(chart, path(options.svgFile));
    if (!options.pdfFile.empty()) WriteChartPdf(chart, path(options.pdfFile));
}

}  // namespace kelmarin
