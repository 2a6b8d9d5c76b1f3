#include "analysis/expected_profile.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>

#include "analysis/bucket.h"
#include "analysis/word_profile.h"

namespace kelmarin {
namespace {

TEST(ExpectedProfileTest, ValidStartsFallWhereTheirOccurrencesWouldCount) {
    struct Case {
        std::uint64_t length, wordLength;
        bool inFrame;
    };
    const Case cases[] = {
        {1, 1, false},    {2, 3, false},     {3, 3, true},        {7, 3, true},   {99, 1, false},
        {100, 3, false},  {199, 2, true},    {200, 3, false},     {201, 4, true}, {1000, 3, false},
        {12345, 5, true}, {65537, 6, false}, {1'000'003, 3, true}};
    for (const Case& c : cases) {
        std::array<std::uint64_t, 100> byHand{};
        for (std::uint64_t a = 1; a + c.wordLength <= c.length + 1; a += c.inFrame ? 3 : 1)
            ++byHand[std::size_t(ExactBucket(a, c.length) - 1)];
        EXPECT_EQ(ValidStarts(c.length, c.wordLength, c.inFrame), byHand)
            << c.length << " " << c.wordLength << " " << c.inFrame;
    }
}

TEST(ExpectedProfileTest, SharesOfTheOccurrencesOfEachSequence) {
    ExpectedProfile e;
    e.SetWordLengths({1, 2, 0, 0});
    // Length 4, word of 1: one start in each of buckets 25, 50, 75, 100; of 2: 25, 50, 75.
    e.Add(4, false, {2, 3, 0, 0});
    // Length 3 in frame, word of 2: start 1 only (bucket 33).
    e.Add(3, true, {0, 1, 0, 0});
    const ExpectedProfile::Rows rows = e.ExpectedRows();
    for (int b : {25, 50, 75, 100}) EXPECT_DOUBLE_EQ(rows[0][b - 1], 0.5);
    for (int b : {25, 50, 75}) EXPECT_DOUBLE_EQ(rows[1][b - 1], 1.0);
    EXPECT_DOUBLE_EQ(rows[1][32], 1.0);
    EXPECT_DOUBLE_EQ(std::accumulate(rows[0].begin(), rows[0].end(), 0.0), 2.0);
    EXPECT_DOUBLE_EQ(std::accumulate(rows[1].begin(), rows[1].end(), 0.0), 4.0);
    EXPECT_EQ(std::accumulate(rows[2].begin(), rows[2].end(), 0.0), 0.0);
}

// The same sequences counted one by one, in batches, and in another order give the same bits:
// reads of one length out of frame (batched as one group), of one length in frame and out of it,
// then lengths and frames mixed.
TEST(ExpectedProfileTest, DoesNotDependOnOrderOrBatching) {
    std::mt19937 rng(7);
    std::vector<std::string> seqs;
    const auto inFrame = [](std::size_t i) {
        return (i >= 100 && i < 150 && i % 2) || (i >= 150 && i % 3 == 0);
    };
    for (int i = 0; i < 300; ++i) {
        std::string s(std::size_t(i < 150 ? 150 : 20 + rng() % 300), 'a');
        for (char& c : s) c = "acgt"[rng() % 4];
        seqs.push_back(s);
    }
    const WordProfile::Words words = {"atg", "ta", "", "gcgc"};
    WordProfile alone, batched, reversed;
    alone.SetWords(words);
    batched.SetWords(words);
    reversed.SetWords(words);
    SequenceBatch batch;
    for (std::size_t i = 0; i < seqs.size(); ++i) {
        alone.CountSequence(seqs[i], inFrame(i));
        reversed.CountSequence(seqs[seqs.size() - 1 - i], inFrame(seqs.size() - 1 - i));
        batch.Add(seqs[i], inFrame(i));
        if (i % 17 == 0) (void)batched.ExpectedRows();  // read in the middle, as a refresh does
        if (i % 50 == 49) {
            batched.CountBatch(batch);
            batch.Clear();
        }
    }
    batched.CountBatch(batch);
    EXPECT_EQ(alone.ProfileRows(), batched.ProfileRows());
    EXPECT_EQ(alone.ExpectedRows(), batched.ExpectedRows());
    EXPECT_EQ(alone.ExpectedRows(), reversed.ExpectedRows());
    const auto rows = alone.ExpectedRows();
    for (int r : {0, 1, 3}) {
        const auto& observed = alone.ProfileRow(r + 1);
        EXPECT_NEAR(std::accumulate(rows[r].begin(), rows[r].end(), 0.0),
                    double(std::accumulate(observed.begin(), observed.end(), std::uint64_t(0))),
                    1e-9);
    }
}

}  // namespace
}  // namespace kelmarin
