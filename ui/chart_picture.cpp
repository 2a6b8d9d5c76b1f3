#include "ui/chart_picture.h"

#include <QFileInfo>
#include <QPainter>

#include "chart/chart.h"
#include "chart/chart_picture.h"

namespace kelmarin {

std::optional<ChartFormat> ChartFormatOfName(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("png")) return ChartFormat::Png;
    if (suffix == QLatin1String("svg")) return ChartFormat::Svg;
    if (suffix == QLatin1String("pdf")) return ChartFormat::Pdf;
    return std::nullopt;
}

QImage ChartImage(TChart& chart) {
    const QSize size = (QSizeF(chart.size()) * chart.devicePixelRatioF()).toSize();
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        chart.RenderFrame(&painter, {0, 0, size.width(), size.height()});
    }
    // The chart's kept frame and layout are now those of this picture, which on a scaled
    // screen has another size: the next paint draws the chart anew.
    chart.Surface().MarkDirty();
    chart.update();
    return image;
}

void WriteChartFile(TChart& chart, const QString& path) {
    const std::optional<ChartFormat> format = ChartFormatOfName(path);
    QByteArray bytes;
    if (format == ChartFormat::Svg || format == ChartFormat::Pdf) {
        bytes = format == ChartFormat::Pdf ? ChartPdf(chart) : ChartSvg(chart);
        chart.update();  // the vectors were drawn without the window's frame: draw it anew
    } else {
        bytes = ChartPng(ChartImage(chart));
    }
    WriteChartPicture(path, bytes);
}

}  // namespace kelmarin
