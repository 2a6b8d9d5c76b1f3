#include "analysis/iupac.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis/bucket.h"
#include "analysis/word_profile.h"
#include "analysis/word_scanner.h"
#include "tests/analysis/both_scans.h"

namespace kelmarin {
namespace {

// The comparisons run once with the vector scan allowed and once with the plain scan.
class IupacScanTest : public BothScansTest {};

INSTANTIATE_TEST_SUITE_P(BothScans, IupacScanTest, ::testing::Values(true, false), ScanName);

// Which sequence letters each word letter matches: a plain letter when its base is in the word
// letter's set, an ambiguous one when all of its bases are.
struct LetterRow {
    char word;
    std::string matches;
};
const LetterRow kLetterTable[] = {
    {'a', "a"},
    {'c', "c"},
    {'g', "g"},
    {'t', "tu"},
    {'u', "tu"},
    {'r', "agr"},
    {'y', "ctuy"},
    {'s', "cgs"},
    {'w', "atuw"},
    {'k', "gtuk"},
    {'m', "acm"},
    {'b', "cgtusykb"},
    {'d', "agturwkd"},
    {'h', "actumwyh"},
    {'v', "acgmrsv"},
    {'n', "acgturyswkmbdhvn"},
    // Any other letter matches only itself.
    {'-', "-"},
    {'*', "*"},
    {' ', " "},
    {'1', "1"},
    {'x', "x"},
    {'e', "e"},
    {'A', "A"},
    {'\x01', "\x01"},
    {'\0', std::string(1, '\0')},
};

TEST_P(IupacScanTest, EachWordLetterMatchesTheLettersOfItsSet) {
    // Every byte once, so both the vector and the plain path see each one as a sequence letter.
    std::string seq;
    for (int b = 0; b < 256; ++b) seq += char(b);
    for (const LetterRow& row : kLetterTable) {
        WordProfile p;
        p.CountSequence(seq, {std::string(1, row.word), "", "", ""}, false, {true, false});
        WordProfile::Row expected{};
        for (char c : row.matches) ++expected[ExactBucket(std::uint8_t(c) + 1, seq.size()) - 1];
        EXPECT_EQ(p.ProfileRow(1), expected) << "word letter " << int(row.word);
    }
}

TEST(IupacTest, ComplementsCodesOnlyWithIupac) {
    EXPECT_EQ(ReverseComplement("acgturyswkmbdhvn", true), "nbdhvkmwsryaacgt");
    EXPECT_EQ(ReverseComplement("acgturyswkmbdhvn", false), "nvhdbmkwsyruacgt");
    EXPECT_EQ(ReverseComplement("a-1x", true), "x1-t");
}

}  // namespace
}  // namespace kelmarin
