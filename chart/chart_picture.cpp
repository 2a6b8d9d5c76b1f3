#include "chart/chart_picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <functional>
#include <stdexcept>

#include "chart/chart_panel_base.h"
#include "platform/file_writer.h"

namespace kelmarin {

namespace {

// The chart's pixels are logical pixels of a 96 dots-per-inch screen.
constexpr int kChartDpi = 96;

// Made whole in memory, so that only the file writer touches the file system and no encoder's
// write error reaches it (or standard error) half done.
QByteArray Drawn(const std::function<bool(QBuffer&)>& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!draw(buffer)) throw std::runtime_error("the picture could not be drawn");
    return bytes;
}

void Write(const QString& path, const QByteArray& bytes) {
    WriteFileSafely(QFile::encodeName(path).toStdString(),
                    std::string_view(bytes.constData(), std::size_t(bytes.size())));
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

QByteArray ChartPng(const QImage& image) {
    return Drawn([&](QBuffer& buffer) { return image.save(&buffer, "PNG"); });
}

QByteArray ChartSvg(TChartPanelBase& chart) {
    return Drawn([&](QBuffer& buffer) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(chart.size());
        svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
        svg.setResolution(kChartDpi);
        svg.setTitle(QStringLiteral("Kelmarin chart"));
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        DrawChartVectors(chart, painter);
        return painter.end();
    });
}

QByteArray ChartPdf(TChartPanelBase& chart) {
    return Drawn([&](QBuffer& buffer) {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kChartDpi);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(chart.width(), chart.height()) * 72.0 / kChartDpi,
                                  QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setTitle(QStringLiteral("Kelmarin chart"));
        pdf.setCreator(QStringLiteral("Kelmarin"));
        QPainter painter;
        if (!painter.begin(&pdf)) return false;
        DrawChartVectors(chart, painter);
        return painter.end();
    });
}

void WriteChartPng(TChartPanelBase& chart, const QString& path) {
    QImage image(chart.size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        chart.RenderFrame(&painter, {0, 0, chart.width(), chart.height()});
    }
    Write(path, ChartPng(image));
}

void WriteChartSvg(TChartPanelBase& chart, const QString& path) { Write(path, ChartSvg(chart)); }

void WriteChartPdf(TChartPanelBase& chart, const QString& path) { Write(path, ChartPdf(chart)); }

}  // namespace kelmarin
