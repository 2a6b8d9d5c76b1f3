// The bias tests on sequences whose truth is known: chance alone, and a word planted at one
// place in every sequence.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "analysis/word_profile.h"
#include "run/position_stats.h"

namespace kelmarin {
namespace {

std::string RandomBases(std::mt19937& rng, std::size_t length) {
    std::string s(length, 'a');
    for (char& c : s) c = "acgt"[rng() % 4];
    return s;
}

// The word's tests over sequences of lengths 300 to 1,500 made by make.
template <typename Make>
WordStats TestWordIn(const std::string& word, int sequences, unsigned seed, Make make) {
    std::mt19937 rng(seed);
    WordProfile profile;
    profile.SetWords({word, "", "", ""});
    for (int i = 0; i < sequences; ++i) {
        const std::string s = make(rng, std::size_t(300 + rng() % 1200));
        profile.CountSequence(s, false);
    }
    return TestPositions(word, profile.ProfileRow(1), profile.ExpectedRows()[0]);
}

int Flagged(const WordStats& stats) {
    int n = 0;
    for (const double q : stats.q) n += q < 0.05;
    return n;
}

TEST(PositionalBiasTest, ChanceAloneIsRarelyFlagged) {
    int seedsFlagged = 0;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        const WordStats stats = TestWordIn(
            "atg", 400, seed, [](std::mt19937& rng, std::size_t n) { return RandomBases(rng, n); });
        seedsFlagged += Flagged(stats) > 0;
        EXPECT_GT(stats.pUniform, 1e-4) << seed;
    }
    // The q values keep the chance of any false flag in a word near 5 %.
    EXPECT_LE(seedsFlagged, 2);
}

TEST(PositionalBiasTest, AWordPlantedAt30PercentIsFlaggedThere) {
    const WordStats stats = TestWordIn("gattaca", 300, 3, [](std::mt19937& rng, std::size_t n) {
        std::string s = RandomBases(rng, n);
        s.replace(n * 30 / 100 - 1, 7, "gattaca");  // begins at base 30 % of n
        return s;
    });
    EXPECT_LT(stats.q[29], 1e-10);
    EXPECT_GT(stats.ratio[29], 10);
    EXPECT_LT(stats.pUniform, 1e-10);
    // Elsewhere the word is only as rare as chance makes it.
    for (int b = 0; b < 100; ++b)
        if (b != 29) {
            EXPECT_FALSE(stats.q[b] < 0.05 && stats.ratio[b] > 1) << b + 1;
        }
}

}  // namespace
}  // namespace kelmarin
