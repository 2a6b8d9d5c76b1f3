#pragma once
// A plain, slow model of reading and counting, written straight from the rules and sharing no
// code with the program: line ends and the end mark, the counting pass, plain text lines,
// FASTA records with the lookahead line, FASTQ records and the line of their first fault, the
// stop codon filter and the word profile. The fuzz targets compare the program with it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelmarin::model {

// The file's bytes as the line rules see them: everything from a 0x1A on is never read.
class LineFile {
  public:
    explicit LineFile(std::string bytes);
    bool AtEnd() const { return pos_ >= end_; }
    std::string NextLine();  // the rest of the line without its end, then the end consumed

  private:
    std::string bytes_;
    std::size_t pos_ = 0;
    std::size_t end_;
};

void LowerCase(std::string& s);
bool IsHeader(const std::string& line);
bool HasStopCodon(const std::string& seq);

enum class Mode { Text, Fasta, Fastq };

// The reader over one file, for one run; the lookahead line belongs to the caller, since it
// carries over from one run to the next.
class Reader {
  public:
    Reader(std::string bytes, Mode mode, std::string& look);
    std::uint64_t ExpectedTotal() const { return total_; }
    // FASTQ only: the line of the file's first fault, 0 when it has none. The counting pass
    // meets it, so a run of such a file fails before it starts.
    std::uint64_t FaultLine() const { return fault_; }
    bool AtEnd() const { return file_.AtEnd(); }
    std::string NextSequence(bool rejectStop);

  private:
    std::string ReadFastaRecord();
    // Whether a record came (its sequence in seq); false at the end, or at a fault, whose line
    // goes to fault_.
    bool ReadFastqRecord(LineFile& file, std::uint64_t& line, std::string& seq);

    LineFile file_;
    Mode mode_;
    std::string& look_;
    std::uint64_t total_ = 0;
    std::uint64_t fault_ = 0;
    std::uint64_t line_ = 0;  // FASTQ: lines read by the run
};

using Row = std::array<std::uint64_t, 100>;
using Profile = std::array<Row, 4>;
using Words = std::array<std::string, 4>;

// Word letters as IUPAC codes; words also looked for on the reverse strand.
struct Matching {
    bool iupac = false;
    bool bothStrands = false;
};

// Adds one sequence's occurrences to the profile. An occurrence whose percentage rounds to 0
// counts in bucket 1, as the program chose. The reverse strand is the sequence reversed and
// complemented, searched as the sequence is.
void CountSequence(Profile& profile, const std::string& seq, const Words& words, bool inFrame,
                   Matching matching = {});

}  // namespace kelmarin::model
