#pragma once
// The chart written to a file as it is now, at its own size: a PNG of its pixels, or an SVG or a
// PDF drawn through the painter, so that texts stay texts and lines stay lines. Each is made
// whole in memory, then written by WriteFileSafely, which raises EFileWriteError.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>

namespace kelmarin {

class TChartPanelBase;

// One frame of the chart drawn by the painter alone onto painter's device, the chart's pixels
// being the device's units: what SVG and PDF hold.
void DrawChartVectors(TChartPanelBase& chart, QPainter& painter);

// The file's bytes: a PNG of image, or the chart's vectors; null when they could not be drawn.
QByteArray ChartPng(const QImage& image);
QByteArray ChartSvg(TChartPanelBase& chart);
QByteArray ChartPdf(TChartPanelBase& chart);

// Writes a picture's bytes (see WriteFileSafely); null bytes are a picture that could not be
// drawn, an EFileWriteError too.
void WriteChartPicture(const QString& path, const QByteArray& bytes);

void WriteChartPng(TChartPanelBase& chart, const QString& path);
void WriteChartSvg(TChartPanelBase& chart, const QString& path);
void WriteChartPdf(TChartPanelBase& chart, const QString& path);

}  // namespace kelmarin
