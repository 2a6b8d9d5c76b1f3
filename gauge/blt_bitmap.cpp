#include "gauge/blt_bitmap.h"

#include <QPainter>

namespace kelmarin {

namespace {

// RGB32 keeps one fixed pixel layout, on which the raster operations act bit for bit.
QImage MakeImage(int width, int height) {
    if (width <= 0 || height <= 0) return QImage();
    return QImage(width, height, QImage::Format_RGB32);
}

}  // namespace

TBltBitmap::TBltBitmap(int width, int height) : image_(MakeImage(width, height)) {}

void TBltBitmap::MakeLike(const TBltBitmap& model) {
    image_ = MakeImage(model.Width(), model.Height());
}

void TBltBitmap::FillBlack() {
    if (!image_.isNull()) image_.fill(QColor(Qt::black));
}

void TBltBitmap::XorFrom(const TBltBitmap& source) {
    if (image_.isNull() || source.IsEmpty()) return;
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(0, 0, source.image_);
}

}  // namespace kelmarin
