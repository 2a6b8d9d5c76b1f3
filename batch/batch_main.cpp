// kelmarin-batch: the window's run, without the window. The same run controller reads the
// file and counts; a console view stands in for the window, and the profile is written to
// standard output as CSV.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "batch/batch_csv.h"
#include "batch/batch_options.h"
#include "batch/console_view.h"
#include "batch/input_problem.h"
#include "batch/profile_merge.h"
#include "batch/run_json.h"
#include "input/in_out_error.h"
#include "input/sequence_reader.h"
#include "input/shard_range.h"
#include "platform/file_writer.h"
#include "run/position_stats.h"
#include "run/run_controller.h"

using namespace kelmarin;

namespace {

int Fail(ConsoleView* view, const std::string& text, int status = 1) {
    if (view) view->ClearProgressLine();
    std::fprintf(stderr, "%s\n", BatchMessage(text).c_str());
    return status;
}

// The profile on standard output; 0, or the failure's status when it cannot all be written.
int WriteProfile(ConsoleView* view, const std::string& csv) {
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0)
        return Fail(view, std::string("cannot write the profile to standard output: ") +
                              std::strerror(errno));
    return 0;
}

// The reading mode a regular file's first bytes call for, read apart from the run (a shard's
// range depends on the mode before the run starts).
ReadingMode ModeOfFile(const std::string& name) {
    LineTextFile file;
    file.BindName(name);
    SequenceReader reader(file);
    reader.Open();
    return reader.ModeByContent();
}

// The mode a run reads FILE in: a shard's range depends on it before the run starts, so for a
// shard the content that decides is read first.
ReadingMode ModeForRun(const BatchOptions& options) {
    if (options.mode != ReadingMode::None || options.shardCount == 0) return options.mode;
    return ModeOfFile(options.file);
}

// Chooses the file as the menu command of its mode would; a mode left to the content is settled
// by the run itself, which looks at the first bytes without losing them.
void ChooseFile(RunController& controller, ReadingMode mode) {
    switch (mode) {
        case ReadingMode::Fasta:
            return controller.FastaClick();
        case ReadingMode::Fastq:
            return controller.FastqClick();
        case ReadingMode::Text:
            return controller.textClick();
        case ReadingMode::None:
            controller.textClick();
            return controller.TakeModeFromContent();
    }
}

// The picture, the statistics and the JSON that the options ask for, of a run that ended: 0, or
// the failure's status.
int WriteFiles(const RunController& controller, const BatchOptions& options) {
    const char* what = "the picture";
    try {
        const ProfileTable shown = controller.ShownProfile().value_or(ProfileTable());
        const std::optional<std::uint64_t> processed = controller.ShownProcessed();
        if (options.WantsPicture())
            WriteChartPicture(shown, WordSeries(options.words), processed, options);
        if (!options.WantsStatistics()) return 0;
        const std::vector<WordStats> stats = TestTable(shown);
        what = "the statistics";
        if (!options.statsFile.empty()) WriteFileSafely(options.statsFile, StatsTableText(stats));
        what = "the JSON";
        if (!options.jsonFile.empty())
            WriteFileSafely(options.jsonFile,
                            RunJson(options, controller.Mode(), processed.value_or(0), stats));
    } catch (const EFileWriteError& e) {
        return Fail(nullptr, e.File() + ": cannot write " + what + ": " + e.Reason());
    } catch (const std::exception& e) {
        return Fail(nullptr, e.what());
    }
    return 0;
}

// Runs the controller as the window would: choose the file, then START.
int Run(BatchOptions options) {
    if (const std::string problem = InputProblem(options.file); !problem.empty())
        return Fail(nullptr, options.file + ": " + problem);
    if (options.shardCount != 0)
        if (const std::string problem = ShardProblem(options.file); !problem.empty())
            return Fail(nullptr, options.file + ": " + problem, 2);
    try {
        options.mode = ModeForRun(options);
    } catch (const EInOutError& e) {
        return Fail(nullptr, options.file + ": " + FailureReason(e));
    }
    ConsoleView view(options, stderr, isatty(STDERR_FILENO) == 1);
    RunController controller(view);
    try {
        ChooseFile(controller, options.mode);
        if (view.Failed()) return 1;  // the view has said why
        if (options.shardCount != 0)
            controller.RestrictToRange(ShardReadRange(options.file, options.shardIndex,
                                                      options.shardCount, controller.Mode()));
        controller.Button1Click();
        if (!view.Finished()) return Fail(&view, options.file + ": the run did not reach its end");
        view.ClearProgressLine();
    } catch (const EInOutError& e) {
        return Fail(&view, options.file + ": " + FailureReason(e));
    } catch (const std::bad_alloc&) {
        return Fail(&view, options.file + ": out of memory");
    } catch (const std::exception& e) {
        return Fail(&view, e.what());
    }
    // The files first: when one fails, nothing has gone to standard output.
    if (const int status = WriteFiles(controller, options)) return status;
    if (const int status =
            WriteProfile(&view, ProfileCsv(options.words, controller.Profile().ProfileRows())))
        return status;
    std::fprintf(stderr, "processed %s\n", view.ProcessedText().c_str());
    return 0;
}

// --merge: the sum of the profiles on standard output, or the first file that fails and why.
int Merge(const std::vector<std::string>& files) {
    const auto merged = MergeProfileFiles(files);
    if (const auto* failure = std::get_if<EProfileFileError>(&merged))
        return Fail(nullptr, failure->what());
    return WriteProfile(nullptr, std::get<std::string>(merged));
}

}  // namespace

int main(int argc, char** argv) {
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
    return Run(command.options);
}
