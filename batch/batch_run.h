#pragma once
// One file's run in kelmarin-batch, in two steps: reading and counting it (on any thread), then
// writing the files asked for of its result (on the main thread, which alone may draw).

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "batch/batch_options.h"
#include "run/profile_table.h"

namespace kelmarin {

class ConsoleView;
class RunController;

// What a run that reached the end of its file leaves; ProfileTableCsv(shown) is its CSV.
struct RunResult {
    ProfileTable shown;  // words, counts and expected profiles
    std::optional<std::uint64_t> processed;
    ReadingMode mode;  // the one the file was read in
};

// Says "kelmarin-batch: <text>" on standard error, as one whole line even when several files
// are read at once, after clearing view's progress line; returns status.
int ReportFailure(ConsoleView* view, const std::string& text, int status = 1);
// A line on standard error, whole even when several files are read at once.
void SayLine(const std::string& line);

// Chooses the file as the menu command of its mode would; a mode left to the content is settled
// by the run itself, which looks at the first bytes without losing them.
void ChooseFileOfMode(RunController& controller, ReadingMode mode);

// Reads options.file as the window would (choose the file, then START): the result, or the
// status of a failure that has been reported. showProgress: a progress bar on standard error.
std::variant<RunResult, int> CountFile(BatchOptions options, bool showProgress);

// The pictures, the statistics table and the JSON that options ask for: 0, or the status of a
// failure that has been reported.
int WriteRunFiles(const RunResult& result, const BatchOptions& options);

}  // namespace kelmarin
