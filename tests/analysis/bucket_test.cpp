#include "analysis/bucket.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace kelmarin {
namespace {

// The bucket away from a tie, with exact rational arithmetic: 100a/L rounded to nearest.
// Returns -1 at an exact tie, where only the extended-precision rounding decides.
int RationalBucket(std::uint64_t a, std::uint64_t l) {
    const unsigned __int128 twice = (unsigned __int128)200 * a;  // 2 * 100a, compared with L
    const unsigned __int128 lower = twice / (2 * l);             // floor(100a/L)
    const unsigned __int128 rem = twice % (2 * l);               // 2L * frac
    if (rem == l) return -1;
    const int b = int(lower) + (rem > l ? 1 : 0);
    return b == 0 ? 1 : b;
}

TEST(BucketTest, WorkedExamples) {
    struct Case {
        std::uint64_t a, l;
        int bucket;
    };
    const Case cases[] = {
        {1, 8, 12},     // exactly 12.5: ties go to even
        {3, 8, 38},     // exactly 37.5
        {23, 40, 58},   // 57.5 needs the extended quotient; double precision gives 57
        {59, 200, 29},  // the extended quotient lies just below 29.5
        {1, 1, 100},   {7, 7, 100}, {1, 200, 1},  // rounds to 0: counted in bucket 1
        {1, 1000, 1},  {2, 200, 1}, {3, 200, 2},  // 1.5: tie to even
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExactBucket(c.a, c.l), c.bucket) << c.a << "/" << c.l;
        EXPECT_EQ(BucketScale(c.l).Of(c.a), c.bucket) << c.a << "/" << c.l;
    }
}

TEST(BucketTest, FastPathEqualsReferenceForEveryPositionUpTo2000) {
    for (std::uint64_t l = 1; l <= 2000; ++l) {
        const BucketScale scale(l);
        for (std::uint64_t a = 1; a <= l; ++a) {
            const int ref = ExactBucket(a, l);
            ASSERT_EQ(scale.Of(a), ref) << a << "/" << l;
            const int rational = RationalBucket(a, l);
            if (rational >= 0) {
                ASSERT_EQ(ref, rational) << a << "/" << l;
            }
            ASSERT_GE(ref, 1);
            ASSERT_LE(ref, 100);
        }
    }
}

TEST(BucketTest, FastPathEqualsReferenceForRandomLongSequences) {
    std::mt19937_64 rng(2026);
    for (int i = 0; i < 2'000'000; ++i) {
        const std::uint64_t l = 2001 + rng() % (std::uint64_t(1) << (11 + i % 30));
        // Half of the positions sit at or next to a tie, where the roundings differ most.
        std::uint64_t a = 1 + rng() % l;
        if (i % 2) {
            const std::uint64_t k = rng() % 100;
            a = std::min<std::uint64_t>(
                l, std::max<std::uint64_t>(1, (2 * k + 1) * l / 200 + (rng() % 3) - 1));
        }
        const int ref = ExactBucket(a, l);
        ASSERT_EQ(BucketScale(l).Of(a), ref) << a << "/" << l;
        const int rational = RationalBucket(a, l);
        if (rational >= 0) {
            ASSERT_EQ(ref, rational) << a << "/" << l;
        }
    }
}

}  // namespace
}  // namespace kelmarin
