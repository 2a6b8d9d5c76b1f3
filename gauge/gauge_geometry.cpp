#include "gauge/gauge_geometry.h"

#include <algorithm>
#include <cstdint>

namespace kelmarin {

int DisplayedPercent(int progress, int minValue, int maxValue) {
    if (maxValue == minValue) return 0;
    // The differences need 33 bits; the product and quotient are taken in extended, where
    // they are exact enough that truncation yields the floor of the true quotient.
    const long double done = static_cast<long double>(std::int64_t{progress} - minValue);
    const long double range = static_cast<long double>(std::int64_t{maxValue} - minValue);
    const auto percent = static_cast<std::int64_t>(done * 100 / range);
    // Inconsistent bounds are possible only while a form is read; the text stays 0..100.
    return static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

TGaugeRect PaintRect(int width, int height, TBorderStyle border) {
    TGaugeRect r{0, 0, width, height};
    if (border == TBorderStyle::bsSingle) {
        r.left += 1;
        r.top += 1;
        r.right -= 1;
        r.bottom -= 1;
    }
    return r;
}

int FillEdge(int w, int percent) {
    const long double share = static_cast<long double>(percent) * kHundredth;
    const long double edge = static_cast<long double>(w) * share;
    const auto fill = static_cast<std::int64_t>(edge);
    return fill > w ? w : static_cast<int>(fill);
}

}  // namespace kelmarin
