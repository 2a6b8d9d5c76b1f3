#include "gauge/gauge_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace kelmarin {
namespace {

// An exact model of the extended arithmetic, in integers: a value is m * 2^e, and rounding
// keeps 64 significant bits, ties to even.
using U128 = unsigned __int128;

struct Extended {
    U128 m;
    int e;
};

int BitLength(U128 n) {
    int bits = 0;
    while (n != 0) {
        n >>= 1;
        ++bits;
    }
    return bits;
}

Extended Round64(U128 m, int e) {
    const int shift = BitLength(m) - 64;
    if (shift <= 0) return {m, e};
    const U128 one = 1;
    U128 q = m >> shift;
    const U128 rest = m & ((one << shift) - 1);
    const U128 half = one << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    return {q, e + shift};
}

// The significand of 0.01 rounded to 64 bits, 0.01 * 2^70 rounded: 11805916207174113034.
constexpr std::uint64_t kHundredthSignificand = 0xA3D70A3D70A3D70AULL;

int ExactFillEdge(int w, int percent) {
    const Extended share = Round64(unsigned(percent) * U128{kHundredthSignificand}, -70);
    const Extended edge = Round64(unsigned(w) * share.m, share.e);
    const auto fill = static_cast<std::int64_t>(edge.e >= 0 ? edge.m << edge.e : edge.m >> -edge.e);
    return fill > w ? w : static_cast<int>(fill);
}

TEST(GaugeHundredth, IsTheNearestExtendedValueBelowOneHundredth) {
    const unsigned char expected[10] = {0x0A, 0xD7, 0xA3, 0x70, 0x3D, 0x0A, 0xD7, 0xA3, 0xF8, 0x3F};
    unsigned char bytes[sizeof(long double)] = {};
    const long double k = kHundredth;
    std::memcpy(bytes, &k, sizeof k);
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof expected));
    EXPECT_EQ(kHundredth, 0.01L);
    // Below 0.01: its significand times 100 falls short of 2^70.
    const U128 one = 1;
    EXPECT_LT(U128{kHundredthSignificand} * 100, one << 70);
}

TEST(GaugeFillEdge, StatedCases) {
    struct Row {
        int w, percent, fill;
    };
    const Row rows[] = {
        {1000, 10, 99}, {1000, 20, 199}, {1000, 25, 250}, {1000, 50, 500}, {1000, 100, 1000},
        {1000, 0, 0},   {10, 10, 0},     {10, 100, 10},   {1, 100, 1},     {0, 100, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FillEdge(r.w, r.percent), r.fill) << "W=" << r.w << " p=" << r.percent;
}

TEST(GaugeFillEdge, DesignWidthIsAlwaysTheFloor) {
    for (int p = 0; p <= 100; ++p) EXPECT_EQ(FillEdge(839, p), 839 * p / 100) << "p=" << p;
}

TEST(GaugeFillEdge, FullCoversEveryWidth) {
    for (int w = 0; w <= 5000; ++w) ASSERT_EQ(FillEdge(w, 100), w) << "W=" << w;
}

TEST(GaugeFillEdge, MatchesExactExtendedModel) {
    for (int w = 1; w <= 2500; ++w)
        for (int p = 0; p <= 100; ++p)
            ASSERT_EQ(FillEdge(w, p), ExactFillEdge(w, p)) << "W=" << w << " p=" << p;
}

TEST(GaugeDisplayedPercent, Table) {
    struct Row {
        int progress, minValue, maxValue, percent;
    };
    const Row rows[] = {
        {0, 0, 100, 0},
        {57, 0, 100, 57},
        {100, 0, 100, 100},
        {5, 5, 5, 0},        // equal bounds
        {999, 0, 1000, 99},  // truncated, not rounded
        {1, 0, 3, 33},       // 33.33...
        {2, 0, 3, 66},       // 66.66...
        {-50, -100, 0, 50},
        {0, INT_MIN, INT_MAX, 50},  // 2^31 * 100 / (2^32 - 1)
        {INT_MAX, INT_MIN, INT_MAX, 100},
        {INT_MIN, INT_MIN, INT_MAX, 0},
        {INT_MAX - 1, INT_MIN, INT_MAX, 99},
        {INT_MAX, 0, INT_MAX, 100},
    };
    for (const Row& r : rows)
        EXPECT_EQ(DisplayedPercent(r.progress, r.minValue, r.maxValue), r.percent)
            << r.progress << " in " << r.minValue << ".." << r.maxValue;
}

TEST(GaugeDisplayedPercent, IsTheFloorOfTheExactQuotient) {
    const int ranges[] = {1, 3, 7, 99, 101, 997, 1000, 65537};
    for (int range : ranges)
        for (int v = 0; v <= range; v += (range > 2000 ? 7 : 1)) {
            const std::int64_t expected = std::int64_t{v} * 100 / range;
            ASSERT_EQ(DisplayedPercent(v - 40, -40, range - 40), expected) << v << "/" << range;
        }
}

TEST(GaugePaintRect, FrameShrinksByOnePixel) {
    const TGaugeRect framed = PaintRect(840, 33, TBorderStyle::bsSingle);
    EXPECT_EQ(framed.left, 1);
    EXPECT_EQ(framed.top, 1);
    EXPECT_EQ(framed.right, 839);
    EXPECT_EQ(framed.bottom, 32);
    EXPECT_EQ(framed.W(), 839);
    EXPECT_EQ(framed.H(), 32);

    const TGaugeRect bare = PaintRect(840, 33, TBorderStyle::bsNone);
    EXPECT_EQ(bare.left, 0);
    EXPECT_EQ(bare.top, 0);
    EXPECT_EQ(bare.W(), 841);
    EXPECT_EQ(bare.H(), 34);
}

}  // namespace
}  // namespace kelmarin
