#include "batch/batch_run.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <new>
#include <vector>

#include "batch/batch_csv.h"
#include "batch/console_view.h"
#include "batch/input_problem.h"
#include "batch/part_runs.h"
#include "batch/run_json.h"
#include "input/in_out_error.h"
#include "input/sequence_reader.h"
#include "input/shard_range.h"
#include "platform/file_writer.h"
#include "platform/processor.h"
#include "run/file_exists.h"
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

// The mode a run reads FILE in: a shard's range, and a file's parts, depend on it before the run
// starts, so for them the content that decides is read first.
ReadingMode ModeForRun(const BatchOptions& options, bool inParts) {
    if (options.mode != ReadingMode::None || (options.shardCount == 0 && !inParts))
        return options.mode;
    return ModeOfFile(options.file);
}

std::mutex lines;  // of standard error

}  // namespace

void ChooseFileOfMode(RunController& controller, ReadingMode mode) {
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
    const unsigned threads = options.threads ? options.threads : UsableProcessors();
    // Only a regular file's bytes can be cut; the cuts themselves find whether it is one.
    const bool inParts = threads > 1 && !IsStreamName(options.file);
    std::optional<ByteRange> range;
    try {
        options.mode = ModeForRun(options, inParts);
        if (options.shardCount != 0)
            range =
                ShardReadRange(options.file, options.shardIndex, options.shardCount, options.mode);
        if (inParts) {
            const std::vector<ByteRange> parts = PartRanges(
                options.file, range.value_or(ByteRange{0, UINT64_MAX}), threads, options.mode);
            if (parts.size() > 1)
                if (std::optional<RunResult> result =
                        CountInParts(options, parts, threads, showProgress))
                    return std::move(*result);
        }
    } catch (const EInOutError& e) {
        return ReportFailure(nullptr, options.file + ": " + FailureReason(e));
    }
    ConsoleView view(options, stderr, showProgress);
    RunController controller(view);
    try {
        ChooseFileOfMode(controller, options.mode);
        if (view.Failed()) return 1;  // the view has said why
        if (range) controller.RestrictToRange(*range);
        controller.Button1Click();
        if (!view.Finished())
            return ReportFailure(&view, options.file + ": the run did not reach its end");
        view.ClearProgressLine();
        return RunResult{controller.ShownProfile().value_or(ProfileTable()),
                         controller.ShownProcessed(), controller.Mode()};
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
