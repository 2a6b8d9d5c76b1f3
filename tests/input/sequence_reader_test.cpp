#include "input/sequence_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "analysis/stop_codon.h"
#include "input/in_out_error.h"
#include "tests/input/reader_fixture.h"

namespace kelmarin {
namespace {

using test::Seqs;
using SequenceReaderTest = test::ReaderTest;

TEST_F(SequenceReaderTest, PlainTextLines) {
    struct Case {
        std::string bytes;
        std::uint64_t total;
        Seqs seqs;
    };
    const std::vector<Case> cases = {
        {"ACGT\r\n\r\ntt\r\n", 3, {"acgt", "tt"}},
        {"ACGT\nTT", 2, {"acgt", "tt"}},  // no final line end
        {"ACGT\n\n", 2, {"acgt"}},        // an empty line after the final line end
        {"", 1, {}},
        {">s1\nAc Gt\n", 2, {">s1", "ac gt"}},  // headers and blanks are text like any other
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        Bind(c.bytes);
        EXPECT_EQ(reader_.CountSequences(ReadingMode::Text), c.total);
        EXPECT_EQ(ReadAll(ReadingMode::Text), c.seqs);
    }
}

TEST_F(SequenceReaderTest, FastaRecords) {
    struct Case {
        std::string bytes;
        std::uint64_t total;
        Seqs seqs;
    };
    const std::vector<Case> cases = {
        {">s1\r\nAC\r\nGT\r\n>s2\r\ntt\r\n", 2, {"acgt", "tt"}},
        {">s1 description here\nAC\n\nGT\n", 1, {"acgt"}},
        {">a\nAC\nAC>GT\nGG\n", 2, {"ac", "gg"}},  // a '>' anywhere makes a header
        {">a\n>b\nCC\n", 2, {"cc"}},               // an empty record is skipped
        {">a\nCC\n>b\n", 2, {"cc"}},               // a final header has an empty record
        {"junk\n>a\nCC", 1, {"cc"}},               // lines before the first header go
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        SequenceReader fresh(file_);  // each case as the first run of the program
        Bind(c.bytes);
        EXPECT_EQ(fresh.CountSequences(ReadingMode::Fasta), c.total);
        EXPECT_EQ(ReadAllWith(fresh, ReadingMode::Fasta), c.seqs);
    }
}

TEST_F(SequenceReaderTest, FastaWithoutHeadersGivesTheLastLine) {
    Bind("AAA\nCCC\nGGG\n");
    EXPECT_EQ(reader_.CountSequences(ReadingMode::Fasta), 0u);
    EXPECT_EQ(ReadAll(ReadingMode::Fasta), Seqs{"ggg"});
}

TEST_F(SequenceReaderTest, LookaheadCarriesOverFromAStoppedRun) {
    Bind("junk\n>a\nCC\n>b\nGG\n");
    reader_.CountSequences(ReadingMode::Fasta);
    std::string seq;
    reader_.NextSequence(ReadingMode::Fasta, {}, seq);
    EXPECT_EQ(seq, "cc");
    EXPECT_EQ(reader_.Lookahead(), ">b");
    // A new run over the same file keeps the header in the lookahead line, so the lines
    // before the first header now form a record of their own.
    reader_.CountSequences(ReadingMode::Fasta);
    EXPECT_EQ(ReadAll(ReadingMode::Fasta), (Seqs{"junk", "cc", "gg"}));
}

TEST_F(SequenceReaderTest, EmptyFastaFileReturnsAStaleLookaheadOnce) {
    Bind("AAA\n");
    reader_.CountSequences(ReadingMode::Fasta);
    EXPECT_EQ(ReadAll(ReadingMode::Fasta), Seqs{"aaa"});
    Bind("");
    EXPECT_EQ(reader_.CountSequences(ReadingMode::Fasta), 0u);
    EXPECT_EQ(ReadAll(ReadingMode::Fasta), Seqs{"aaa"});
}

TEST_F(SequenceReaderTest, RejectedSequencesAreSkipped) {
    const auto reject = [](std::string_view s) { return HasStopCodon(s); };
    Bind("ATGCCC\nTAA\nTGA\n");
    reader_.CountSequences(ReadingMode::Text);
    EXPECT_EQ(ReadAll(ReadingMode::Text, reject), Seqs{"atgccc"});
    Bind("TAA\nTAG\n");
    reader_.CountSequences(ReadingMode::Text);
    EXPECT_EQ(ReadAll(ReadingMode::Text, reject), Seqs{});
}

TEST_F(SequenceReaderTest, SingleHugeLineAndBinaryBytes) {
    std::string huge(100'000'000, 'A');
    huge[12345] = '\0';
    huge[99'999'999] = 'C';
    Bind(huge);
    EXPECT_EQ(reader_.CountSequences(ReadingMode::Text), 1u);
    std::string seq;
    reader_.NextSequence(ReadingMode::Text, {}, seq);
    ASSERT_EQ(seq.size(), huge.size());
    EXPECT_EQ(seq[12345], '\0');
    EXPECT_EQ(seq[0], 'a');
    EXPECT_EQ(seq.back(), 'c');
}

// The FASTA rule written plainly: lines split at LF with CRs removed, records begin after a
// header line, lines before the first header are skipped, empty records are not sequences.
Seqs PlainFastaRecords(const std::string& bytes, std::uint64_t& headers) {
    Seqs records;
    bool inRecord = false;
    std::string line;
    headers = 0;
    const auto endLine = [&] {
        if (line.find('>') != std::string::npos) {
            ++headers;
            records.emplace_back();
            inRecord = true;
        } else if (inRecord) {
            records.back() += line;
        }
        line.clear();
    };
    for (char c : bytes) {
        if (c == '\n')
            endLine();
        else if (c != '\r')
            line += c;
    }
    if (!line.empty()) endLine();
    Seqs nonEmpty;
    for (auto& r : records)
        if (!r.empty()) {
            LowerCaseAscii(r);
            nonEmpty.push_back(r);
        }
    return nonEmpty;
}

TEST_F(SequenceReaderTest, FastaLinesAcrossRunBufferBoundaries) {
    // Headers and sequence lines fall across the run buffer's end, where lines are gathered
    // in pieces from two fills.
    std::mt19937 rng(19);
    constexpr std::size_t kEdge = SequenceReader::kRunBufferSize;
    for (int d : {-3, -1, 0, 1, 4}) {
        std::string bytes;
        bool straddled = false;
        while (bytes.size() < 2 * kEdge + 1000) {
            if (!straddled && bytes.size() + 200 > kEdge) {
                // A header line from kEdge - 6 on, its '>' at kEdge + d.
                bytes.append(kEdge - 7 - bytes.size(), 'C');
                bytes += '\n';
                bytes.append(std::size_t(6 + d), 'G');
                bytes += ">header across\r\n";
                straddled = true;
                continue;
            }
            if (rng() % 8 == 0) {
                bytes += ">r";
                bytes += std::to_string(rng() % 1000);
            }
            bytes.append(rng() % 90, "ACGT"[rng() % 4]);
            bytes += rng() % 2 ? "\r\n" : "\n";
        }
        SCOPED_TRACE(d);
        std::uint64_t headers = 0;
        const Seqs expected = PlainFastaRecords(bytes, headers);
        Bind(bytes);
        SequenceReader fresh(file_);
        EXPECT_EQ(fresh.CountSequences(ReadingMode::Fasta), headers);
        EXPECT_EQ(ReadAllWith(fresh, ReadingMode::Fasta), expected);
    }
}

TEST_F(SequenceReaderTest, FileRemovedAfterBindingFailsTheCountingPass) {
    const std::string name = dir_.Write("gone.txt", "ACGT\n");
    file_.BindName(name);
    std::remove(name.c_str());
    try {
        reader_.CountSequences(ReadingMode::Text);
        FAIL() << "counting a removed file must fail";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST_F(SequenceReaderTest, AReadThatFailsRaisesTheSystemsError) {
    // The kernel refuses to read this file at offset 0 with EIO.
    for (ReadingMode mode : {ReadingMode::Text, ReadingMode::Fasta}) {
        file_.BindName("/proc/self/mem");
        try {
            reader_.CountSequences(mode);
            ADD_FAILURE() << "reading /proc/self/mem must fail";
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), "I/O error 5");
            EXPECT_EQ(e.ErrorCode(), EIO);
        }
    }
}

TEST_F(SequenceReaderTest, AFailureInsideARecordLeavesThePartialLineInTheLookahead) {
    // A pipe whose writer stays open but silent: once its bytes are read, the next read of the
    // non-blocking reader fails (EAGAIN) in the middle of the line "TT".
    const std::string fifo = (dir_.Path() / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    file_.BindName(fifo);
    file_.OpenInput();
    CheckIo();
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string bytes = ">s1\nAC\nGT\nTT";
    ASSERT_EQ(write(writer, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    std::string seq;
    try {
        reader_.ReadFastaRecord(seq);
        ADD_FAILURE() << "the read after the pipe's bytes must fail";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), EAGAIN);
    }
    EXPECT_EQ(reader_.Lookahead(), "TT");
    close(writer);
}

TEST(LowerCaseTest, OnlyAsciiLettersChange) {
    std::string s = "ACGT acgt Zz@[`{ \xC3\x89 0";
    LowerCaseAscii(s);
    EXPECT_EQ(s, "acgt acgt zz@[`{ \xC3\x89 0");
    // Every byte value, in strings of lengths around the 32-byte step of the vector code.
    std::string bytes(512, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i);
    for (const std::size_t n : {31, 32, 33, 63, 64, 65, 256})
        for (const std::size_t from : {0, 40, 64, 77}) {
            std::string lowered = bytes.substr(from, n);
            LowerCaseAscii(lowered);
            std::string appended = "S";
            AppendLowerCaseAscii(appended, std::string_view(bytes).substr(from, n));
            ASSERT_EQ(appended, "S" + lowered);
            for (std::size_t i = 0; i < n; ++i) {
                const char c = bytes[from + i];
                ASSERT_EQ(lowered[i], c >= 'A' && c <= 'Z' ? char(c + 32) : c) << n << " " << i;
            }
        }
}

}  // namespace
}  // namespace kelmarin
