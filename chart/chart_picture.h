#pragma once
// The chart written to a file as it is now, at its own size: a PNG of its pixels, or an SVG or a
// PDF drawn through the painter, so that texts stay texts and lines stay lines. Each file is
// written under a temporary name beside the target and renamed when complete: a failure leaves
// any earlier file of that name as it was, and no half file. A failure throws
// std::runtime_error("PATH: cannot write the picture").

#include <QPainter>
#include <QString>

namespace kelmarin {

class TChartPanelBase;

// One frame of the chart drawn by the painter alone onto painter's device, the chart's pixels
// being the device's units: what SVG and PDF hold.
void DrawChartVectors(TChartPanelBase& chart, QPainter& painter);

void WriteChartPng(TChartPanelBase& chart, const QString& path);
void WriteChartSvg(TChartPanelBase& chart, const QString& path);
void WriteChartPdf(TChartPanelBase& chart, const QString& path);

}  // namespace kelmarin
