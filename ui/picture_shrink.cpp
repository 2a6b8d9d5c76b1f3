#include "ui/picture_shrink.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kelmarin {

QSize ProportionalFit(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty()) return {};
    if (picture.width() <= box.width() && picture.height() <= box.height()) return picture;
    const std::int64_t w = picture.width(), h = picture.height();
    const std::int64_t bw = box.width(), bh = box.height();
    // Compare w / h with bw / bh without rounding: the side that is relatively longer fills.
    if (w * bh >= h * bw) return {int(bw), int(std::max<std::int64_t>(1, h * bw / w))};
    return {int(std::max<std::int64_t>(1, w * bh / h)), int(bh)};
}

namespace {

// Source index of every target index along one side.
std::vector<int> KeptIndices(int from, int to) {
    std::vector<int> kept(to);
    for (int i = 0; i < to; ++i) kept[i] = int(std::int64_t(i) * from / to);
    return kept;
}

}  // namespace

QImage KeepRowsAndColumns(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty()) return {};
    const QImage picture =
        source.depth() < 8 ? source.convertToFormat(QImage::Format_ARGB32) : source;
    QImage result(size, picture.format());
    if (result.isNull()) return {};
    result.setColorTable(picture.colorTable());
    const int bytes = picture.depth() / 8;
    const std::vector<int> rows = KeptIndices(picture.height(), size.height());
    const std::vector<int> columns = KeptIndices(picture.width(), size.width());
    for (int y = 0; y < size.height(); ++y) {
        const uchar* from = picture.constScanLine(rows[y]);
        uchar* to = result.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            std::memcpy(to + x * bytes, from + columns[x] * bytes, bytes);
        }
    }
    return result;
}

QImage ShrinkToFit(const QImage& source, QSize box, qreal ratio) {
    const QSize shown = ProportionalFit(source.size(), box);
    QImage picture = KeepRowsAndColumns(source, (QSizeF(shown) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    return picture;
}

}  // namespace kelmarin
