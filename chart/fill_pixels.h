#pragma once
// Writes one pixel value over a run of RGB32 pixels: the chart's background is laid again this
// way in every frame, so the widest stores the processor has are worth choosing at run time.

#include <QRgb>
#include <QtGlobal>

namespace kelmarin {

void FillPixels(QRgb* to, qsizetype count, QRgb value);

}  // namespace kelmarin
