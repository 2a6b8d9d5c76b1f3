#include "analysis/stop_codon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmarin {
namespace {

TEST(StopCodonTest, ExaminedCodons) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", false},
        {"t", false},
        {"ta", false},
        {"taa", true},
        {"tag", true},
        {"tga", true},
        {"TAA", false},  // upper case never matches
        {"uaa", false},
        {"atgtaa", false},  // only the codon at 1 is examined up to length 9
        {"atgtaaccc", false},
        {"atgtaacccg", true},     // length 10: the codon at 4 is examined
        {"atgcccgggtaa", false},  // the last two codons of a multiple of three are not
        {"atgtgacccggg", true},
        {"aatgaaccc", false},  // out of frame
        {"atgcccgggtagccc", false},
        {"atgccctagcccggg", true},
        {"atgcccgggaaataacc", false},  // 13 + 6 > 17
        {"atgcccgggaaataacccc", true},
    };
    for (const auto& [seq, expected] : cases) EXPECT_EQ(HasStopCodon(seq), expected) << seq;
}

TEST(StopCodonTest, CodonsExaminedByLength) {
    // A single stop codon placed at each in-frame position shows which positions are examined:
    // 1 always, a later p only while p + 6 <= n.
    for (std::size_t n = 3; n <= 40; ++n) {
        for (std::size_t p = 1; p + 2 <= n; p += 3) {
            std::string seq(n, 'c');
            seq.replace(p - 1, 3, "tga");
            const bool examined = p == 1 || p + 6 <= n;
            EXPECT_EQ(HasStopCodon(seq), examined) << "n=" << n << " p=" << p;
        }
    }
}

}  // namespace
}  // namespace kelmarin
