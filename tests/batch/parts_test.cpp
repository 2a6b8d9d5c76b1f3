// A file read in parts on several threads: the parts' sum is the whole file's result, bit for
// bit, or nothing when a cut turns out to be no record's start.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <variant>

#include "batch/part_runs.h"
#include "tests/input/gzip_bytes.h"
#include "tests/input/temp_file.h"

namespace kelmarin {
namespace {

std::string Bases(std::mt19937& rng, std::size_t n) {
    static constexpr char kLetters[] = "acgtACGTacgtn";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += kLetters[rng() % 13];
    return s;
}

// Records of all lengths, empty ones, CR LF here and there, wrapped lines, blank lines.
std::string Fasta(std::mt19937& rng, int records) {
    std::string f;
    for (int i = 0; i < records; ++i) {
        const std::string eol = rng() % 5 == 0 ? "\r\n" : "\n";
        f += ">r" + std::to_string(i) + eol;
        const std::string seq = Bases(rng, rng() % 400);
        for (std::size_t at = 0; at < seq.size(); at += 60) f += seq.substr(at, 60) + eol;
        if (rng() % 9 == 0) f += eol;
    }
    return f;
}

// Four-line reads whose qualities may begin with '@' or '+', and empty reads.
std::string Fastq(std::mt19937& rng, int reads) {
    std::string f;
    for (int i = 0; i < reads; ++i) {
        const std::string seq = Bases(rng, rng() % 6 == 0 ? 0 : 20 + rng() % 180);
        std::string quality;
        for (std::size_t j = 0; j < seq.size(); ++j) quality += char('!' + rng() % 42);
        if (!quality.empty() && rng() % 4 == 0) quality[0] = rng() % 2 ? '@' : '+';
        f += "@r" + std::to_string(i) + "\n" + seq + "\n+\n" + quality + "\n";
    }
    return f;
}

std::string Text(std::mt19937& rng, int lines) {
    std::string f;
    for (int i = 0; i < lines; ++i) f += Bases(rng, rng() % 300) + (rng() % 4 ? "\n" : "\r\n");
    return f;
}

BatchOptions Options(const std::string& file, ReadingMode mode, int flags) {
    BatchOptions o;
    o.file = file;
    o.mode = mode;
    o.words = {"atg", "TAA", "", "ygcy"};
    o.inFrame = o.rejectStop = flags == 1;
    o.iupac = o.bothStrands = flags == 2;
    o.threads = 1;
    return o;
}

RunResult Whole(const BatchOptions& options) {
    auto result = CountFile(options, false);
    if (const int* status = std::get_if<int>(&result)) ADD_FAILURE() << "status " << *status;
    return std::get<RunResult>(std::move(result));
}

void ExpectSame(const RunResult& parts, const RunResult& whole) {
    EXPECT_EQ(ProfileTableCsv(parts.shown), ProfileTableCsv(whole.shown));
    EXPECT_EQ(parts.processed, whole.processed);
    EXPECT_EQ(parts.shown.expected, whole.shown.expected);  // the same bits
    EXPECT_EQ(parts.mode, whole.mode);
}

TEST(FileInParts, PartsAddUpToTheWholeFile) {
    test::TempDir dir;
    std::mt19937 rng(7);
    const std::string fasta = Fasta(rng, 600), fastq = Fastq(rng, 1500);
    // Records of a block each: every block begins with a record, and so does every part.
    std::string even;
    for (int i = 100; i < 200; ++i)
        even += ">r" + std::to_string(i) + "\n" + Bases(rng, 4089) + "\n";
    const std::vector<std::pair<std::string, ReadingMode>> files = {
        {dir.Write("a.fa", fasta), ReadingMode::Fasta},
        {dir.Write("a.fq", fastq), ReadingMode::Fastq},
        {dir.Write("a.txt", Text(rng, 800)), ReadingMode::Text},
        {dir.Write("b.fa.gz", test::Bgzip(fasta, 4096)), ReadingMode::Fasta},
        {dir.Write("b.fq.gz", test::Bgzip(fastq, 4096)), ReadingMode::Fastq},
        {dir.Write("c.fa.gz", test::Bgzip(even, 4096)), ReadingMode::Fasta},
    };
    for (const auto& [file, mode] : files)
        for (int flags = 0; flags < 3; ++flags) {
            const BatchOptions options = Options(file, mode, flags);
            const RunResult whole = Whole(options);
            for (const unsigned n : {2u, 7u}) {
                SCOPED_TRACE(file + " flags " + std::to_string(flags) + " in " + std::to_string(n));
                // Parts of 2,000 bytes at least: dozens of them, some taken by each thread.
                const auto parts = PartRanges(file, {0, UINT64_MAX}, n, mode, 2000);
                EXPECT_GE(parts.size(), 2 * n);
                const auto sum = CountInParts(options, parts, 3, false);
                ASSERT_TRUE(sum.has_value());
                ExpectSame(*sum, whole);
            }
        }
}

TEST(FileInParts, CutsThatAreNoRecordsStartGiveNothing) {
    test::TempDir dir;
    // A FASTQ cut at a quality line beginning with '@', which a later read's header follows.
    const std::string reads = "@a\nACGTATG\n+\nIIIIIII\n@b\nATGA\n+\n@III\n@c\nAATG\n+\nIIII\n";
    const std::string fq = dir.Write("r.fq", reads);
    const std::uint64_t quality = reads.find("@III");
    const auto wrong = CountInParts(Options(fq, ReadingMode::Fastq, 0),
                                    {{0, quality}, {quality, reads.size()}}, 2, false);
    EXPECT_FALSE(wrong.has_value());
    const std::uint64_t right = reads.find("@b");
    const auto sum = CountInParts(Options(fq, ReadingMode::Fastq, 0),
                                  {{0, right}, {right, reads.size()}}, 2, false);
    ASSERT_TRUE(sum.has_value());
    ExpectSame(*sum, Whole(Options(fq, ReadingMode::Fastq, 0)));

    // A bgzip part said to end in a member that begins nowhere near.
    std::mt19937 rng(3);
    const std::string fasta = Fasta(rng, 300);
    const std::string gz = dir.Write("f.fa.gz", test::Bgzip(fasta, 4096));
    std::vector<ByteRange> parts = PartRanges(gz, {0, UINT64_MAX}, 2, ReadingMode::Fasta, 1);
    ASSERT_GE(parts.size(), 2u);
    parts[0].members->endMember += 1;
    EXPECT_FALSE(CountInParts(Options(gz, ReadingMode::Fasta, 0), parts, 2, false));

    // An end mark in a part before the last: the content ends there, so later parts are not
    // the file's, and the file is read whole.
    std::string marked = fasta;
    marked[marked.size() / 2] = '\x1A';
    const std::string fa = dir.Write("m.fa", marked);
    parts = PartRanges(fa, {0, UINT64_MAX}, 2, ReadingMode::Fasta, 1);
    ASSERT_GE(parts.size(), 2u);
    EXPECT_FALSE(CountInParts(Options(fa, ReadingMode::Fasta, 0), parts, 2, false));
    BatchOptions two = Options(fa, ReadingMode::Fasta, 0);
    two.threads = 2;
    const RunResult one = Whole(Options(fa, ReadingMode::Fasta, 0));
    ExpectSame(std::get<RunResult>(CountFile(two, false)), one);
}

}  // namespace
}  // namespace kelmarin
