#pragma once
// Reads FASTQ records from the data file: a header line that begins with '@', one or more
// sequence lines joined, a separator line that begins with '+', and quality lines until their
// total length equals the sequence's. Empty lines between records are skipped. A file that
// breaks this layout raises EInOutError (kIoMalformedFastq) naming the line and what was
// expected. Quality letters are measured, never kept. It filters nothing, and lower-cases only
// when asked: the sequence reader asks, as it lower-cases the other modes' sequences.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/line_text_file.h"

namespace kelmarin {

class FastqReader {
  public:
    explicit FastqReader(LineTextFile& file) : file_(file) {}

    // The file was just opened: its next line is line firstLine.
    void Restart(std::uint64_t firstLine) { line_ = firstLine - 1; }

    // The next record's sequence, as written, or as LowerCaseAscii leaves it with lowerCase
    // (then lowered while it is copied, where it can be); false (and seq empty) when only empty
    // lines were left.
    bool ReadRecord(std::string& seq, bool lowerCase = false);
    // Reads the rest of the file record by record, without keeping sequences: how many there
    // are. Raises as ReadRecord does, so a counted file is a well-formed one.
    std::uint64_t CountRecords();

    // The next records' sequences where they lie in the buffer, as written, while all of a
    // record is buffered and it has the plain shape: a header line, one sequence line, a '+'
    // line and one quality line as long as the sequence, each ending with LF and holding no
    // CR. Up to most of them, stopping once they hold bytes or more; how many, the first at
    // seqs[0]. The sequences stay valid until the next read of the file. The record after them
    // must be read line by line.
    std::size_t WholeRecords(std::string_view* seqs, std::size_t most, std::size_t bytes);

  private:
    // One of WholeRecords, its sequence appended to seq when it is given, lower-cased with
    // lowerCase; false, with nothing read, when the record must be read line by line.
    bool TakeWholeRecord(std::string* seq, bool lowerCase);

    // The steps of a record, in order.
    bool SkipEmptyLines();  // false at the end of the file
    void ReadHeader();
    // Appends the sequence lines to seq when it is given, then reads the separator; the
    // sequence's length.
    std::uint64_t ReadSequenceLines(std::string* seq);
    void ReadQuality(std::uint64_t length);

    int PeekLineStart();
    void SkipLine();
    [[noreturn]] void Malformed(std::uint64_t line, const std::string& expected) const;
    [[noreturn]] void EndsInside(const std::string& expected) const;

    LineTextFile& file_;
    std::uint64_t line_ = 0;        // lines read since the file was opened, counting from firstLine
    std::uint64_t recordLine_ = 0;  // where the record being read began
};

}  // namespace kelmarin
