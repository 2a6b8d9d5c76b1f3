// Gzip content read through the line file: the line rules hold for the inflated bytes.

#include "input/file_content.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "input/in_out_error.h"
#include "input/line_text_file.h"
#include "input/sequence_reader.h"
#include "tests/input/gzip_bytes.h"
#include "tests/input/temp_file.h"

namespace kelmarin {
namespace {

using test::Gzip;
using Lines = std::vector<std::string>;

std::string RandomBytes(std::size_t n, std::string_view alphabet, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = alphabet.empty() ? char(rng()) : alphabet[rng() % alphabet.size()];
    return s;
}

// Where the descriptors open on name stand in it (they share one position): how far the reading
// thread has read a plain file.
std::uint64_t ReadPosition(const std::string& name) {
    const auto target = std::filesystem::canonical(name);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) != target) continue;
        std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
        std::string key;
        std::uint64_t pos = 0;
        info >> key >> pos;  // "pos:" comes first
        return pos;
    }
    return 0;
}

class FileContentTest : public ::testing::Test {
  protected:
    Lines LinesOf(std::string_view bytes, std::size_t bufferSize) {
        file_.BindName(dir_.Write("data", bytes));
        buffer_.assign(bufferSize, '\0');
        file_.UseBuffer(buffer_.data(), buffer_.size());
        file_.OpenInput();
        CheckIo();
        Lines lines;
        while (!file_.AtEnd()) {
            lines.push_back(file_.NextLine());
            CheckIo();
        }
        CheckIo();
        return lines;
    }
    // The I/O result code that reading bytes to their end raises, 0 when none.
    int FailureOf(std::string_view bytes, std::size_t bufferSize) {
        try {
            LinesOf(bytes, bufferSize);
        } catch (const EInOutError& e) {
            return e.ErrorCode();
        }
        return 0;
    }

    test::TempDir dir_;
    LineTextFile file_;
    std::vector<char> buffer_;
};

