// kelmarin-batch: the window's run, without the window. The same run controller reads the
// file and counts; a console view stands in for the window, and the profile is written to
// standard output as CSV.

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "batch/profile_merge.h"
#include "input/sequence_reader.h"
#include "input/shard_range.h"
#include "ui/batch_csv.h"
#include "ui/batch_options.h"
#include "ui/console_view.h"
#include "ui/exception_display.h"
#include "ui/run_controller.h"

using namespace kelmarin;

namespace {

int Fail(ConsoleView& view, const std::string& message) {
    view.ClearProgressLine();
    std::fprintf(stderr, "%s\n", WithClosingPeriod(message).c_str());
    return 1;
}

// --merge: the sum of the profiles on standard output, or the first file that fails and why.
int Merge(const std::vector<std::string>& files) {
    const auto merged = MergeProfileFiles(files);
    if (const auto* failure = std::get_if<MergeFailure>(&merged)) {
        std::fprintf(stderr, "kelmarin-batch: %s: %s\n", failure->file.c_str(),
                     failure->reason.c_str());
        return 1;
    }
    const std::string& csv = std::get<std::string>(merged);
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0) {
        std::fputs("kelmarin-batch: could not write the profile to standard output\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fputs(BatchUsage(), stderr);
        return 2;
    }
    if (options->merge) return Merge(options->mergeFiles);
    ConsoleView view(*options, stderr, isatty(STDERR_FILENO) == 1);
    RunController controller(view);
    try {
        if (options->format == BatchOptions::Format::Fasta)
            controller.FastaClick();
        else
            controller.textClick();
        if (view.Failed()) return 1;  // the view has printed why
        if (options->shardCount != 0)
            controller.RestrictToRange(ShardReadRange(
                options->file, options->shardIndex, options->shardCount, controller.ReadingMode()));
        controller.Button1Click();
        if (!view.Finished()) return Fail(view, "The run did not reach the end of the file");
    } catch (const std::exception& e) {
        return Fail(view, e.what());
    }
    view.ClearProgressLine();
    // The picture first: when it fails, nothing has gone to standard output.
    if (!options->pngFile.empty()) {
        try {
            WriteChartPicture(view, *options);
        } catch (const std::exception& e) {
            return Fail(view, e.what());
        }
    }
    const std::string csv = ProfileCsv(options->words, controller.Profile());
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0)
        return Fail(view, "Could not write the profile to standard output");
    std::fprintf(stderr, "processed %s\n", view.ProcessedText().c_str());
    return 0;
}
