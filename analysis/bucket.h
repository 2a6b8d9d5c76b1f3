#pragma once
// Turns the position where an occurrence begins into its bucket, 1 to 100: the position as a
// percentage of the sequence length, rounded as 80-bit extended arithmetic rounds it.

#include <cstdint>

namespace kelmarin {

// A rounded percentage of 0 (an occurrence in the first half percent of a long sequence) has
// no bucket of its own; it counts in bucket 1 so that it is not lost.
constexpr int CountedBucket(std::int64_t rounded) { return rounded < 1 ? 1 : int(rounded); }

// The reference rounding: q = a ÷ L and v = q × 100, each rounded to a 64-bit significand, then
// v rounded to an integer with ties to even, then counted as CountedBucket says.
int ExactBucket(std::uint64_t a, std::uint64_t length);

// The same buckets as ExactBucket for every position of one sequence, without a division per
// occurrence: a double-precision estimate is exact except near a half, where the reference
// rounding decides.
class BucketScale {
  public:
    explicit BucketScale(std::uint64_t length);

    int Of(std::uint64_t a) const {
        if (!fast_) return ExactBucket(a, length_);
        // Signed, as positions here are below 2^40: the conversion is then one instruction.
        const double f = double(std::int64_t(a)) * scale_ + 0.5;
        const auto whole = static_cast<std::int64_t>(f);  // floor, as f > 0
        // One test for "near a half": the fraction of f near 0 or near 1.
        if (__builtin_fabs(f - double(whole) - 0.5) > 0.5 - kTieZone)
            return ExactBucket(a, length_);
        return CountedBucket(whole);
    }

  private:
    // Away from a tie, 100a/L lies at least 1/(2L) from a half; the estimate errs by < 1e-13.
    static constexpr double kTieZone = 1e-9;
    std::uint64_t length_;
    double scale_;
    bool fast_;
};

}  // namespace kelmarin
