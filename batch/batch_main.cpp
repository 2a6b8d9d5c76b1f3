// kelmarin-batch: the window's run, without the window. The same run controller reads the
// file and counts; a console view stands in for the window, and the profile is written to
// standard output as CSV.

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "input/sequence_reader.h"
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

}  // namespace

int main(int argc, char** argv) {
    const auto options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fputs(BatchUsage(), stderr);
        return 2;
    }
    ConsoleView view(*options, stderr, isatty(STDERR_FILENO) == 1);
    RunController controller(view);
    try {
        if (options->format == BatchOptions::Format::Fasta)
            controller.FastaClick();
        else
            controller.textClick();
        if (view.Failed()) return 1;  // the view has printed why
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
