// Throughput of the sequence reader alone and of a whole counting pass (reader plus word
// profile with four words), in MB/s of file and in bases a second (the measure that compares
// FASTQ with FASTA), over the generated data set in the page cache.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analysis/word_profile.h"
#include "bench/generated_data.h"
#include "input/sequence_reader.h"
#include "platform/processor.h"

namespace kelmarin {

const bench::GeneratedFiles& Files() {
    static const bench::GeneratedFiles files = [] {
        const char* dir = std::getenv("KELMARIN_BENCH_DATA");
        return bench::EnsureGeneratedData(dir ? dir : "bench-data");
    }();
    return files;
}

namespace {

const WordProfile::Words kWords = {"atg", "taa", "tag", "gaattc"};
const WordProfile::Words kDegenerate = {"drach", "ngg", "tatawaw", "ygcy"};

// The sequences of a run until the end of the file; the counting pass before it is timed
// on its own (BM_CountingPass).
void ReadFile(benchmark::State& state, const std::string& name, ReadingMode mode, bool count,
              bool inFrame, const WordProfile::Words& words = kWords, WordMatching matching = {}) {
    LineTextFile file;
    SequenceReader reader(file);
    WordProfile profile;
    std::string seq;
    std::uint64_t sequences = 0;
    std::uint64_t bases = 0;
    for (auto _ : state) {
        state.PauseTiming();
        file.BindName(name);
        reader.CountSequences(mode);
        profile.ClearProfile();
        state.ResumeTiming();
        do {
            reader.NextSequence(mode, {}, seq);
            if (count) profile.CountSequence(seq, words, inFrame, matching);
            ++sequences;
            bases += seq.size();
        } while (!file.AtEnd());
        benchmark::DoNotOptimize(profile.ProfileRow(1).data());
    }
    const auto bytes = std::filesystem::file_size(name);
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
    state.counters["sequences"] = double(sequences) / double(state.iterations());
    state.counters["bases"] = benchmark::Counter(double(bases), benchmark::Counter::kIsRate);
}

void CountingPass(benchmark::State& state, const std::string& name, ReadingMode mode) {
    LineTextFile file;
    SequenceReader reader(file);
    for (auto _ : state) {
        file.BindName(name);
        benchmark::DoNotOptimize(reader.CountSequences(mode));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * std::filesystem::file_size(name)));
}

void BM_CountingPassFasta(benchmark::State& s) {
    CountingPass(s, Files().fasta, ReadingMode::Fasta);
}
void BM_CountingPassText(benchmark::State& s) { CountingPass(s, Files().text, ReadingMode::Text); }
void BM_CountingPassFastq(benchmark::State& s) {
    CountingPass(s, Files().fastq, ReadingMode::Fastq);
}
void BM_ReaderFastq(benchmark::State& s) {
    ReadFile(s, Files().fastq, ReadingMode::Fastq, false, false);
}
void BM_CountFastq(benchmark::State& s) {
    ReadFile(s, Files().fastq, ReadingMode::Fastq, true, false);
}
// BM_ReaderFastq with every record read line by line: what taking plain records whole gains.
void BM_ReaderFastqLineByLine(benchmark::State& s) {
    SetFastPaths(FastPaths::None);
    ReadFile(s, Files().fastq, ReadingMode::Fastq, false, false);
    SetFastPaths(FastPaths::Vector);
}
void BM_ReaderFasta(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, false, false);
}
void BM_ReaderText(benchmark::State& s) {
    ReadFile(s, Files().text, ReadingMode::Text, false, false);
}
void BM_CountFasta(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, true, false);
}
void BM_CountFastaInFrame(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, true, true);
}
void BM_CountText(benchmark::State& s) {
    ReadFile(s, Files().text, ReadingMode::Text, true, false);
}
void BM_CountTextInFrame(benchmark::State& s) {
    ReadFile(s, Files().text, ReadingMode::Text, true, true);
}

// IUPAC codes and the reverse strand, beside BM_CountFasta.
void BM_CountFastaIupac(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, true, false, kWords, {true, false});
}
void BM_CountFastaDegenerate(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, true, false, kDegenerate, {true, false});
}
void BM_CountFastaBothStrands(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, true, false, kWords, {false, true});
}
void BM_CountFastaDegenerateBothStrands(benchmark::State& s) {
    ReadFile(s, Files().fasta, ReadingMode::Fasta, true, false, kDegenerate, {true, true});
}

BENCHMARK(BM_CountingPassFasta)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountingPassText)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountingPassFastq)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ReaderFastq)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ReaderFastqLineByLine)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFastq)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ReaderFasta)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ReaderText)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFasta)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFastaInFrame)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFastaIupac)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFastaDegenerate)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFastaBothStrands)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountFastaDegenerateBothStrands)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountText)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CountTextInFrame)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
}  // namespace kelmarin

int main(int argc, char** argv) {
    kelmarin::Files();  // the data first, also when no benchmark is chosen (scripts rely on it)
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
