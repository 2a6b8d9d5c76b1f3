#include "batch/batch_run.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <new>
#include <vector>

#include "batch/batch_csv.h"
#include "batch/console_view.h"
#include "batch/input_problem.h"
#include "batch/run_json.h"
#include "input/in_out_error.h"
#include "input/sequence_reader.h"
#include "input/shard_range.h"
#include "platform/file_writer.h"
#include "run/position_stats.h"
#include "run/run_controller.h"

namespace kelmarin {

namespace {

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

}  // namespace

namespace {
std::mutex lines;  // of standard error
}  // namespace

int ReportFailure(ConsoleView* view, const std::string& text, int status) {
    const std::lock_guard<std::mutex> lock(lines);
    if (view) view->ClearProgressLine();
    std::fprintf(stderr, "%s\n", BatchMessage(text).c_str());
    return status;
}

void SayLine(const std::string& line) {
    const std::lock_guard<std::mutex> lock(lines);
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::variant<RunResult, int> CountFile(BatchOptions options, bool showProgress) {
    if (const std::string problem = InputProblem(options.file); !problem.empty())
        return ReportFailure(nullptr, options.file + ": " + problem);
    if (options.shardCount != 0)
        if (const std::string problem = ShardProblem(options.file); !problem.empty())
            return ReportFailure(nullptr, options.file + ": " + problem, 2);
    try {
        options.mode = ModeForRun(options);
    } catch (const EInOutError& e) {
        return ReportFailure(nullptr, options.file + ": " + FailureReason(e));
    }
    ConsoleView view(options, stderr, showProgress);
    RunController controller(view);
    try {
        ChooseFile(controller, options.mode);
        if (view.Failed()) return 1;  // the view has said why
        if (options.shardCount != 0)
            controller.RestrictToRange(ShardReadRange(options.file, options.shardIndex,
                                                      options.shardCount, controller.Mode()));
        controller.Button1Click();
        if (!view.Finished())
            return ReportFailure(&view, options.file + ": the run did not reach its end");
        view.ClearProgressLine();
        return RunResult{controller.ShownProfile().value_or(ProfileTable()),
                         controller.ShownProcessed(), controller.Mode(),
                         ProfileCsv(options.words, controller.Profile().ProfileRows())};
    } catch (const EInOutError& e) {
        return ReportFailure(&view, options.file + ": " + FailureReason(e));
    } catch (const std::bad_alloc&) {
        return ReportFailure(&view, options.file + ": out of memory");
    } catch (const std::exception& e) {
        return ReportFailure(&view, e.what());
    }
}

int WriteRunFiles(const RunResult& result, const BatchOptions& options) {
    const char* what = "the picture";
    try {
        if (options.WantsPicture())
            WriteChartPicture(result.shown, WordSeries(options.words), result.processed, options);
        if (!options.WantsStatistics()) return 0;
        const std::vector<WordStats> stats = TestTable(result.shown);
        what = "the statistics";
        if (!options.statsFile.empty()) WriteFileSafely(options.statsFile, StatsTableText(stats));
        what = "the JSON";
        if (!options.jsonFile.empty())
            WriteFileSafely(options.jsonFile,
                            RunJson(options, result.mode, result.processed.value_or(0), stats));
    } catch (const EFileWriteError& e) {
        return ReportFailure(nullptr, e.File() + ": cannot write " + what + ": " + e.Reason());
    } catch (const std::exception& e) {
        return ReportFailure(nullptr, e.what());
    }
    return 0;
}

}  // namespace kelmarin
