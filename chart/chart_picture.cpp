#include "chart/chart_picture.h"

#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <functional>
#include <stdexcept>

#include "chart/chart_panel_base.h"

namespace kelmarin {

namespace {

// The chart's pixels are logical pixels of a 96 dots-per-inch screen.
constexpr int kChartDpi = 96;

// Writes through write into a temporary file beside path, renamed to path when it succeeded.
void SaveAtomically(const QString& path, const std::function<bool(QSaveFile&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !write(file) || !file.commit())
        throw std::runtime_error(path.toStdString() + ": cannot write the picture");
}

}  // namespace

void DrawChartVectors(TChartPanelBase& chart, QPainter& painter) {
    TChartCanvas3D& surface = chart.Surface();
    const bool buffered = surface.Buffered();
    // Straight onto the device, without the off-screen bitmap: no pixels in between.
    surface.SetBuffered(false);
    struct Restore {
        TChartCanvas3D& surface;
        bool buffered;
        ~Restore() { surface.SetBuffered(buffered); }
    } restore{surface, buffered};
    chart.RenderFrame(&painter, {0, 0, chart.width(), chart.height()});
}

void WriteChartPng(TChartPanelBase& chart, const QString& path) {
    QImage image(chart.size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        chart.RenderFrame(&painter, {0, 0, chart.width(), chart.height()});
    }
    SaveAtomically(path, [&](QSaveFile& file) { return image.save(&file, "PNG"); });
}

void WriteChartSvg(TChartPanelBase& chart, const QString& path) {
    SaveAtomically(path, [&](QSaveFile& file) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(chart.size());
        svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
        svg.setResolution(kChartDpi);
        svg.setTitle(QStringLiteral("Kelmarin chart"));
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        DrawChartVectors(chart, painter);
        return painter.end() && file.error() == QFileDevice::NoError;
    });
}

void WriteChartPdf(TChartPanelBase& chart, const QString& path) {
    SaveAtomically(path, [&](QSaveFile& file) {
        QPdfWriter pdf(&file);
        pdf.setResolution(kChartDpi);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(chart.width(), chart.height()) * 72.0 / kChartDpi,
                                  QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setTitle(QStringLiteral("Kelmarin chart"));
        pdf.setCreator(QStringLiteral("Kelmarin"));
        QPainter painter;
        if (!painter.begin(&pdf)) return false;
        DrawChartVectors(chart, painter);
        return painter.end() && file.error() == QFileDevice::NoError;
    });
}

}  // namespace kelmarin
