#include "analysis/bucket.h"

#include <cfloat>
#include <cmath>

namespace kelmarin {

static_assert(LDBL_MANT_DIG == 64, "bucket rounding needs long double with a 64-bit significand");

int ExactBucket(std::uint64_t a, std::uint64_t length) {
    const long double q = static_cast<long double>(a) / static_cast<long double>(length);
    const long double v = q * 100.0L;
    const long double b = std::nearbyintl(v);  // default rounding mode: ties to even
    return CountedBucket(static_cast<std::int64_t>(b));
}

BucketScale::BucketScale(std::uint64_t length)
    : length_(length),
      scale_(length ? 100.0 / double(length) : 0.0),
      // The error bound of the estimate holds while positions convert to double exactly.
      fast_(length != 0 && length <= (std::uint64_t(1) << 40)) {}

}  // namespace kelmarin
