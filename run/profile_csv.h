#pragma once
// A run's profile as the text both front-ends write: CSV for files (kelmarin-batch's standard
// output, the window's Save profile) and tab-separated text for the clipboard.

#include <string>
#include <vector>

#include "analysis/word_profile.h"
#include "run/profile_table.h"

namespace kelmarin {

// A field of a line of fields split by separator, quoted as RFC 4180 asks when it holds the
// separator, a quote or a line break (and, so that no reader trims it, a leading or trailing
// blank).
std::string DelimitedField(const std::string& text, char separator);
inline std::string CsvField(const std::string& text) { return DelimitedField(text, ','); }

// The table of the run's non-empty words, lower-cased, in row order, with their rows.
ProfileTable RunProfileTable(const WordProfile::Words& words, const WordProfile::Rows& rows);
// The same with each word's expected profile.
ProfileTable RunProfileTable(const WordProfile::Words& words, const WordProfile::Rows& rows,
                             const ExpectedProfile::Rows& expected);

// The series (word rows, 1 to 4) of the table's words: the rows whose words are not empty.
std::vector<int> WordSeries(const WordProfile::Words& words);

// "bucket,<word>,..." for each non-empty word, lower-cased, in row order, then buckets 1 to 100
// with each such row's counts. Lines end in LF, as the tools that read it (awk, cut,
// pandas) expect.
std::string ProfileCsv(const WordProfile::Words& words, const WordProfile::Rows& rows);

}  // namespace kelmarin
