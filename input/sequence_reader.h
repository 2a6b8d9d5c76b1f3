#pragma once
// Turns the data file into lower-cased sequences: one per line in plain text mode ("testo"),
// one per record in FASTA mode ("fasta"), where any line holding '>' is a header, and one per
// record in FASTQ mode ("fastq", see fastq_reader.h). It also makes the counting pass that tells
// a run how many sequences to expect.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "input/fastq_reader.h"
#include "input/line_text_file.h"
#include "input/reading_mode.h"

namespace kelmarin {

// The reading mode a file's first bytes call for: FASTQ when its first line begins with '@' and
// its third with '+', FASTA when its first byte is '>', plain text otherwise.
ReadingMode ModeOfContent(std::string_view head);

// ASCII A-Z to a-z; every other byte stays as it is.
void LowerCaseAscii(std::string& s);
// bytes as LowerCaseAscii leaves them, written to to (bytes.size() of them), in the same pass
// as the copy; to may be bytes' own place, not another place inside them.
void LowerCaseAscii(std::string_view bytes, char* to);
// Appends bytes (which must not lie in s) to s as LowerCaseAscii leaves them, in the same pass
// as the copy.
void AppendLowerCaseAscii(std::string& s, std::string_view bytes);

// A header line holds '>' anywhere, not only at its start.
bool IsHeaderLine(std::string_view line);

class SequenceReader {
  public:
    static constexpr std::size_t kRunBufferSize = 4'096'000;
    // True when a sequence must be skipped.
    using RejectTest = std::function<bool(std::string_view)>;

    // Reads file, which the caller owns and binds; the run buffer lives as long as the reader.
    explicit SequenceReader(LineTextFile& file);

    // Installs the run buffer, opens the file and counts the sequences to expect; leaves the
    // file open at its first byte. A file that reads only once is opened and not counted: the
    // answer is 0. Raises EInOutError on a file failure.
    std::uint64_t CountSequences(ReadingMode mode);
    // CountSequences in two steps: Open installs the run buffer and opens the file; Count
    // counts from its first byte and opens it again, or counts nothing (0) for a file that
    // reads only once.
    void Open();
    std::uint64_t Count(ReadingMode mode);
    // Of a file just opened, the reading mode its first bytes call for; consumes nothing.
    ReadingMode ModeByContent();

    void ReadTextSequence(std::string& seq);
    void ReadFastaRecord(std::string& seq);
    void ReadFastqRecord(std::string& seq);
    // The next non-empty, not rejected sequence, or an empty one at the end of the file.
    void NextSequence(ReadingMode mode, const RejectTest& reject, std::string& seq);
    // Whether the last sequence read was that empty one: reads of a file cut in parts count it
    // once for the last part alone, as the whole file's reading does.
    bool LastWasEndOfFile() const { return lastWasEnd_; }
    // The next FASTQ records where they lie in the buffer, as written, while all of one is
    // buffered and it has the plainest shape (4 lines): up to most, stopping once they hold
    // bytes or more; how many, the first at seqs[0]. They stay valid until the next read;
    // NextSequence reads the one after them. Neither lower-cased nor tested: reads by the
    // million are taken with no copy of their own.
    std::size_t NextBufferedFastq(std::string_view* seqs, std::size_t most, std::size_t bytes);

    // The last line read in FASTA mode; kept from one run to the next over the same file.
    const std::string& Lookahead() const { return look_; }
    // A newly bound file starts with nothing of the last one.
    void ForgetLookahead() { look_.clear(); }
    // Raises EInOutError when the open file shrank or was replaced since the counting pass:
    // its total, and the sequences read, would belong to different files.
    void CheckFileUnchanged();

  private:
    void ReadNextSequence(ReadingMode mode, const RejectTest& reject, std::string& seq);
    void NextLine(std::string& line);
    bool AtEnd();
    void GatherRecord(std::string& seq);
    void MoveHeaderToLookahead(std::string& seq, std::size_t headerStart);

    LineTextFile& file_;
    FastqReader fastq_{file_};
    std::unique_ptr<char[]> runBuffer_;
    std::string look_;
    bool lastWasEnd_ = false;
    FileIdentity counted_;  // the file the last counting pass read
};

}  // namespace kelmarin
