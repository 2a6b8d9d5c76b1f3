// Shards of a file: the runs over each shard's bytes add up to the run over the whole file,
// whatever the file holds.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "input/in_out_error.h"
#include "input/shard_range.h"
#include "run/run_controller.h"
#include "tests/input/temp_file.h"
#include "tests/run/recording_view.h"

namespace kelmarin {
namespace {

using Rows = std::array<WordProfile::Row, WordProfile::kRows>;

struct Settings {
    std::string name;
    ReadingMode mode;
    WordProfile::Words words;
    bool inFrame, rejectStop;
};

// A whole run, of the file or of one range of it, by a fresh controller as kelmarin-batch has.
Rows RunOver(const Settings& s, std::optional<ByteRange> range) {
    test::RecordingView view;
    view.words = s.words;
    view.inFrame = s.inFrame;
    view.rejectStop = s.rejectStop;
    RunController ctl(view);
    if (s.mode == ReadingMode::Fastq) {
        view.nextChoice[2] = s.name;
        ctl.FastqClick();
    } else if (s.mode == ReadingMode::Fasta) {
        view.nextChoice[1] = s.name;
        ctl.FastaClick();
    } else {
        view.nextChoice[0] = s.name;
        ctl.textClick();
    }
    if (range) ctl.RestrictToRange(*range);
    ctl.Button1Click();
    Rows rows;
    for (int r = 1; r <= WordProfile::kRows; ++r) rows[r - 1] = ctl.Profile().ProfileRow(r);
    return rows;
}

std::uint64_t ExpectedTotal(const Settings& s, std::optional<ByteRange> range) {
    LineTextFile file;
    file.BindName(s.name);
    if (range) file.SetRange(range->begin, range->end);
    SequenceReader reader(file);
    return reader.CountSequences(s.mode);
}

// Bytes that move line and record boundaries: LF, CR LF, lone CRs, headers (also with '>' in
// the middle of a line), lines far longer than a shard, and now and then an end mark; some
// files have no header at all.
std::string RandomFile(std::mt19937& rng) {
    static const std::vector<std::string> kPieces = {
        "a",    "c",  "g",    "t",   "A",
        "T",    "ta", "tga",  "\n",  "\n",
        "\r\n", "\r", ">s\n", "c>g", std::string(300, 'a') + "tag" + std::string(200, 'c')};
    const bool headers = rng() % 4 != 0;
    std::string bytes;
    const int pieces = int(rng() % 120);
    for (int i = 0; i < pieces; ++i) {
        const std::string& p = kPieces[rng() % kPieces.size()];
        if (!headers && p.find('>') != std::string::npos) continue;
        bytes += p;
    }
    if (!bytes.empty() && rng() % 6 == 0) bytes.insert(rng() % bytes.size(), 1, '\x1A');
    return bytes;
}

// FASTQ records of one to three sequence lines, whose qualities are mostly '@' and '+' and
// split over lines of their own lengths, with CR LF, empty lines between records and now and
// then an end mark between two records.
std::string RandomFastq(std::mt19937& rng) {
    const std::string eol = rng() % 2 ? "\n" : "\r\n";
    std::string bytes;
    const int records = int(rng() % 12);
    for (int r = 0; r < records; ++r) {
        bytes += "@r" + eol;
        std::size_t bases = 0;
        for (int l = int(rng() % 3); l >= 0; --l) {
            const std::size_t n = rng() % 40;
            for (std::size_t i = 0; i < n; ++i) bytes += "acgtTA"[rng() % 6];
            bytes += eol;
            bases += n;
        }
        bytes += (rng() % 2 ? "+" : "+r") + eol;
        for (std::size_t left = bases; left > 0;) {
            const std::size_t n = std::min<std::size_t>(left, 1 + rng() % 50);
            for (std::size_t i = 0; i < n; ++i) bytes += "@+I@"[rng() % 4];
            bytes += eol;
            left -= n;
        }
        if (rng() % 4 == 0) bytes += eol;
        if (rng() % 30 == 0) bytes += "\x1A";  // the records after it are never read
    }
    return bytes;
}

std::string Escaped(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes)
        out += c == '\n'   ? "\\n"
               : c == '\r' ? "\\r"
               : c == 0x1A ? "\\x1A"
                           : std::string(1, char(c));
    return out;
}

TEST(ShardRunTest, ShardsAddUpToTheWholeFile) {
    std::mt19937 rng(20261208);
    const std::vector<std::string> kWords = {"a", "ac", "cg", "t", "tt", "acg", ""};
    test::TempDir dir;
    for (int round = 0; round < 180; ++round) {
        const ReadingMode mode =
            std::array{ReadingMode::Text, ReadingMode::Fasta, ReadingMode::Fastq}[round % 3];
        const std::string bytes = mode == ReadingMode::Fastq ? RandomFastq(rng) : RandomFile(rng);
        Settings s{dir.Write("in.txt", bytes), mode, {}, rng() % 2 == 0, rng() % 3 == 0};
        for (auto& w : s.words) w = kWords[rng() % kWords.size()];
        const Rows whole = RunOver(s, std::nullopt);
        const std::uint64_t wholeTotal = ExpectedTotal(s, std::nullopt);
        const bool hasContent = !bytes.empty() && bytes[0] != '\x1A';
        for (std::uint64_t n = 1; n <= 8; ++n) {
            Rows sum{};
            std::uint64_t total = 0;
            for (std::uint64_t k = 1; k <= n; ++k) {
                const ByteRange range = ShardReadRange(s.name, k, n, s.mode);
                const Rows part = RunOver(s, range);
                for (int r = 0; r < WordProfile::kRows; ++r)
                    for (int b = 0; b < WordProfile::kBuckets; ++b) sum[r][b] += part[r][b];
                // An empty range reads as an empty file, which counts one line in plain text.
                if (!range.Empty()) total += ExpectedTotal(s, range);
            }
            const std::string what = std::string(ModeText(s.mode)) + ", " + std::to_string(n) +
                                     " shards of \"" + Escaped(bytes) + "\"";
            ASSERT_EQ(sum, whole) << what;
            if (hasContent) {
                ASSERT_EQ(total, wholeTotal) << what;
            }
        }
    }
}

TEST(ShardRunTest, RangesAreWidenedToWholeLinesOrRecords) {
    test::TempDir dir;
    // 15 bytes in thirds [0,5) [5,10) [10,15): lines begin at 0, 3, 6, 9 and 12.
    const std::string name = dir.Write("in.fa", ">a\nAC\nGT\n>b\nTT\n");
    const auto range = [&](std::uint64_t k, ReadingMode mode) {
        const ByteRange r = ShardReadRange(name, k, 3, mode);
        return std::pair(r.begin, r.end);
    };
    using P = std::pair<std::uint64_t, std::uint64_t>;
    EXPECT_EQ(range(1, ReadingMode::Text), P(0, 6));
    EXPECT_EQ(range(2, ReadingMode::Text), P(6, 12));
    EXPECT_EQ(range(3, ReadingMode::Text), P(12, 15));
    EXPECT_EQ(range(1, ReadingMode::Fasta), P(0, 9));
    EXPECT_EQ(range(2, ReadingMode::Fasta), P(9, 15));
    EXPECT_TRUE(ShardReadRange(name, 3, 3, ReadingMode::Fasta).Empty());
    EXPECT_THROW(ShardReadRange(name + ".missing", 1, 2, ReadingMode::Text), EInOutError);
}

TEST(ShardRunTest, AFastqShardBeginsAtAWholeRecordAndKnowsItsLine) {
    test::TempDir dir;
    // Records at bytes 0 and 15 (line 5); the quality at byte 10 begins with '@', and the
    // second record's quality has a line that begins with '+' at byte 26.
    const std::string name = dir.Write("in.fq", "@a\nACGT\n+\n@III\n@b\nAC\nGT\n+\n+I\nII\n");
    const auto range = [&](std::uint64_t k, std::uint64_t n) {
        const ByteRange r = ShardReadRange(name, k, n, ReadingMode::Fastq);
        return std::tuple(r.begin, r.end, r.firstLine);
    };
    using R = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>;
    EXPECT_EQ(range(1, 4), R(0, 15, 1));   // [0, 8)
    EXPECT_EQ(range(2, 4), R(15, 32, 5));  // [8, 16): the '@' quality at 10 begins no record
    EXPECT_EQ(range(1, 2), R(0, 32, 1));   // [0, 16)
    EXPECT_TRUE(ShardReadRange(name, 2, 2, ReadingMode::Fastq).Empty());  // [16, 32): no header
    EXPECT_TRUE(ShardReadRange(name, 3, 4, ReadingMode::Fastq).Empty());
}

}  // namespace
}  // namespace kelmarin
