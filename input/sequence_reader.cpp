#include "input/sequence_reader.h"

#include <array>
#include <new>

#include "input/in_out_error.h"
#include "platform/processor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelmarin {

namespace {

#if defined(__x86_64__)
// LowerCaseAscii from one place to another (or the same), 32 bytes at a step over n >= 32
// bytes; the last step overlaps the one before, which is harmless as lowering is the same
// twice.
__attribute__((target("avx2"))) void LowerCaseAvx2(const char* from, char* to, std::size_t n) {
    // A-Z moved to the bottom of the signed range, so that one compare finds them.
    const __m256i shift = _mm256_set1_epi8(char(0x80 - 'A'));
    const __m256i top = _mm256_set1_epi8(char(0x80 - 'A' + 'Z' + 1 - 0x100));
    const __m256i bit = _mm256_set1_epi8(0x20);
    const auto lowered = [&](std::size_t at) __attribute__((target("avx2"))) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + at));
        return _mm256_add_epi8(
            v, _mm256_and_si256(_mm256_cmpgt_epi8(top, _mm256_add_epi8(v, shift)), bit));
    };
    // The last step is read first: in place, reading it after the writes it overlaps would
    // wait for them.
    const __m256i last = lowered(n - 32);
    for (std::size_t at = 0; at + 32 < n; at += 32)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + at), lowered(at));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + n - 32), last);
}
#endif

// Branch-free so that the compiler vectorises the loops that use it.
char LowerAscii(char c) { return char(c + ((static_cast<unsigned char>(c - 'A') < 26u) << 5)); }

}  // namespace

void LowerCaseAscii(std::string& s) { LowerCaseAscii(s, s.data()); }

void LowerCaseAscii(std::string_view bytes, char* to) {
#if defined(__x86_64__)
    if (UseAvx2() && bytes.size() >= 32) return LowerCaseAvx2(bytes.data(), to, bytes.size());
#endif
    for (const char c : bytes) *to++ = LowerAscii(c);
}

void AppendLowerCaseAscii(std::string& s, std::string_view bytes) {
    const std::size_t at = s.size();
    s.resize(at + bytes.size());
    LowerCaseAscii(bytes, s.data() + at);
}

bool IsHeaderLine(std::string_view line) {
    // Inline rather than memchr: sequence lines are short and a call costs more than the scan.
    const char* p = line.data();
    const char* end = p + line.size();
#if defined(__SSE2__)
    const __m128i gt = _mm_set1_epi8('>');
    if (UseVectors())
        for (; end - p >= 16; p += 16)
            if (_mm_movemask_epi8(
                    _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), gt)))
                return true;
#endif
    for (; p < end; ++p)
        if (*p == '>') return true;
    return false;
}

SequenceReader::SequenceReader(LineTextFile& file)
    : file_(file), runBuffer_(new char[kRunBufferSize]) {}

void SequenceReader::NextLine(std::string& line) {
    file_.NextLine(line);
    CheckIo();
}

bool SequenceReader::AtEnd() {
    const bool end = file_.AtEnd();
    CheckIo();
    return end;
}

ReadingMode ModeOfContent(std::string_view head) {
    if (!head.empty() && head[0] == '>') return ReadingMode::Fasta;
    // The first byte of each of the first three lines' text (lone CRs are dropped).
    std::array<int, 3> starts{-1, -1, -1};
    std::size_t p = 0;
    for (int& start : starts) {
        while (p < head.size() && head[p] == '\r') ++p;
        if (p == head.size()) break;
        start = static_cast<unsigned char>(head[p]);
        const std::size_t lf = head.find('\n', p);
        if (lf == std::string_view::npos) break;
        p = lf + 1;
    }
    return starts[0] == '@' && starts[2] == '+' ? ReadingMode::Fastq : ReadingMode::Text;
}

std::uint64_t SequenceReader::CountSequences(ReadingMode mode) {
    Open();
    return Count(mode);
}

void SequenceReader::Open() {
    file_.UseBuffer(runBuffer_.get(), kRunBufferSize);
    file_.OpenInput();
    CheckIo();
    counted_ = file_.Identity();
    fastq_.Restart(file_.FirstLine());
}

