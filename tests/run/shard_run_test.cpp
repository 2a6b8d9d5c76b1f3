// Shards of a file: the runs over each shard's bytes add up to the run over the whole file,
// whatever the file holds.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
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
    bool fasta;
    WordProfile::Words words;
    bool inFrame, rejectStop;
};

// A whole run, of the file or of one range of it, by a fresh controller as kelmarin-batch has.
Rows RunOver(const Settings& s, std::optional<ByteRange> range) {
    test::RecordingView view;
    view.words = s.words;
    view.inFrame = s.inFrame;
    view.rejectStop = s.rejectStop;
    view.nextChoice[s.fasta ? 1 : 0] = s.name;
    RunController ctl(view);
    s.fasta ? ctl.FastaClick() : ctl.textClick();
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
    return reader.CountSequences(s.fasta ? kFastaMode : kTextMode);
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
    for (int round = 0; round < 120; ++round) {
        const std::string bytes = RandomFile(rng);
        Settings s{dir.Write("in.txt", bytes), round % 2 == 0, {}, rng() % 2 == 0, rng() % 3 == 0};
        for (auto& w : s.words) w = kWords[rng() % kWords.size()];
        const Rows whole = RunOver(s, std::nullopt);
        const std::uint64_t wholeTotal = ExpectedTotal(s, std::nullopt);
        const bool hasContent = !bytes.empty() && bytes[0] != '\x1A';
        for (std::uint64_t n = 1; n <= 8; ++n) {
            Rows sum{};
            std::uint64_t total = 0;
            for (std::uint64_t k = 1; k <= n; ++k) {
                const ByteRange range =
                    ShardReadRange(s.name, k, n, s.fasta ? kFastaMode : kTextMode);
                const Rows part = RunOver(s, range);
                for (int r = 0; r < WordProfile::kRows; ++r)
                    for (int b = 0; b < WordProfile::kBuckets; ++b) sum[r][b] += part[r][b];
                // An empty range reads as an empty file, which counts one line in plain text.
                if (!range.Empty()) total += ExpectedTotal(s, range);
            }
            const std::string what = (s.fasta ? "fasta, " : "text, ") + std::to_string(n) +
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
    const auto range = [&](std::uint64_t k, std::string_view mode) {
        const ByteRange r = ShardReadRange(name, k, 3, mode);
        return std::pair(r.begin, r.end);
    };
    using P = std::pair<std::uint64_t, std::uint64_t>;
    EXPECT_EQ(range(1, kTextMode), P(0, 6));
    EXPECT_EQ(range(2, kTextMode), P(6, 12));
    EXPECT_EQ(range(3, kTextMode), P(12, 15));
    EXPECT_EQ(range(1, kFastaMode), P(0, 9));
    EXPECT_EQ(range(2, kFastaMode), P(9, 15));
    EXPECT_TRUE(ShardReadRange(name, 3, 3, kFastaMode).Empty());
    EXPECT_THROW(ShardReadRange(name + ".missing", 1, 2, kTextMode), EInOutError);
}

}  // namespace
}  // namespace kelmarin
