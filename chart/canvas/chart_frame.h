#pragma once
// The off-screen bitmap a chart frame is drawn into, so that the screen only ever receives
// finished pictures: it has the chart's size in device pixels (its size times the screen's
// device pixel ratio), and a painter on it draws in the chart's own pixels, scaled.

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>

namespace kelmarin {

class TChartFrame {
  public:
    // Starts drawing into a bitmap of size × ratio device pixels; the last one is kept when it
    // has that size. nullptr when no bitmap can be made (an empty size).
    QPainter* Begin(QSize size, qreal ratio);
    // Ends the drawing: the bitmap then holds the finished frame.
    void End() { painter_.reset(); }
    QPainter* Painter() const { return painter_.get(); }
    QImage* Bitmap() const { return bitmap_.get(); }
    // Frees the bitmap.
    void Drop();
    // Copies the finished bitmap to target with its top-left corner at `at`, in the target's
    // coordinates; only area (in the chart's pixels) when one is given.
    void CopyTo(QPainter& target, QPoint at, const QRegion& area = QRegion()) const;

  private:
    std::unique_ptr<QImage> bitmap_;
    std::unique_ptr<QPainter> painter_;
};

}  // namespace kelmarin
