#include "analysis/word_profile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "analysis/bucket.h"
#include "analysis/word_scanner.h"
#include "tests/analysis/both_scans.h"

namespace kelmarin {
namespace {

using Words = WordProfile::Words;

// Nonzero buckets of a row, bucket number → count.
std::map<int, std::uint64_t> Counts(const WordProfile& p, int row) {
    std::map<int, std::uint64_t> counts;
    const auto& r = p.ProfileRow(row);
    for (int b = 0; b < WordProfile::kBuckets; ++b)
        if (r[b]) counts[b + 1] = r[b];
    return counts;
}

std::map<int, std::uint64_t> CountsOf(const std::string& seq, const std::string& word,
                                      bool inFrame) {
    WordProfile p;
    p.CountSequence(seq, {word, "", "", ""}, inFrame);
    return Counts(p, 1);
}

using C = std::map<int, std::uint64_t>;

TEST(WordProfileTest, OccurrencesAndBuckets) {
    struct Case {
        std::string seq, word;
        bool inFrame;
        C counts;
    };
    const Case cases[] = {
        {"", "a", false, {}},
        {"ac", "acg", false, {}},
        {"acgt", "", false, {}},
        {"a", "a", false, {{100, 1}}},
        {"aaaa", "aa", false, {{25, 1}, {50, 1}, {75, 1}}},
        {"atgatg", "at", true, {{17, 1}, {67, 1}}},
        {"atgatg", "tg", true, {}},
        {"atgatg", "tg", false, {{33, 1}, {83, 1}}},
        {"atg atg", "atg ", false, {{14, 1}}},  // a trailing blank is part of the word
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountsOf(c.seq, c.word, c.inFrame), c.counts) << c.seq << " / " << c.word;
    }
}

TEST(WordProfileTest, StartOfALongSequenceCountsInBucketOne) {
    const std::string seq = "atg" + std::string(997, 'c');
    EXPECT_EQ(CountsOf(seq, "atg", false), (C{{1, 1}}));
}

TEST(WordProfileTest, RowsAreIndependentAndAccumulate) {
    WordProfile p;
    const Words words = {"ac", "", "ac", "c"};
    p.CountSequence("acac", words, false);
    p.CountSequence("acac", words, false);
    EXPECT_EQ(Counts(p, 1), (C{{25, 2}, {75, 2}}));
    EXPECT_TRUE(Counts(p, 2).empty());
    EXPECT_EQ(Counts(p, 3), Counts(p, 1));
    EXPECT_EQ(Counts(p, 4), (C{{50, 2}, {100, 2}}));
    p.ClearProfile();
    for (int r = 1; r <= 4; ++r) EXPECT_TRUE(Counts(p, r).empty());
}

TEST(WordProfileTest, CountersDoNotWrapAt16Bits) {
    WordProfile p;
    for (int i = 0; i < 70'000; ++i) p.CountSequence("a", {"a", "", "", ""}, false);
    EXPECT_EQ(p.ProfileRow(1)[99], 70'000u);
}

// The counting rule written plainly: every start position, compared byte by byte.
void NaiveCount(const std::string& seq, const std::string& word, bool inFrame,
                WordProfile::Row& row) {
    if (word.empty()) return;
    for (std::size_t i = 0; i + word.size() <= seq.size(); ++i) {
        if (inFrame && i % 3 != 0) continue;
        if (seq.compare(i, word.size(), word) == 0) ++row[ExactBucket(i + 1, seq.size()) - 1];
    }
}

// The comparisons below run once with the vector scan allowed and once with the plain scan.
class WordProfileScanTest : public BothScansTest {};

INSTANTIATE_TEST_SUITE_P(BothScans, WordProfileScanTest, ::testing::Values(true, false), ScanName);

TEST_P(WordProfileScanTest, MatchesThePlainRuleOnRandomSequences) {
    std::mt19937 rng(42);
    const std::string alphabet = "acgt";
    const Words words = {"atg", "a", "gaattc", "acgtacgtacgta"};
    for (int i = 0; i < 3000; ++i) {
        // Some sequences pass the scanner's batch of 4,096 starts.
        std::string seq(i % 50 == 0 ? 4090 + rng() % 5020 : rng() % 700, 'a');
        // Few letters in some sequences, so long words and repeats occur too.
        const std::size_t letters = 1 + i % 4;
        for (char& ch : seq) ch = alphabet[rng() % letters];
        if (i % 7 == 0 && seq.size() > 20) seq.replace(3, 13, "acgtacgtacgta");
        const bool inFrame = i % 2;
        WordProfile p;
        p.CountSequence(seq, words, inFrame);
        for (int r = 0; r < 4; ++r) {
            WordProfile::Row expected{};
            NaiveCount(seq, words[r], inFrame, expected);
            ASSERT_EQ(p.ProfileRow(r + 1), expected) << "row " << r + 1 << " seq " << seq;
        }
    }
}

TEST_P(WordProfileScanTest, MatchesThePlainRuleForWordsOfEveryShortLength) {
    // Word sets whose longest word is 1, 2, 3 or more bytes take different scanning paths;
    // a NUL byte in sequence and word must match like any other byte.
    std::mt19937 rng(7);
    const std::string alphabet("ac\0", 3);
    for (int i = 0; i < 4000; ++i) {
        Words words;
        const std::size_t longest = 1 + std::size_t(i % 6);
        for (auto& w : words) {
            if (rng() % 5 == 0) continue;  // some rows unused
            w.assign(1 + rng() % longest, 'a');
            for (char& ch : w) ch = alphabet[rng() % alphabet.size()];
        }
        std::string seq(rng() % (i % 40 == 0 ? 5000 : 200), 'a');
        for (char& ch : seq) ch = alphabet[rng() % alphabet.size()];
        const bool inFrame = i % 3 == 0;
        WordProfile p;
        p.CountSequence(seq, words, inFrame);
        for (int r = 0; r < 4; ++r) {
            WordProfile::Row expected{};
            NaiveCount(seq, words[r], inFrame, expected);
            ASSERT_EQ(p.ProfileRow(r + 1), expected) << "case " << i << " row " << r + 1;
        }
    }
}

TEST_P(WordProfileScanTest, ABatchCountsAsItsSequencesOneByOne) {
    // Words that often straddle two members, some longer than most reads; reads of every
    // length up to a few blocks, each with its own frame option.
    std::mt19937 rng(11);
    const std::string alphabet = "acgtunr";
    const Words wordSets[] = {{"a", "acg", "gaattc", "cgcgcgcgcgcgcgcgcgcgcgcgcgcgcgcgcgcgcgcgc"},
                              {"nn", "ryn", "", "uaa"}};
    for (int i = 0; i < 200; ++i) {
        const Words& words = wordSets[i % 2];
        const WordMatching matching{i % 4 >= 2, i % 8 >= 4};
        SequenceBatch batch;
        WordProfile batched, single;
        // Every fifth batch holds reads of one length, as FASTQ mostly does.
        const std::size_t equal = i % 5 == 1 ? 1 + rng() % 160 : 0;
        while (!batch.Full()) {
            std::string seq(equal ? equal : rng() % (i % 10 == 0 ? 9000 : 200), 'a');
            for (char& ch : seq) ch = alphabet[rng() % (i % 3 == 0 ? 2 : alphabet.size())];
            const bool inFrame = rng() % 3 == 0;
            if (!seq.empty() && rng() % 8 == 0) {  // a read taken back, as a rejected one is
                batch.Add(seq, !inFrame);
                batch.DropLast();
            }
            batch.Add(seq, inFrame);
            single.CountSequence(seq, words, inFrame, matching);
        }
        batched.CountBatch(batch, words, matching);
        for (int r = 1; r <= 4; ++r)
            ASSERT_EQ(batched.ProfileRow(r), single.ProfileRow(r)) << "case " << i << " row " << r;
    }
}

TEST(WordProfileTest, RowNumbersOutsideOneToFourAreRefused) {
    WordProfile p;
    EXPECT_THROW(p.ProfileRow(0), std::out_of_range);
    EXPECT_THROW(p.ProfileRow(5), std::out_of_range);
}

}  // namespace
}  // namespace kelmarin
