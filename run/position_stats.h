#pragma once
// Whether a word begins more often in some buckets than its expected profile says: an exact
// binomial test per bucket, Benjamini–Hochberg q values over the word's buckets, and a
// chi-squared test of the whole row; and the tab-separated table that carries them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/profile_table.h"

namespace kelmarin {

// The expected profile of a word: expected occurrences per bucket, bucket 1 first.
using ExpectedRow = std::array<double, ProfileTable::kBuckets>;

struct WordStats {
    std::string word;
    ProfileTable::Row observed{};
    ExpectedRow expected{}, ratio{}, p{}, q{};  // ratio: NaN where expected is 0 (printed NA)
    double chi2 = 0;
    int df = 0;
    double pUniform = 1;
};

// The tests of one word's row. With N its occurrences in all buckets, a bucket's count is
// tested against Binomial(N, expected / N), two-sided (twice the smaller tail, at most 1). A
// bucket expecting nothing is not tested (ratio NaN, p and q 1), nor is any bucket of a word
// that never occurs; the chi-squared test needs two tested buckets, else df is 0 and pUniform 1.
WordStats TestPositions(std::string word, const ProfileTable::Row& observed,
                        const ExpectedRow& expected);

// Each word's tests, from a table that has expected profiles.
std::vector<WordStats> TestTable(const ProfileTable& table);

inline constexpr std::string_view kStatsTableHeader =
    "word\tbucket\tobserved\texpected\tratio\tp\tq";

// The tab-separated statistics table: the header above, then 100 rows per word in table order,
// buckets 1 to 100; a word is quoted as the clipboard's text quotes it. Lines end in LF.
std::string StatsTableText(const std::vector<WordStats>& stats);

// Number text used in that table and in JSON: the shortest text that reads back as the same
// double, whatever the locale ("0", "1", "0.1", "1e-300"). NaN and infinities give "nan" and
// "inf", which reading refuses as expected counts.
std::string NumberText(double v);

}  // namespace kelmarin
