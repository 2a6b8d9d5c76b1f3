#include "batch/sample_runs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "batch/batch_run.h"
#include "batch/multiqc_content.h"
#include "input/format_by_name.h"
#include "input/sequence_reader.h"
#include "platform/file_writer.h"
#include "platform/processor.h"
#include "run/profile_csv.h"

namespace kelmarin {

namespace {

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The options of one file's run: its name, its mode (by its own name unless an option gave
// it) and its outputs in the folder.
BatchOptions FileOptions(const BatchCommand& command, const std::string& file,
                         const std::string& sample) {
    BatchOptions o = command.options;
    o.file = file;
    if (!command.modeGiven) o.mode = ModeOfName(file);
    const auto out = [&](BatchOptions::Output kind, std::string& name, const char* ending) {
        if (o.perSample[kind] && !o.outdir.empty()) name = InFolder(o.outdir, sample + ending);
    };
    out(BatchOptions::kStats, o.statsFile, ".stats.tsv");
    out(BatchOptions::kJson, o.jsonFile, ".json");
    out(BatchOptions::kPng, o.pngFile, ".png");
    out(BatchOptions::kSvg, o.svgFile, ".svg");
    out(BatchOptions::kPdf, o.pdfFile, ".pdf");
    return o;
}

// The options that change what is counted, as typed, for the MultiQC descriptions.
std::string OptionsText(const BatchCommand& command) {
    const BatchOptions& o = command.options;
    std::string text;
    const auto add = [&text](bool on, const char* option) {
        if (!on) return;
        if (!text.empty()) text += ' ';
        text += option;
    };
    add(command.modeGiven && o.mode == ReadingMode::Fasta, "--fasta");
    add(command.modeGiven && o.mode == ReadingMode::Fastq, "--fastq");
    add(command.modeGiven && o.mode == ReadingMode::Text, "--text");
    add(o.inFrame, "--frame");
    add(o.rejectStop, "--reject-stop");
    add(o.iupac, "--iupac");
    add(o.bothStrands, "--both-strands");
    return text;
}

// "a and b both give the sample name s", or empty.
std::string SameSample(const std::vector<std::string>& files,
                       const std::vector<std::string>& samples) {
    std::map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto [at, added] = first.emplace(samples[i], i);
        if (!added)
            return files[at->second] + " and " + files[i] + " both give the sample name '" +
                   samples[i] + "'";
    }
    return {};
}

// A folder for outputs, made when it is missing: empty, or why it cannot be.
std::string MakeFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat st;
        if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return {};
        return "not a folder";
    }
    return std::strerror(errno);
}

// Files read by up to n threads, their results taken in the order given.
class FileQueue {
  public:
    using Outcome = std::variant<RunResult, int>;

    FileQueue(std::vector<BatchOptions> runs, unsigned threads, bool showProgress)
        : runs_(std::move(runs)), outcomes_(runs_.size()) {
        const std::size_t n = std::min<std::size_t>(threads, runs_.size());
        for (std::size_t t = 0; t < n; ++t)
            workers_.emplace_back([this, showProgress] { Work(showProgress); });
    }
    ~FileQueue() {
        for (auto& w : workers_) w.join();
    }

    Outcome Take(std::size_t i) {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return outcomes_[i].has_value(); });
        return std::move(*outcomes_[i]);
    }

  private:
    void Work(bool showProgress) {
        for (std::size_t i; (i = next_++) < runs_.size();) {
            Outcome outcome = 1;
            try {
                outcome = CountFile(runs_[i], showProgress);
            } catch (const std::exception& e) {  // memory, most likely: this file fails alone
                outcome = ReportFailure(nullptr, runs_[i].file + ": " + e.what());
            }
            const std::lock_guard<std::mutex> lock(mutex_);
            outcomes_[i] = std::move(outcome);
            ready_.notify_all();
        }
    }

    std::vector<BatchOptions> runs_;
    std::vector<std::optional<Outcome>> outcomes_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::thread> workers_;
};

// The profiles of all samples as one CSV: sample,bucket,<word>,... and 100 rows per sample.
std::string SamplesCsv(const std::vector<std::string>& words,
                       const std::vector<SampleProfile>& samples) {
    std::string csv = "sample,bucket";
    for (const std::string& w : words) {
        csv += ',';
        csv += CsvField(w);
    }
    csv += '\n';
    for (const SampleProfile& s : samples) {
        const std::string sample = CsvField(s.sample);
        for (int b = 1; b <= ProfileTable::kBuckets; ++b) {
            csv += sample;
            csv += ',';
            csv += std::to_string(b);
            for (const auto& row : s.shown.rows) {
                csv += ',';
                csv += std::to_string(row[b - 1]);
            }
            csv += '\n';
        }
    }
    return csv;
}

}  // namespace

int RunSamples(const BatchCommand& command, int (*writeProfile)(const std::string&)) {
    const BatchOptions& options = command.options;
    std::vector<std::string> samples;
    for (const std::string& f : options.files) samples.push_back(SampleName(f));
    if (const std::string same = SameSample(options.files, samples); !same.empty())
        return ReportFailure(nullptr, same, 2);
    for (const std::string* folder : {&options.outdir, &options.mqcDir})
        if (!folder->empty())
            if (const std::string problem = MakeFolder(*folder); !problem.empty())
                return ReportFailure(nullptr, *folder + ": " + problem);

    const unsigned threads = options.threads ? options.threads : UsableProcessors();
    // Files are read side by side, each on its share of the threads: a file alone gets them all.
    const unsigned side = unsigned(std::min<std::size_t>(threads, options.files.size()));
    // One progress line is all a terminal can show: only files read one at a time draw it.
    const bool alone = side == 1;
    std::vector<BatchOptions> runs;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        runs.push_back(FileOptions(command, options.files[i], samples[i]));
        runs.back().threads = threads / side;
    }
    FileQueue queue(runs, side, alone && isatty(STDERR_FILENO) == 1);

    int status = 0;
    std::vector<SampleProfile> done;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        auto outcome = queue.Take(i);
        if (const int* failed = std::get_if<int>(&outcome)) {
            status = std::max(status, *failed);
            continue;
        }
        const RunResult& result = std::get<RunResult>(outcome);
        if (const int failed = WriteRunFiles(result, runs[i])) {
            status = std::max(status, failed);
            continue;
        }
        if (!options.outdir.empty()) {
            const std::string csv = InFolder(options.outdir, samples[i] + ".csv");
            try {
                WriteFileSafely(csv, ProfileTableCsv(result.shown));
            } catch (const EFileWriteError& e) {
                status = ReportFailure(nullptr, csv + ": cannot write the profile: " + e.Reason());
                continue;
            }
        }
        SayLine(runs[i].file + ": processed " + std::to_string(result.processed.value_or(0)));
        done.push_back({samples[i], result.shown});
    }
    WordProfile::Words words = options.words;
    for (std::string& w : words) LowerCaseAscii(w);
    const ProfileTable header = RunProfileTable(words, {});
    if (options.outdir.empty() && !done.empty())
        if (const int failed = writeProfile(SamplesCsv(header.words, done))) return failed;
    if (!options.mqcDir.empty()) {
        const bool ratios = options.perSample[BatchOptions::kStats];
        for (const auto& [name, text] :
             MultiqcFiles(header.words, done, ratios, OptionsText(command))) {
            const std::string file = InFolder(options.mqcDir, name);
            try {
                WriteFileSafely(file, text);
            } catch (const EFileWriteError& e) {
                status = ReportFailure(nullptr, file + ": cannot write: " + e.Reason());
            }
        }
    }
    return status;
}

}  // namespace kelmarin
