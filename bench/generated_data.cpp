#include "bench/generated_data.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace kelmarin::bench {

namespace {

constexpr int kRecords = 200'000;

void Generate(const std::string& fastaName, const std::string& textName) {
    std::mt19937_64 rng(20261208);
    std::ofstream fasta(fastaName, std::ios::binary);
    std::ofstream text(textName, std::ios::binary);
    const char bases[] = "ACGT";
    std::string seq;
    for (int r = 0; r < kRecords; ++r) {
        seq.resize(200 + rng() % 1601);
        for (char& c : seq) c = bases[rng() & 3];
        fasta << ">seq" << r << " generated\n";
        for (std::size_t i = 0; i < seq.size();) {
            const std::size_t width = std::min<std::size_t>(60 + rng() % 11, seq.size() - i);
            fasta.write(seq.data() + i, std::streamsize(width));
            fasta.put('\n');
            i += width;
        }
        text << seq << '\n';
    }
}

// As many bases as the FASTA, so that the fixed costs of a run weigh alike on both per base.
constexpr int kReads = 1'333'000;
constexpr std::size_t kReadLength = 150;

void GenerateFastq(const std::string& name) {
    std::mt19937_64 rng(20261209);
    std::ofstream fastq(name, std::ios::binary);
    std::string seq(kReadLength, 'A');
    std::string quality(kReadLength, 'I');
    for (int r = 0; r < kReads; ++r) {
        for (char& c : seq) c = "ACGT"[rng() & 3];
        for (char& c : quality) c = char('!' + rng() % 42);
        fastq << "@read" << r << " generated\n" << seq << "\n+\n" << quality << '\n';
    }
}

}  // namespace

GeneratedFiles EnsureGeneratedData(const std::string& folder) {
    std::filesystem::create_directories(folder);
    GeneratedFiles files{folder + "/generated.fa", folder + "/generated.txt",
                         folder + "/generated.fq"};
    if (!std::filesystem::exists(files.fasta) || !std::filesystem::exists(files.text))
        Generate(files.fasta, files.text);
    // A shorter file is one of fewer reads written before: it is made again.
    if (!std::filesystem::exists(files.fastq) ||
        std::filesystem::file_size(files.fastq) < std::uintmax_t(kReads) * (2 * kReadLength + 4))
        GenerateFastq(files.fastq);
    return files;
}

}  // namespace kelmarin::bench