TEST_F(FileContentTest, GzipReadsAsTheBytesItInflatesTo) {
    // Line ends, lone CRs, the end mark and the gzip magic itself inside the content; members
    // one after another, empty ones among them; more than the compressed input block.
    const std::string text = RandomBytes(30'000, "acgt\r\n\n>\x1f\x8b", 1);
    const std::string marked = RandomBytes(5'000, "ac\n", 2) + "\x1A" + "after the mark\n";
    const std::string big = RandomBytes(3'000'000, "", 3);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", Gzip("")},
        {"\x1f", Gzip("\x1f")},
        {text, Gzip(text)},
        {marked, Gzip(marked)},
        {text + marked, Gzip(text) + Gzip("") + Gzip(marked)},
        {big + text, Gzip(big) + Gzip(text)},
        // Zero bytes after the last member, as tape blocks and some archivers leave them.
        {text, Gzip(text) + std::string(512, '\0')},
        {marked, Gzip(marked) + std::string(300'000, '\0')},
        // bgzip's members, whose headers a short read cuts inside their extra field.
        {text, test::Bgzip(text, 4096)},
    };
    for (const auto& [plain, gz] : cases)
        for (std::size_t size : {2u, 7u, 13u, 4096u}) {
            if (plain.size() > 100'000 && size < 4096) continue;
            SCOPED_TRACE(std::to_string(plain.size()) + " bytes, buffer " + std::to_string(size));
            EXPECT_EQ(LinesOf(gz, size), LinesOf(plain, 4096));
        }
    // Content that only begins like gzip is plain text.
    EXPECT_EQ(LinesOf("\x1f\n\x8b\n", 4096), (Lines{"\x1f", "\x8b"}));
}

TEST_F(FileContentTest, DamagedGzipRaisesItsCode) {
    const std::string gz = Gzip(RandomBytes(50'000, "acgt\n", 4));
    std::string flipped = gz;
    for (std::size_t i = 20; i < 60; ++i) flipped[i] = char(~flipped[i]);
    std::string badCrc = gz;
    badCrc[gz.size() - 6] ^= 1;
    const struct {
        std::string bytes;
        int code;
    } cases[] = {
        {flipped, kIoCorruptGzip},
        {badCrc, kIoCorruptGzip},
        {gz + "trailing", kIoCorruptGzip},
        {gz + std::string(70'000, '\0') + "x", kIoCorruptGzip},
        {gz.substr(0, gz.size() - 3), kIoTruncatedGzip},
        {gz.substr(0, gz.size() / 2), kIoTruncatedGzip},
        {gz + gz.substr(0, 2), kIoTruncatedGzip},
        {gz.substr(0, 2), kIoTruncatedGzip},
        // Found by fuzzing: a stored block cut short, read on after the failure.
        {std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xab\xb3\xa9\xe0\x4a\x4c\xb2"
                     "\x1b\xa4\x31\x00\x80\x07\x00\x3e\x18\x00\x73\x00\x00\x73\x00\x1f"
                     "\x43\x47\x54\x41\x43\x00\x47\x54\x0d\x0a\x0e\x00\x00\x00\x0d\x54"
                     "\x67\x00\x67\x0a",
                     52),
         kIoCorruptGzip},
    };
    // A small buffer makes the line file read on after a failure within a line.
    for (std::size_t size : {32u, 4096u})
        for (std::size_t i = 0; i < std::size(cases); ++i)
            EXPECT_EQ(FailureOf(cases[i].bytes, size), cases[i].code) << i << ", buffer " << size;
    EXPECT_NE(InOutMessage(kIoCorruptGzip), InOutMessage(kIoTruncatedGzip));
}

TEST_F(FileContentTest, BothPassesOfARunInflate) {
    const std::string fa = ">a\nACG\nTT\n>b\n\n>c x\nGG\n";
    file_.BindName(dir_.Write("in.fa", Gzip(fa) + Gzip(fa)));
    SequenceReader reader(file_);
    EXPECT_EQ(reader.CountSequences(ReadingMode::Fasta), 6u);
    Lines seqs;
    std::string seq;
    do {
        reader.NextSequence(ReadingMode::Fasta, nullptr, seq);
        seqs.push_back(seq);
    } while (!file_.AtEnd());
    EXPECT_EQ(seqs, (Lines{"acgtt", "gg", "acgtt", "gg"}));
}

TEST_F(FileContentTest, APipeIsReadOnceWithoutACountingPass) {
    const std::string fifo = (dir_.Path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << Gzip("ACGT\nTTAA\n"); });
    file_.BindStream(fifo);
    SequenceReader reader(file_);
    EXPECT_EQ(reader.CountSequences(ReadingMode::Text), 0u);
    std::string seq;
    Lines seqs;
    do {
        reader.NextSequence(ReadingMode::Text, nullptr, seq);
        seqs.push_back(seq);
    } while (!file_.AtEnd());
    writer.join();
    EXPECT_EQ(seqs, (Lines{"acgt", "ttaa"}));
}

TEST_F(FileContentTest, AStopEndsAReadingThreadThatWaitsForRoom) {
    // Four blocks of 1 MiB fill the queue: the thread has read 4 MiB when it waits for the
    // reads to give one back, which they never do here.
    std::string bytes = RandomBytes(6 << 20, "acgt\n", 7);
    bytes.back() = '\n';
    const Lines expected = LinesOf(bytes, 4096);
    const std::string name = dir_.Write("big", bytes);
    file_.ReadAhead(true);
    for (const bool close : {true, false}) {
        SCOPED_TRACE(close ? "closed" : "destroyed");
        auto file = std::make_unique<LineTextFile>();
        file->BindName(name);
        file->ReadAhead(true);
        file->OpenInput();
        EXPECT_EQ(file->NextLine(), expected[0]);
        while (ReadPosition(name) < (4u << 20)) std::this_thread::yield();
        if (close) file->CloseInput();
        file.reset();
        EXPECT_NO_THROW(CheckIo());
    }
    EXPECT_EQ(LinesOf(bytes, 4096), expected);  // nothing is left of a stopped thread
}

TEST_F(FileContentTest, ContentReadsOnWithoutAThreadThatCannotStart) {
    // More than one block, plain and gzip; a thread's start fails as it does on a system out of
    // threads or of memory.
    const std::string bytes = RandomBytes(2'500'000, "acgt\r\n", 8) + "\x1A" + "after";
    const Lines expected = LinesOf(bytes, 4096);
    static int starts;
    starts = 0;
    const std::vector<void (*)()> failures = {[] {
                                                  ++starts;
                                                  throw std::system_error(std::make_error_code(
                                                      std::errc::resource_unavailable_try_again));
                                              },
                                              [] {
                                                  ++starts;
                                                  throw std::bad_alloc();
                                              }};
    file_.ReadAhead(true);
    for (void (*failure)() : failures)
        for (const bool gzip : {false, true}) {
            SCOPED_TRACE(gzip ? "gzip" : "plain");
            FileContent::SetThreadStartHook(failure);
            const Lines lines = LinesOf(gzip ? Gzip(bytes) : bytes, 4096);
            FileContent::SetThreadStartHook(nullptr);
            EXPECT_EQ(lines, expected);
        }
    EXPECT_EQ(starts, 4);
}

}  // namespace
}  // namespace kelmarin
