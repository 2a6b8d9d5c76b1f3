#pragma once
// What kelmarin-batch writes: the profile as CSV, and the chart as a picture.

#include <cstdint>
#include <optional>
#include <vector>

#include "batch/batch_options.h"
#include "run/profile_csv.h"

namespace kelmarin {

// The chart as the window shows the result at the end of the run, in the options' view (word i
// of shown in series[i]), written at the options' size as each of PNG, SVG and PDF that the
// options name. Raises EFileWriteError when a file cannot be written.
void WriteChartPicture(const ProfileTable& shown, const std::vector<int>& series,
                       std::optional<std::uint64_t> processed, const BatchOptions& options);

}  // namespace kelmarin
