#include "chart/chart_picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <functional>

#include "chart/chart_panel_base.h"
#include "platform/file_writer.h"

namespace kelmarin {

namespace {

// The chart's pixels are logical pixels of a 96 dots-per-inch screen.
constexpr int kChartDpi = 96;

// Made whole in memory, so that only the file writer touches the file system and no encoder's
// write error reaches it (or standard error) half done. Null when it could not be drawn.
QByteArray Drawn(const std::function<bool(QBuffer&)>& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return draw(buffer) ? bytes : QByteArray();
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

void WriteChartPicture(const QString& path, const QByteArray& bytes) {
    const std::string file = QFile::encodeName(path).toStdString();
    if (bytes.isNull()) throw EFileWriteError(file, "the picture could not be drawn");
    WriteFileSafely(file, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

void WriteChartPng(TChartPanelBase& chart, const QString& path) {
    QImage image(chart.size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        chart.RenderFrame(&painter, {0, 0, chart.width(), chart.height()});
    }
    WriteChartPicture(path, ChartPng(image));
}

void WriteChartSvg(TChartPanelBase& chart, const QString& path) {
    WriteChartPicture(path, ChartSvg(chart));
}

void WriteChartPdf(TChartPanelBase& chart, const QString& path) {
    WriteChartPicture(path, ChartPdf(chart));
}

}  // namespace kelmarin
