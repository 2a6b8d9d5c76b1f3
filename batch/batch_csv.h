#pragma once
// What kelmarin-batch writes: the profile as CSV, and the chart as a picture.

#include <array>
#include <string>

#include "analysis/word_profile.h"
#include "batch/batch_options.h"

namespace kelmarin {

class ConsoleView;

// A CSV field, quoted as RFC 4180 asks when it holds a comma, a quote or a line break (and,
// so that no reader trims it, a leading or trailing blank).
std::string CsvField(const std::string& text);

// "bucket,<word>,..." for each non-empty word, lower-cased, in row order, then buckets 1 to 100
// with each such row's counts. Lines end in LF, as the tools that read it (awk, cut,
// pandas) expect.
std::string ProfileCsv(const std::array<std::string, 4>& words, const WordProfile& profile);

// The chart as the window shows it at the end of the run, from the view's points, written at
// the options' size as each of PNG, SVG and PDF that the options name. Raises
// std::runtime_error when a file cannot be written.
void WriteChartPicture(const ConsoleView& view, const BatchOptions& options);

}  // namespace kelmarin
