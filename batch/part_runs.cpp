#include "batch/part_runs.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "batch/console_view.h"
#include "input/sequence_reader.h"
#include "run/profile_csv.h"
#include "run/run_controller.h"

namespace kelmarin {

namespace {

// The progress line of a file read in parts: the sequences of all parts, and the share of the
// file's bytes consumed, each part weighed by its size.
class PartsProgress {
  public:
    PartsProgress(const BatchOptions& options, const std::vector<ByteRange>& parts, bool show)
        : view_(options, stderr, show), processed_(parts.size()), percent_(parts.size()) {
        // A part weighs the file's bytes up to the next part (a bgzip part's range has no end).
        struct stat st {};
        const std::uint64_t size =
            ::stat(options.file.c_str(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::uint64_t end =
                i + 1 < parts.size() ? parts[i + 1].begin : std::min(parts[i].end, size);
            sizes_.push_back(end > parts[i].begin ? end - parts[i].begin : 0);
            total_ += sizes_.back();
        }
    }

    void Update(std::size_t part, std::uint64_t processed, int percent) {
        const std::lock_guard<std::mutex> lock(mutex_);
        processed_[part] = processed;
        percent_[part] = percent;
        std::uint64_t sequences = 0, weighed = 0;
        for (std::size_t i = 0; i < sizes_.size(); ++i) {
            sequences += processed_[i];
            weighed += std::uint64_t(percent_[i]) * sizes_[i];
        }
        view_.SetProcessedText(std::to_string(sequences));
        view_.SetProgress(total_ == 0 ? 0 : int(weighed / total_));
        view_.ShowRefresh(false);
    }

    void Clear() {
        const std::lock_guard<std::mutex> lock(mutex_);
        view_.ClearProgressLine();
    }

  private:
    std::mutex mutex_;
    ConsoleView view_;
    std::vector<std::uint64_t> sizes_;
    std::uint64_t total_ = 0;
    std::vector<std::uint64_t> processed_;
    std::vector<int> percent_;
};

// A part's run reports its progress to the file's line, and its failures to no one: the file
// read whole says what went wrong.
class PartView : public ConsoleView {
  public:
    PartView(const BatchOptions& options, PartsProgress& progress)
        : ConsoleView(options, stderr, false), progress_(progress) {}

    void StartPart(std::size_t part) {
        part_ = part;
        processed_ = 0;
        percent_ = 0;
    }
    void SetProcessedText(const std::string& text) override {
        processed_ = std::strtoull(text.c_str(), nullptr, 10);
    }
    void SetProgress(int percent) override { percent_ = percent; }
    void ShowRefresh(bool) override { progress_.Update(part_, processed_, percent_); }
    int ShowMessageDialog(const std::string&, TMsgDlgType, TMsgDlgButtons) override {
        failed_ = true;
        return mrOk;
    }
    bool PartFailed() const { return failed_; }

  private:
    PartsProgress& progress_;
    std::size_t part_ = 0;
    std::uint64_t processed_ = 0;
    int percent_ = 0;
    bool failed_ = false;
};

// One thread's share: the parts it takes in turn, read by one controller (whose buffers stay
// from part to part), their counts added up.
class PartWorker {
  public:
    PartWorker(const BatchOptions& options, PartsProgress& progress)
        : mode_(options.mode), view_(options, progress) {
        // Words as a run prepares them; the sum starts empty rather than as a copy of a run's
        // profile, whose caches are large.
        WordProfile::Words words = options.words;
        for (std::string& w : words) LowerCaseAscii(w);
        total_.SetWords(words, {options.iupac, options.bothStrands});
    }

    // Reads part i, the last part when last: false when it failed, or its content ended at
    // an end mark with more parts to come (the whole file's run ends there, which is rare
    // enough to be left to it).
    bool Read(std::size_t i, ByteRange range, bool last) {
        try {
            view_.StartPart(i);
            ChooseFileOfMode(controller_, mode_);
            if (view_.PartFailed()) return false;
            controller_.RestrictToRange(range);
            controller_.Button1Click();
            if (!view_.Finished() || view_.PartFailed()) return false;
            if (controller_.EndedAtMark() && !last) return false;
            total_.Add(controller_.Profile());
            // The empty sequence a part reads at its end is the whole file's only at its end.
            processed_ += controller_.ShownProcessed().value_or(0) -
                          (!last && controller_.EndedOnEmptyRead() ? 1 : 0);
            return true;
        } catch (...) {  // any failure: the whole file's run meets it again and reports it
            return false;
        }
    }

    WordProfile& Total() { return total_; }
    std::uint64_t Processed() const { return processed_; }

  private:
    ReadingMode mode_;
    PartView view_;
    RunController controller_{view_};
    WordProfile total_;
    std::uint64_t processed_ = 0;
};

}  // namespace

std::optional<RunResult> CountInParts(const BatchOptions& options,
                                      const std::vector<ByteRange>& parts, unsigned threadCount,
                                      bool showProgress) {
    // Each part reads its own bytes on its thread: a reading thread beside it would only take
    // turns with the other parts for the processors.
    BatchOptions partOptions = options;
    partOptions.threads = 1;
    PartsProgress progress(options, parts, showProgress);
    // More parts than threads, each taken by the next thread free: threads given the same
    // number of bytes do not all finish together.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::vector<std::unique_ptr<PartWorker>> workers;
    threadCount = unsigned(std::min<std::size_t>(threadCount, parts.size()));
    try {
        for (unsigned t = 0; t < threadCount; ++t)
            workers.push_back(std::make_unique<PartWorker>(partOptions, progress));
        const auto work = [&](PartWorker& worker) {
            for (std::size_t i; !failed && (i = next++) < parts.size();)
                if (!worker.Read(i, parts[i], i + 1 == parts.size())) failed = true;
        };
        std::vector<std::jthread> threads;  // joined before the workers go
        for (unsigned t = 1; t < threadCount; ++t)
            threads.emplace_back(work, std::ref(*workers[t]));
        work(*workers[0]);
    } catch (const std::system_error&) {  // a thread that cannot start: read whole
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    progress.Clear();
    if (failed) return std::nullopt;

    WordProfile& total = workers[0]->Total();
    std::uint64_t processed = workers[0]->Processed();
    for (std::size_t t = 1; t < workers.size(); ++t) {
        total.Add(workers[t]->Total());
        processed += workers[t]->Processed();
    }
    return RunResult{RunProfileTable(options.words, total.ProfileRows(), total.ExpectedRows()),
                     processed, options.mode};
}

}  // namespace kelmarin
