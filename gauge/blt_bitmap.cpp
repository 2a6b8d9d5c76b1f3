#include "gauge/blt_bitmap.h"

#include <QtMath>

namespace kelmarin {

namespace {

// RGB32 keeps one fixed pixel layout, on which the raster operations act bit for bit.
QImage MakeImage(QSize size, qreal ratio) {
    if (size.isEmpty()) return QImage();
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

}  // namespace

TBltBitmap::TBltBitmap(int width, int height, qreal ratio)
    // Rounded up: the picture covers every device pixel of the control.
    : image_(MakeImage(
          width <= 0 || height <= 0 ? QSize() : QSize(qCeil(width * ratio), qCeil(height * ratio)),
          ratio)) {}

void TBltBitmap::MakeLike(const TBltBitmap& model) {
    image_ = MakeImage(model.image_.size(), model.image_.devicePixelRatio());
}

void TBltBitmap::FillBlack() {
    if (!image_.isNull()) image_.fill(QColor(Qt::black));
}

void TBltBitmap::XorFrom(const TBltBitmap& source) {
    if (image_.isNull() || source.image_.size() != image_.size()) return;
    // Device pixel for device pixel, whatever the ratio; RGB32 keeps its alpha byte at 0xFF.
    for (int y = 0; y < image_.height(); ++y) {
        auto* to = reinterpret_cast<QRgb*>(image_.scanLine(y));
        const auto* from = reinterpret_cast<const QRgb*>(source.image_.constScanLine(y));
        for (int x = 0; x < image_.width(); ++x) to[x] = (to[x] ^ from[x]) | 0xFF000000u;
    }
}

}  // namespace kelmarin
