// kelmarin-batch: the window's run, without the window. The same run controller reads the
// file and counts; a console view stands in for the window, and the profile is written to
// standard output as CSV.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "batch/input_problem.h"
#include "batch/profile_merge.h"
#include "batch/sample_runs.h"

using namespace kelmarin;

namespace {

// The profile on standard output; 0, or the failure's status when it cannot all be written.
int WriteProfile(const std::string& csv) {
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0)
        return ReportFailure(nullptr, std::string("cannot write the profile to standard output: ") +
                                          std::strerror(errno));
    return 0;
}

// One FILE, its profile on standard output.
int Run(const BatchOptions& options) {
    auto counted = CountFile(options, isatty(STDERR_FILENO) == 1);
    if (const int* status = std::get_if<int>(&counted)) return *status;
    const RunResult& result = std::get<RunResult>(counted);
    // The files first: when one fails, nothing has gone to standard output.
    if (const int status = WriteRunFiles(result, options)) return status;
    if (const int status = WriteProfile(ProfileTableCsv(result.shown))) return status;
    std::fprintf(stderr, "processed %s\n",
                 result.processed ? std::to_string(*result.processed).c_str() : "");
    return 0;
}

// --merge: the sum of the profiles on standard output, or the first file that fails and why.
int Merge(const std::vector<std::string>& files) {
    const auto merged = MergeProfileFiles(files);
    if (const auto* failure = std::get_if<EProfileFileError>(&merged))
        return ReportFailure(nullptr, failure->what());
    return WriteProfile(std::get<std::string>(merged));
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures are drawn offscreen: whatever platform the environment names may have no display
    // to reach, and a platform that cannot start aborts the program. Set here, as the
    // environment must not change once files are read on threads.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const BatchCommand command = ParseBatchCommand(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
        case BatchCommand::Action::Help:
            return std::fputs(BatchUsage(), stdout) < 0 ? 1 : 0;
        case BatchCommand::Action::Version:
            return std::printf("%s\n", BatchVersion()) < 0 ? 1 : 0;
        case BatchCommand::Action::Fail:
            std::fprintf(stderr, "%s\n%s", BatchMessage(command.reason).c_str(), BatchUsage());
            return 2;
        case BatchCommand::Action::Merge:
            return Merge(command.mergeFiles);
        case BatchCommand::Action::Run:
            break;
    }
    if (command.options.wordsByOption) return RunSamples(command, WriteProfile);
    return Run(command.options);
}
