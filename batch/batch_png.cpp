#include <QApplication>
#include <array>
#include <stdexcept>

#include "batch/batch_csv.h"
#include "chart/chart.h"
#include "chart/chart_picture.h"
#include "chart/grafico_config.h"
#include "chart/line_series.h"
#include "chart/profile_plot.h"

namespace kelmarin {

void WriteChartPicture(const ProfileTable& shown, const std::vector<int>& series,
                       std::optional<std::uint64_t> processed, const BatchOptions& options) {
    // Painting needs an application object, which a batch run makes only for the picture and
    // without a display (main sets the platform, before any thread starts).
    static int argc = 1;
    static char name[] = "kelmarin-batch";
    static char* argv[] = {name, nullptr};
    // Standard error carries the run's own messages only.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);

    TChart chart;
    std::array<TLineSeries, 4> words;
    const TGraficoSeries grafico = {&words[0], &words[1], &words[2], &words[3]};
    ConfigureGrafico(chart, grafico);
    chart.resize(options.width, options.height);
    // The series leave the chart even when a picture fails.
    struct Detach {
        std::array<TLineSeries, 4>& series;
        ~Detach() {
            for (auto& s : series) s.SetParentChart(nullptr);
        }
    } detach{words};
    // Drawn only when asked for, so that the plain chart is the window's, byte for byte.
    std::optional<GraficoOverlays> overlays;
    if (!options.view.Plain()) overlays.emplace(chart);
    PlotProfile(chart, shown, series, processed, options.view, grafico,
                overlays ? &*overlays : nullptr);
    const auto path = [](const std::string& file) { return QString::fromLocal8Bit(file); };
    if (!options.pngFile.empty()) WriteChartPng(chart, path(options.pngFile));
    if (!options.svgFile.empty()) WriteChartSvg(chart, path(options.svgFile));
    if (!options.pdfFile.empty()) WriteChartPdf(chart, path(options.pdfFile));
}

}  // namespace kelmarin