ReadingMode SequenceReader::ModeByContent() {
    const std::string_view head = file_.PeekContent(kRunBufferSize);
    CheckIo();
    return ModeOfContent(head);
}

std::uint64_t SequenceReader::Count(ReadingMode mode) {
    if (file_.ReadsOnce()) return 0;  // a pipe cannot be read again: no count, no expected total
    // Every line counts in plain text mode, header lines in FASTA mode, records in FASTQ mode.
    const std::uint64_t total = mode == ReadingMode::Fasta   ? file_.CountLinesHolding('>')
                                : mode == ReadingMode::Fastq ? fastq_.CountRecords()
                                                             : file_.CountLines();
    CheckIo();
    file_.OpenInput();
    CheckIo();
    fastq_.Restart(file_.FirstLine());
    return total;
}

void SequenceReader::CheckFileUnchanged() {
    file_.CheckSameFile(counted_);
    CheckIo();
}

void SequenceReader::ReadTextSequence(std::string& seq) {
    NextLine(seq);
    LowerCaseAscii(seq);
}

void SequenceReader::ReadFastaRecord(std::string& seq) {
    seq.clear();
    while (!AtEnd() && !IsHeaderLine(look_)) NextLine(look_);
    // The header itself is dropped: no part of it enters a sequence.
    if (!AtEnd()) NextLine(look_);
    if (!IsHeaderLine(look_)) GatherRecord(seq);
    LowerCaseAscii(seq);
}

void SequenceReader::ReadFastqRecord(std::string& seq) { fastq_.ReadRecord(seq, true); }

std::size_t SequenceReader::NextBufferedFastq(std::string_view* seqs, std::size_t most,
                                              std::size_t bytes) {
    const std::size_t n = fastq_.WholeRecords(seqs, most, bytes);
    if (n > 0) lastWasEnd_ = false;
    return n;
}

void SequenceReader::GatherRecord(std::string& seq) {
    // Lines are read straight into the record; the last line read goes to the lookahead line
    // when the record ends, or when a read fails, which leaves the part read before it.
    seq = look_;
    std::size_t lineStart = 0;
    bool readAny = false;
    bool header = false;
    try {
        while (!header && !AtEnd()) {
            readAny = true;
            lineStart = seq.size();
            header = file_.AppendLineFinding(seq, '>');
            CheckIo();
        }
    } catch (...) {
        if (readAny) look_.assign(seq, lineStart);
        throw;
    }
    if (!readAny) return;  // look_ is still the last line read
    if (header)
        MoveHeaderToLookahead(seq, lineStart);
    else
        look_.assign(seq, lineStart);
}

void SequenceReader::MoveHeaderToLookahead(std::string& seq, std::size_t headerStart) {
    // A header may be far longer than its record, or the reverse: only the shorter of the two
    // is copied, so that a long header is not held twice.
    if (headerStart > seq.size() - headerStart) {
        look_.assign(seq, headerStart);
        seq.resize(headerStart);
        return;
    }
    std::string record(seq, 0, headerStart);
    seq.erase(0, headerStart);
    look_.swap(seq);
    seq.swap(record);
}

void SequenceReader::NextSequence(ReadingMode mode, const RejectTest& reject, std::string& seq) {
    try {
        ReadNextSequence(mode, reject, seq);
        lastWasEnd_ = seq.empty();
    } catch (const std::bad_alloc&) {
        // Only a sequence grows without bound: say how much of it was held.
        throw EInOutError(kIoSequenceTooLarge, "out of memory: a sequence of more than " +
                                                   std::to_string(seq.size()) +
                                                   " bytes could not be held");
    }
}

void SequenceReader::ReadNextSequence(ReadingMode mode, const RejectTest& reject,
                                      std::string& seq) {
    do {
        if (mode == ReadingMode::Fasta)
            ReadFastaRecord(seq);
        else if (mode == ReadingMode::Fastq)
            ReadFastqRecord(seq);
        else if (mode == ReadingMode::Text)
            ReadTextSequence(seq);
        else {
            seq.clear();  // no reading mode chosen: nothing to read
            return;
        }
        if (reject && reject(seq)) seq.clear();
        if (!seq.empty()) return;
    } while (!AtEnd());
    seq.clear();
}

}  // namespace kelmarin
