// FASTQ records through the sequence reader: the layout, the counting pass, the content rule
// and every malformed case with the line it names; records taken whole against line by line.

#include "input/fastq_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "input/in_out_error.h"
#include "input/sequence_reader.h"
#include "platform/processor.h"
#include "tests/input/reader_fixture.h"

namespace kelmarin {
namespace {

using test::Seqs;

class FastqReaderTest : public test::ReaderTest {
  protected:
    Seqs ReadAll() { return ReaderTest::ReadAll(ReadingMode::Fastq); }
};

TEST_F(FastqReaderTest, Records) {
    struct Case {
        std::string bytes;
        std::uint64_t total;
        Seqs seqs;
    };
    const std::vector<Case> cases = {
        // '@' and '+' are quality letters too, also at the start of a quality line.
        {"@r1\r\nACGT\r\n+\r\n@+I#\r\n@r2\r\nGg\r\n+r2\r\n+@\r\n", 2, {"acgt", "gg"}},
        {"@r1\nAC\nGT\n+\nII\n@I\n@r2\nT\n+\n@\n", 2, {"acgt", "t"}},    // multi-line records
        {"\n@r1\nAC\n+\n@@\n\n\r\n\n@r2\nG\n+\n+\n\n", 2, {"ac", "g"}},  // empty lines between
        {"@e\n+\n@r\nCA\n+\nII\n@f\n\n+\n", 3, {"ca"}},  // empty sequences are skipped
        {"@r\nAC\n+\nac", 1, {"ac"}},                    // quality letters are never bases
        {"@r\nA\rC\n+\nI\rI\n\x1A@s\nGG\n", 1, {"ac"}},  // lone CRs dropped; 0x1A ends the file
        {"", 0, {}},
        {"\n\n", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        Bind(c.bytes);
        EXPECT_EQ(reader_.CountSequences(ReadingMode::Fastq), c.total);
        EXPECT_EQ(ReadAll(), c.seqs);
    }
}

TEST_F(FastqReaderTest, MalformedFilesNameTheLineAndWhatWasExpected) {
    const struct {
        std::string bytes, message;
    } cases[] = {
        {"ACGT\n", "line 1: expected '@' at the start of a record"},
        {"@r1\nAC\n+\nII\n\nTT\n", "line 6: expected '@' at the start of a record"},
        {"@r1\nAC\n@r2\nGG\n+\nII\n", "line 3: expected a '+' line before the next record"},
        {"@r1\nAC\n+\nIII\n",
         "line 4: expected a quality as long as its sequence, 2 letters, not 3"},
        {"@r0\nA\n+\nI\n\n@r1\nAC\n+\nI\nII\n",
         "line 10: expected a quality as long as its sequence, 2 letters, not 3"},
        {"@r1\nAC\n", "line 1: the file ends inside this record: expected a '+' line"},
        {"@r1\nACGT\n+\nII\n",
         "line 1: the file ends inside this record: expected 2 more quality letters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        Bind(c.bytes);
        // The counting pass meets the fault before a run begins...
        try {
            reader_.CountSequences(ReadingMode::Fastq);
            ADD_FAILURE() << "the counting pass must fail";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.IoResult(), kIoMalformedFastq);
        }
        // ...and a read without it, as of a file read once, meets it too.
        reader_.Open();
        try {
            ReadAll();
            ADD_FAILURE() << "reading must fail";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST_F(FastqReaderTest, RecordsAcrossRunBufferBoundaries) {
    // More than two run buffers of records of every shape, so that lines of each kind fall
    // across a refill.
    std::mt19937 rng(23);
    std::string bytes;
    Seqs expected;
    while (bytes.size() < 2 * SequenceReader::kRunBufferSize + 1000) {
        std::string seq(1 + rng() % 300, 'A');
        for (char& c : seq) c = "ACGTacgt"[rng() % 8];
        const std::string eol = rng() % 3 ? "\n" : "\r\n";
        bytes += "@read " + std::to_string(expected.size()) + eol;
        for (std::size_t i = 0; i < seq.size(); i += 80) bytes += seq.substr(i, 80) + eol;
        bytes += "+" + eol;
        std::string quality(seq.size(), 'I');
        for (char& c : quality) c = "@+I#!"[rng() % 5];
        for (std::size_t i = 0; i < quality.size(); i += 70) bytes += quality.substr(i, 70) + eol;
        if (rng() % 10 == 0) bytes += eol;
        LowerCaseAscii(seq);
        expected.push_back(seq);
    }
    Bind(bytes);
    EXPECT_EQ(reader_.CountSequences(ReadingMode::Fastq), expected.size());
    EXPECT_EQ(ReadAll(), expected);
}

// A FASTQ text mixing plain four-line records with every shape that must be read line by line,
// and sometimes one fault or an end mark.
std::string MixedFastq(std::mt19937& rng) {
    std::string bytes;
    const int records = 1 + int(rng() % 30);
    const int fault = int(rng() % (2 * records));  // past the records half the time: no fault
    for (int r = 0; r < records; ++r) {
        const unsigned shape = rng() % 12;
        const std::string eol = shape == 1 ? "\r\n" : "\n";
        std::string seq(1 + rng() % (rng() % 4 ? 40 : 300), 'A');
        for (char& c : seq) c = "ACGTacgtN"[rng() % 9];
        std::string quality(seq.size(), 'I');
        // Control bytes and bytes above 0x7F are letters like any other, but for CR and 0x1A.
        for (char& c : quality) c = "@+I#!\t\xFF\x1A"[rng() % (shape == 2 ? 8 : 7)];
        if (r == fault) (rng() % 2 ? quality : seq) += 'G';  // one letter too many somewhere
        if (shape == 4) seq[0] = rng() % 2 ? '@' : '+';
        const std::size_t width = shape == 5 ? 1 + rng() % 30 : seq.size() + 1;  // multi-line
        std::string record = (r == fault && rng() % 3 == 0 ? "r" : "@r") + std::to_string(r) +
                             (shape == 7 ? "\x01\xE9" : "") + eol;
        for (std::size_t i = 0; i < seq.size(); i += width) record += seq.substr(i, width) + eol;
        record += (rng() % 2 ? "+" : "+r" + std::to_string(r)) + eol;
        for (std::size_t i = 0; i < quality.size(); i += width)
            record += quality.substr(i, width) + eol;
        if (shape == 3) record.insert(rng() % record.size(), "\r");  // a lone CR is dropped
        bytes += record;
        if (shape == 6) bytes += rng() % 2 ? "\n" : "\r\n\n";
    }
    if (rng() % 4 == 0) bytes.insert(rng() % bytes.size(), "\x1A");
    if (rng() % 4 == 0) bytes.pop_back();  // the last line without its LF
    return bytes;
}

// Everything a FastqReader makes of a file: the counting pass's total or fault, and the
// sequences read before the reading's fault.
struct Outcome {
    std::string counted;
    Seqs seqs;
    std::string fault;
};

class WholeRecordTest : public ::testing::Test {
  protected:
    void TearDown() override { SetFastPaths(FastPaths::Vector); }

    Outcome Read(FastPaths paths, bool lowerCase, std::vector<char>& buffer) {
        SetFastPaths(paths);
        FastqReader reader(file_);
        Outcome o;
        try {
            Open(reader, buffer);
            o.counted = std::to_string(reader.CountRecords());
        } catch (const EInOutError& e) {
            o.counted = e.what();
        }
        std::string seq;
        try {
            Open(reader, buffer);
            while (reader.ReadRecord(seq, lowerCase)) o.seqs.push_back(seq);
        } catch (const EInOutError& e) {
            o.fault = e.what();
        }
        return o;
    }
    void Open(FastqReader& reader, std::vector<char>& buffer) {
        file_.UseBuffer(buffer.data(), buffer.size());
        file_.OpenInput();
        CheckIo();
        reader.Restart(1);
    }

    test::TempDir dir_;
    LineTextFile file_;
};

TEST_F(WholeRecordTest, RecordsTakenWholeReadAsLineByLine) {
    // Small buffers cut records at every place; the line-by-line reading is the reference.
    std::mt19937 rng(41);
    for (int round = 0; round < 400; ++round) {
        const std::string bytes = MixedFastq(rng);
        std::vector<char> buffer(1 + rng() % (round % 2 ? 200 : 2000));
        SCOPED_TRACE(testing::PrintToString(bytes) + " buffer " + std::to_string(buffer.size()));
        file_.BindName(dir_.Write("seqs", bytes));
        const bool lowerCase = round % 3 == 0;
        const Outcome lines = Read(FastPaths::None, lowerCase, buffer);
        // Found 64 bytes at a step with vector compares, or byte by byte.
        for (const FastPaths paths : {FastPaths::Vector, FastPaths::Plain}) {
            const Outcome whole = Read(paths, lowerCase, buffer);
            EXPECT_EQ(whole.counted, lines.counted);
            EXPECT_EQ(whole.seqs, lines.seqs);
            EXPECT_EQ(whole.fault, lines.fault);
        }
    }
}

TEST(ModeOfContentTest, FirstLinesDecide) {
    const struct {
        std::string head;
        ReadingMode mode;
    } cases[] = {
        {"@r\nAC\n+\nII\n", ReadingMode::Fastq},
        {"@r\r\nAC\r\n+r\r\nII\r\n", ReadingMode::Fastq},
        {"@r\nAC\n+", ReadingMode::Fastq},
        {"@r\nAC\nGG\n+\nIIII\n", ReadingMode::Text},  // a second sequence line is not the rule's
        {"@r\nAC\n", ReadingMode::Text},
        {">s\nAC\n", ReadingMode::Fasta},
        {">s\n@\n+\n", ReadingMode::Fasta},
        {"ACGT\n>s\n", ReadingMode::Text},
        {"", ReadingMode::Text},
    };
    for (const auto& c : cases) EXPECT_EQ(ModeOfContent(c.head), c.mode) << c.head;
}

TEST_F(FastqReaderTest, TheContentIsPeekedWithoutConsumingIt) {
    Bind("@r\nACGT\n+\nIIII\n");
    reader_.Open();
    EXPECT_EQ(reader_.ModeByContent(), ReadingMode::Fastq);
    EXPECT_EQ(ReadAll(), Seqs{"acgt"});
}

}  // namespace
}  // namespace kelmarin
