#pragma once
// Save chart: the chart as the window shows it, written in the format its file name ends in.

#include <QImage>
#include <QString>
#include <optional>

namespace kelmarin {

class TChart;

enum class ChartFormat { Png, Svg, Pdf };

// The format the name ends in, in any case; none for any other name.
std::optional<ChartFormat> ChartFormatOfName(const QString& name);

// The chart's frame at its size on screen in device pixels, drawn as kelmarin-batch draws its
// picture of that size; zoom and highlighting as the window shows them.
QImage ChartImage(TChart& chart);

// Writes the chart to path (through WriteFileSafely): PNG from ChartImage, SVG and PDF as
// vectors. Raises EFileWriteError naming path when it cannot.
void WriteChartFile(TChart& chart, const QString& path);

}  // namespace kelmarin
