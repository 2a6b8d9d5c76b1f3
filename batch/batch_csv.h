#pragma once
// What kelmarin-batch writes: the profile as CSV, and the chart as a picture.

#include "batch/batch_options.h"
#include "run/profile_csv.h"

namespace kelmarin {

class ConsoleView;

// The chart as the window shows it at the end of the run, from the view's points, written at
// the options' size as each of PNG, SVG and PDF that the options name. Raises
// EFileWriteError when a file cannot be written.
void WriteChartPicture(const ConsoleView& view, const BatchOptions& options);

}  // namespace kelmarin
