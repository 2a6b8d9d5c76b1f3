#include "run/position_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace kelmarin {
namespace {

TEST(PositionStatsTest, SmallRowMatchesTheTailsWorkedByHand) {
    // N = 4. Bucket 1: X ~ B(4, 1/2), P(X <= 0) = 1/16, so p = 2/16. Bucket 2: X ~ B(4, 1/4),
    // P(X <= 1) = (81 + 108)/256 and P(X >= 1) = 175/256, twice that is above 1, so p = 1.
    // Bucket 3: P(X >= 3) = (12 + 1)/256, so p = 26/256. BH over m = 3, ascending b3, b1, b2:
    // p m / rank = 0.3046875, 0.1875, 1, and the minimum from the right gives 0.1875, 0.1875, 1.
    // chi2 = 4/2 + 0/1 + 4/1 = 6 on 2 df, and P(chi2_2 >= x) = exp(-x/2).
    ProfileTable::Row observed{0, 1, 3};
    ExpectedRow expected{2, 1, 1};
    const WordStats s = TestPositions("atg", observed, expected);
    EXPECT_EQ(s.word, "atg");
    EXPECT_DOUBLE_EQ(s.p[0], 0.125);
    EXPECT_DOUBLE_EQ(s.p[1], 1);
    EXPECT_DOUBLE_EQ(s.p[2], 0.1015625);
    EXPECT_DOUBLE_EQ(s.q[0], 0.1875);
    EXPECT_DOUBLE_EQ(s.q[1], 1);
    EXPECT_DOUBLE_EQ(s.q[2], 0.1875);
    EXPECT_EQ(s.ratio[0], 0);
    EXPECT_EQ(s.ratio[2], 3);
    EXPECT_DOUBLE_EQ(s.chi2, 6);
    EXPECT_EQ(s.df, 2);
    EXPECT_DOUBLE_EQ(s.pUniform, std::exp(-3.0));
}

TEST(PositionStatsTest, BucketsExpectingNothingAreLeftUntested) {
    struct Case {
        const char* name;
        ProfileTable::Row observed;
        ExpectedRow expected;
        int df;
    } cases[] = {
        {"one bucket", {5}, {5}, 0},
        {"no occurrence", {}, {1, 1, 1}, 0},
        {"nothing expected", {2, 3}, {}, 0},
        {"gaps", {}, {}, 49},
    };
    // Every other bucket expects nothing; the counts swing to give small and large p.
    for (int b = 0; b < 100; b += 2) {
        cases[3].observed[b] = std::uint64_t(b % 7 * b % 11 + (b == 40 ? 60 : 0));
        cases[3].expected[b] = 3.5;
    }
    for (const auto& c : cases) {
        const WordStats s = TestPositions(c.name, c.observed, c.expected);
        EXPECT_EQ(s.df, c.df) << c.name;
        if (c.df == 0) {
            EXPECT_EQ(s.pUniform, 1) << c.name;
        }
        for (int b = 0; b < 100; ++b) {
            EXPECT_EQ(std::isnan(s.ratio[b]), c.expected[b] == 0) << c.name << " " << b;
            EXPECT_TRUE(c.expected[b] != 0 || (s.p[b] == 1 && s.q[b] == 1)) << c.name << " " << b;
            EXPECT_GE(s.p[b], 0) << c.name << " " << b;
            EXPECT_GE(s.q[b], s.p[b]) << c.name << " " << b;
            EXPECT_LE(s.q[b], 1) << c.name << " " << b;
            // Adjusting keeps the order of the p values.
            for (int a = 0; a < 100; ++a)
                EXPECT_TRUE(s.p[a] >= s.p[b] || s.q[a] <= s.q[b]) << c.name << " " << a << " " << b;
        }
    }
    // Bucket 40 counts 62 where 3.5 were expected: P(X >= 62) is near 3.5^62 e^-3.5 / 62!.
    const WordStats gaps = TestPositions("gaps", cases[3].observed, cases[3].expected);
    EXPECT_LT(gaps.p[40], 1e-50);
    EXPECT_LT(gaps.q[40], 1e-48);
}

TEST(PositionStatsTest, BillionsOfOccurrencesKeepTheirTails) {
    // N = 10^9 over 100 buckets expecting 10^7 each. Near the middle the binomial is normal
    // with sd sqrt(N (1/100)(99/100)): two sd from the mean, p is erfc(z / sqrt 2) to within
    // its skew, some 1e-4 of it.
    ProfileTable::Row observed;
    observed.fill(10'000'000);
    ExpectedRow expected;
    expected.fill(1e7);
    const double sd = std::sqrt(1e9 * 0.01 * 0.99);
    const std::uint64_t d = std::uint64_t(2 * sd);
    observed[0] += 1'000'000;
    observed[1] -= 1'000'000;
    observed[2] += d;
    observed[3] -= d;
    const WordStats s = TestPositions("ca", observed, expected);
    const double normal = std::erfc((double(d) - 0.5) / sd / std::sqrt(2.0));
    EXPECT_NEAR(s.p[2], normal, 1e-3 * normal);
    EXPECT_NEAR(s.p[3], normal, 1e-3 * normal);
    EXPECT_LT(s.p[0], 1e-300);
    EXPECT_LT(s.p[1], 1e-300);
    EXPECT_LT(s.pUniform, 1e-300);
    for (int b = 0; b < 100; ++b) {
        EXPECT_GE(s.p[b], 0) << b;
        EXPECT_LE(s.q[b], 1) << b;
    }
}

TEST(PositionStatsTest, TableTextReadsBackBitForBit) {
    ProfileTable table;
    table.words = {"atg", " t\tc "};
    const double awkward[] = {0, 1.0 / 3, 0.1, 1e-300, 5e-324, 1e22, 2e9 / 7, 1e300};
    for (int w = 0; w < 2; ++w) {
        auto& row = table.rows.emplace_back();
        auto& expected = table.expected.emplace_back();
        for (int b = 0; b < 100; ++b) {
            row[b] = std::uint64_t(b * b * (w + 1));
            expected[b] = awkward[(b + w) % 8] * (b + 1);
        }
    }
    const std::string text = StatsTableText(TestTable(table));
    EXPECT_EQ(text.substr(0, text.find('\n')), "word\tbucket\tobserved\texpected\tratio\tp\tq");
    // Bucket 1 of atg: nothing seen where nothing was expected.
    EXPECT_NE(text.find("\natg\t1\t0\t0\tNA\t1\t1\n"), std::string::npos);
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& t : {text, crlf}) {
        const auto read = ReadProfileTable(t);
        ASSERT_TRUE(std::holds_alternative<ProfileTable>(read))
            << std::get<ProfileError>(read).Message();
        const auto& back = std::get<ProfileTable>(read);
        EXPECT_EQ(back.words, table.words);
        EXPECT_EQ(back.rows, table.rows);
        ASSERT_EQ(back.expected.size(), 2u);
        for (int w = 0; w < 2; ++w)
            EXPECT_EQ(
                std::memcmp(back.expected[w].data(), table.expected[w].data(), sizeof(ExpectedRow)),
                0)
                << w;
    }
    const std::pair<double, const char*> numbers[] = {
        {0, "0"}, {1, "1"}, {0.1, "0.1"}, {1e-300, "1e-300"}, {1234.5, "1234.5"}};
    for (const auto& [v, shortest] : numbers) EXPECT_EQ(NumberText(v), shortest);
}

}  // namespace
}  // namespace kelmarin
