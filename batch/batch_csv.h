#pragma once
// What kelmarin-batch writes: the profile as CSV, and the chart as a picture.

#include "batch/batch_options.h"
#include "run/profile_csv.h"

namespace kelmarin {

class ConsoleView;

// The chart as the window shows it at the end of the run, from the view's points, written as
// a PNG of the options' size. Raises std::runtime_error when the file cannot be written.
void WriteChartPicture(const ConsoleView& view, const BatchOptions& options);

}  // namespace kelmarin
