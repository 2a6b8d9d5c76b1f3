#include "chart/canvas/chart_frame.h"

#include <cmath>

namespace kelmarin {

QPainter* TChartFrame::Begin(QSize size, qreal ratio) {
    painter_.reset();
    const QSize device(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
    if (bitmap_ && (bitmap_->size() != device || bitmap_->devicePixelRatio() != ratio))
        bitmap_.reset();
    if (!bitmap_) {
        bitmap_ = std::make_unique<QImage>(device, QImage::Format_RGB32);
        bitmap_->setDevicePixelRatio(ratio);
    }
    if (bitmap_->isNull()) return nullptr;
    // Its own pixels, before the painter takes them: whoever else writes them directly then
    // writes the same ones.
    (void)bitmap_->bits();
    painter_ = std::make_unique<QPainter>(bitmap_.get());
    return painter_.get();
}

void TChartFrame::Drop() {
    painter_.reset();
    bitmap_.reset();
}

void TChartFrame::CopyTo(QPainter& target, QPoint at, const QRegion& area) const {
    if (!bitmap_ || !target.isActive()) return;
    target.save();
    target.setClipping(false);
    target.setCompositionMode(QPainter::CompositionMode_Source);
    if (area.isEmpty()) {
        target.drawImage(at, *bitmap_);
    } else {
        // Rectangle by rectangle: a clipped copy of the whole bitmap costs as much as all of it.
        const qreal ratio = bitmap_->devicePixelRatio();
        for (const QRect& r : area) {
            const QRectF source(r.x() * ratio, r.y() * ratio, r.width() * ratio,
                                r.height() * ratio);
            target.drawImage(QRectF(r.translated(at)), *bitmap_, source);
        }
    }
    target.restore();
}

}  // namespace kelmarin
