#pragma once
// The chart as vectors: the same texts, lines, markers and colours as on screen, drawn through
// the painter onto an SVG or PDF device, not a bitmap inside a file.

#include <QString>

namespace kelmarin {

class TChart;

// Writes chart as the window shows it to path, SVG or PDF by path's ending. Raises a
// std::exception with the reason when it cannot.
void WriteChartVector(TChart& chart, const QString& path);

}  // namespace kelmarin
