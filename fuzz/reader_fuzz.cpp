// Reads fuzzed files as the run does, in plain text, FASTA and FASTQ mode, with the stop codon
// filter, in-frame reading, IUPAC codes and both strands on or off, through the full run buffer
// or a small one, and with a run stopped part way followed by another; every sequence, total,
// profile and lookahead line must equal the plain model's, and a malformed FASTQ file must fail
// at the model's line.
//
// Input: flags, small buffer size, sequences before the stop (its bits 6 and 7: FASTQ for the
// first and the second run), four words (a length byte then its bytes; the first length byte's
// top bits: 0x40 IUPAC codes, 0x80 both strands), the first file's length (2 bytes,
// little-endian), the first file, the second.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/stop_codon.h"
#include "analysis/word_profile.h"
#include "fuzz/reading_model.h"
#include "input/in_out_error.h"
#include "input/line_text_file.h"
#include "input/sequence_reader.h"

namespace kelmarin {
namespace {

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    std::uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
    std::string Bytes(std::size_t n) {
        n = std::min(n, std::size_t(end_ - p_));
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    std::string Rest() { return Bytes(std::size_t(end_ - p_)); }

  private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

// A file in memory with a name that open() takes.
class MemoryFile {
  public:
    explicit MemoryFile(const char* tag) : fd_(memfd_create(tag, 0)) {
        if (fd_ < 0) std::abort();
        name_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    const std::string& Write(const std::string& bytes) {
        if (ftruncate(fd_, 0) != 0 ||
            pwrite(fd_, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
            std::abort();
        return name_;
    }

  private:
    int fd_;
    std::string name_;
};

// Content that begins with the gzip magic is read as what it inflates to, which the model does
// not know; the gzip target covers it.
std::string PlainBytes(std::string bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b') bytes[0] = '>';
    return bytes;
}

struct RunSetup {
    std::string bytes;
    model::Mode mode;
    bool rejectStop, inFrame, rebind;
    std::size_t stopAfter;  // 0: the run goes to the end of the file
};

struct Context {
    const std::string* bytes;
    int run;
};

void Mismatch(const Context& c, const std::string& what, const std::string& got,
              const std::string& expected) {
    std::fprintf(stderr,
                 "MISMATCH in run %d over %zu bytes: %s\n  program: '%s'\n  model:   '%s'\n", c.run,
                 c.bytes->size(), what.c_str(), got.c_str(), expected.c_str());
    std::abort();
}

void Expect(const Context& c, const std::string& what, const std::string& got,
            const std::string& expected) {
    if (got != expected) Mismatch(c, what, got, expected);
}

void ExpectCount(const Context& c, const std::string& what, std::uint64_t got,
                 std::uint64_t expected) {
    if (got != expected) Mismatch(c, what, std::to_string(got), std::to_string(expected));
}

// The counting pass, which meets a malformed FASTQ file's first fault: false when it did, at
// the model's line.
bool CountingPass(const Context& c, SequenceReader& reader, ReadingMode mode,
                  const model::Reader& m, std::uint64_t& total) {
    try {
        total = reader.CountSequences(mode);
    } catch (const EInOutError& e) {
        const std::string expected = "line " + std::to_string(m.FaultLine()) + ":";
        if (m.FaultLine() == 0 || std::string(e.what()).rfind(expected, 0) != 0)
            Mismatch(c, "counting pass", e.what(), m.FaultLine() ? expected : "no fault");
        return false;
    }
    if (m.FaultLine() != 0) Mismatch(c, "counting pass", "no fault", std::to_string(m.FaultLine()));
    return true;
}

// Whether the run went on after its counting pass.
bool Run(int number, const RunSetup& s, const std::string& name, const model::Words& words,
         model::Matching matching, LineTextFile& file, SequenceReader& reader,
         std::string& modelLook, std::vector<char>& smallBuffer) {
    const Context c{&s.bytes, number};
    const ReadingMode mode = s.mode == model::Mode::Fastq   ? ReadingMode::Fastq
                             : s.mode == model::Mode::Fasta ? ReadingMode::Fasta
                                                            : ReadingMode::Text;
    if (s.rebind) file.BindName(name);
    model::Reader m(s.bytes, s.mode, modelLook);
    std::uint64_t total = 0;
    if (!CountingPass(c, reader, mode, m, total)) return false;
    ExpectCount(c, "expected total", total, m.ExpectedTotal());
    if (!smallBuffer.empty()) {
        // The counting pass and the run again through a buffer smaller than many lines.
        file.UseBuffer(smallBuffer.data(), smallBuffer.size());
        file.OpenInput();
        CheckIo();
        const std::uint64_t lines = s.mode == model::Mode::Fastq   ? reader.Count(mode)
                                    : s.mode == model::Mode::Fasta ? file.CountLinesHolding('>')
                                                                   : file.CountLines();
        CheckIo();
        ExpectCount(c, "expected total, small buffer", lines, m.ExpectedTotal());
        file.OpenInput();
        CheckIo();
    }

    WordProfile profile;
    profile.ClearProfile();
    model::Profile modelProfile{};
    const WordProfile::Words programWords = {words[0], words[1], words[2], words[3]};
    const SequenceReader::RejectTest reject = [&](std::string_view seq) {
        return s.rejectStop && HasStopCodon(seq);
    };
    std::string seq;
    SequenceBatch batch;
    for (std::size_t processed = 1;; ++processed) {
        reader.NextSequence(mode, reject, seq);
        const std::string expected = m.NextSequence(s.rejectStop);
        Expect(c, "sequence " + std::to_string(processed), seq, expected);
        batch.Add(seq, s.inFrame);  // counted together, as a run counts them
        model::CountSequence(modelProfile, expected, words, s.inFrame, matching);
        if (processed == s.stopAfter) break;  // stopped: the file stays open
        const bool atEnd = file.AtEnd();
        CheckIo();
        ExpectCount(c, "end of file after sequence " + std::to_string(processed), atEnd, m.AtEnd());
        if (atEnd) {
            file.CloseInput();
            CheckIo();
            break;
        }
    }
    profile.CountBatch(batch, programWords, {matching.iupac, matching.bothStrands});
    for (int r = 1; r <= WordProfile::kRows; ++r)
        for (int b = 1; b <= WordProfile::kBuckets; ++b)
            ExpectCount(c, "word '" + words[r - 1] + "' bucket " + std::to_string(b),
                        profile.ProfileRow(r)[b - 1], modelProfile[r - 1][b - 1]);
    Expect(c, "lookahead line", reader.Lookahead(), modelLook);
    return true;
}

}  // namespace
}  // namespace kelmarin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmarin;
    static MemoryFile fileA("a");
    static MemoryFile fileB("b");
    Input in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::size_t smallSize = std::size_t(in.Byte()) + 1;
    const std::uint8_t stopByte = in.Byte();
    const std::size_t stopAfter = stopByte & 0x3F;
    model::Words words;
    model::Matching matching;
    for (std::string& w : words) {
        // The first word's length byte also says how words match, from its top bits.
        const std::uint8_t length = in.Byte();
        if (&w == &words[0]) matching = {bool(length & 0x40), bool(length & 0x80)};
        // Mostly nucleotides (or IUPAC codes), so that words occur; any byte from 0xC0 up
        // stands for itself.
        const char* letters = matching.iupac ? "acgturyswkmbdhvn" : "acgt";
        for (char ch : in.Bytes(length % 5))
            w +=
                static_cast<std::uint8_t>(ch) < 0xC0 ? letters[ch & (matching.iupac ? 15 : 3)] : ch;
        model::LowerCase(w);  // as the run takes its words
    }
    const std::size_t lengthA = in.Byte() | std::size_t(in.Byte()) << 8;
    const auto modeOf = [](bool fastq, bool fasta) {
        return fastq ? model::Mode::Fastq : fasta ? model::Mode::Fasta : model::Mode::Text;
    };
    RunSetup first{PlainBytes(in.Bytes(lengthA)),
                   modeOf(stopByte & 0x40, flags & 1),
                   bool(flags & 2),
                   bool(flags & 4),
                   true,
                   stopAfter};
    RunSetup second = first;
    second.stopAfter = 0;
    second.inFrame = flags & 0x40;
    second.rejectStop = flags & 0x80;
    if (flags & 0x10) {  // the next run is over another file, in its own mode
        second.bytes = PlainBytes(in.Rest());
        second.mode = modeOf(stopByte & 0x80, flags & 0x20);
    } else {
        second.rebind = false;
    }

    LineTextFile file;
    SequenceReader reader(file);
    std::string modelLook;
    std::vector<char> smallBuffer(flags & 8 ? smallSize : 0);
    const bool ran = Run(1, first, fileA.Write(first.bytes), words, matching, file, reader,
                         modelLook, smallBuffer);
    if (ran && first.stopAfter != 0) {
        const std::string& name = second.rebind ? fileB.Write(second.bytes) : std::string();
        Run(2, second, name, words, matching, file, reader, modelLook, smallBuffer);
    }
    return 0;
}
