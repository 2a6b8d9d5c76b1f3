#pragma once
// (a × b) ÷ c with a 64-bit product, rounded to the nearest integer with halves away from zero,
// as the platform's MulDiv does; -1 when c is 0 or the result does not fit in 32 bits.

#include <cstdint>
#include <limits>

namespace kelmarin {

constexpr int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t p = std::int64_t(a) * b;
    std::int64_t d = c;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    const std::int64_t q = p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d);
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return int(q);
}

}  // namespace kelmarin
