// IUPAC codes and the reverse strand in the word profile: hand-checked positions, and random
// sequences against the rules written plainly.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "analysis/bucket.h"
#include "analysis/word_profile.h"
#include "analysis/word_scanner.h"
#include "tests/analysis/both_scans.h"

namespace kelmarin {
namespace {

using C = std::map<int, std::uint64_t>;

C CountsOf(const std::string& seq, const std::string& word, bool inFrame, WordMatching m) {
    WordProfile p;
    p.CountSequence(seq, {word, "", "", ""}, inFrame, m);
    C counts;
    for (int b = 0; b < WordProfile::kBuckets; ++b)
        if (p.ProfileRow(1)[b]) counts[b + 1] = p.ProfileRow(1)[b];
    return counts;
}

constexpr WordMatching kBothStrands{false, true};
constexpr WordMatching kIupac{true, false};
constexpr WordMatching kIupacBothStrands{true, true};

TEST(WordMatchingTest, ReverseStrandPositionsCountFromTheLastBase) {
    struct Case {
        std::string seq, word;
        bool inFrame;
        WordMatching m;
        C counts;
    };
    const Case cases[] = {
        // atgcc read backwards complemented is ggcat: gg at 1 of 5.
        {"atgcc", "gg", false, kBothStrands, {{20, 1}}},
        {"atgcc", "gg", false, {}, {}},
        // A palindrome counts once on each strand: at 1 of 8 here, at 3 of ttgaattc there.
        {"gaattcaa", "gaattc", false, kBothStrands, {{12, 1}, {38, 1}}},
        // catcata is tatgatg on the reverse strand: atg at 2 and 5, both out of frame there,
        // though cat begins at 1 and 4 on the given strand.
        {"catcata", "atg", false, kBothStrands, {{29, 1}, {71, 1}}},
        {"catcata", "atg", true, kBothStrands, {}},
        {"catcat", "atg", true, kBothStrands, {{17, 1}, {67, 1}}},
        // Codes are complemented too: accta is taggt there, where ngg meets agg at 2.
        {"accta", "ngg", false, kIupacBothStrands, {{40, 1}}},
        {"accta", "ngg", false, kBothStrands, {}},
        // u stands for t on either side, and its complement is a.
        {"aagcu", "agct", false, kIupac, {{40, 1}}},
        {"aagct", "agcu", false, kIupac, {{40, 1}}},
        {"aagct", "agcu", false, {}, {}},
        {"tttga", "ucaa", false, kIupacBothStrands, {{20, 1}}},
        // An ambiguous sequence letter needs a word letter that covers all of its bases.
        {"anr", "ar", false, kIupac, {}},
        {"anr", "nr", false, kIupac, {{67, 1}}},
        {"anr", "an", false, kIupac, {{33, 1}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountsOf(c.seq, c.word, c.inFrame, c.m), c.counts)
            << c.seq << " / " << c.word << " frame " << c.inFrame << " iupac " << c.m.iupac
            << " both strands " << c.m.bothStrands;
    }
}

// The rules written plainly: a letter's bases as text, the reverse strand as a string of its
// own read from its first base, and every start tested letter by letter.
std::string Bases(char letter) {
    static const std::map<char, std::string> kBases = {
        {'a', "a"},   {'c', "c"},   {'g', "g"},   {'t', "t"},   {'u', "t"},  {'r', "ag"},
        {'y', "ct"},  {'s', "cg"},  {'w', "at"},  {'k', "gt"},  {'m', "ac"}, {'b', "cgt"},
        {'d', "agt"}, {'h', "act"}, {'v', "acg"}, {'n', "acgt"}};
    const auto it = kBases.find(letter);
    return it == kBases.end() ? std::string() : it->second;
}

bool LetterMatches(char word, char seq, bool iupac) {
    const std::string w = Bases(word), s = Bases(seq);
    if (!iupac || w.empty() || s.empty()) return word == seq;
    for (char base : s)
        if (w.find(base) == std::string::npos) return false;
    return true;
}

char ComplementOf(char c, bool iupac) {
    const std::string from = iupac ? "acgturyswkmbdhvn" : "acgt";
    const std::string to = iupac ? "tgcaayrswmkvhdbn" : "tgca";
    const auto i = from.find(c);
    return i == std::string::npos ? c : to[i];
}

void CountStrand(const std::string& strand, const std::string& word, bool inFrame, bool iupac,
                 WordProfile::Row& row) {
    for (std::size_t i = 0; i + word.size() <= strand.size(); ++i) {
        if (inFrame && i % 3 != 0) continue;
        bool match = true;
        for (std::size_t j = 0; j < word.size() && match; ++j)
            match = LetterMatches(word[j], strand[i + j], iupac);
        if (match) ++row[ExactBucket(i + 1, strand.size()) - 1];
    }
}

class WordMatchingScanTest : public BothScansTest {};

INSTANTIATE_TEST_SUITE_P(BothScans, WordMatchingScanTest, ::testing::Values(true, false), ScanName);

TEST_P(WordMatchingScanTest, MatchesThePlainRulesOnSequencesWithAmbiguousLetters) {
    std::mt19937 rng(24);
    // Mostly bases; some sequences with u or ambiguous letters, and a few other bytes.
    const std::string plain = "acgt", rich = "acgtacgtacgtuunrykmswbdhv-x\x01";
    const std::string wordLetters = "acgtacgtunrykmswbdhv-";
    for (int i = 0; i < 3000; ++i) {
        const std::string& alphabet = i % 3 == 0 ? plain : rich;
        std::string seq(i % 60 == 0 ? 4090 + rng() % 5020 : rng() % 400, 'a');
        for (char& ch : seq) ch = alphabet[rng() % alphabet.size()];
        WordProfile::Words words;
        for (auto& w : words) {
            w.assign(1 + rng() % 7, 'a');
            // Words of plain bases alone in some cases, which a sequence without u may match
            // byte for byte.
            const std::size_t letters = i % 4 == 0 ? 9 : wordLetters.size();
            for (char& ch : w) ch = wordLetters[rng() % letters];
        }
        const bool inFrame = i % 2;
        const WordMatching m{(i / 2) % 2 == 0, (i / 4) % 2 == 0};
        WordProfile p;
        p.CountSequence(seq, words, inFrame, m);
        std::string reverse(seq.rbegin(), seq.rend());
        for (char& ch : reverse) ch = ComplementOf(ch, m.iupac);
        for (int r = 0; r < 4; ++r) {
            WordProfile::Row expected{};
            CountStrand(seq, words[r], inFrame, m.iupac, expected);
            if (m.bothStrands) CountStrand(reverse, words[r], inFrame, m.iupac, expected);
            ASSERT_EQ(p.ProfileRow(r + 1), expected)
                << "case " << i << " word " << words[r] << " seq " << seq;
        }
    }
}

}  // namespace
}  // namespace kelmarin
