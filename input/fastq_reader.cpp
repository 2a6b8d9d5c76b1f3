#include "input/fastq_reader.h"

#include <cstdint>

#include "input/in_out_error.h"
#include "input/sequence_reader.h"
#include "platform/processor.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelmarin {

namespace {

// Where a whole record lies in the buffered bytes.
struct WholeRecord {
    const char* seq = nullptr;
    std::size_t length = 0;  // of the sequence
    std::size_t size = 0;    // of the record, its last LF included
};

// The LF that ends the line beginning at p; nullptr when a CR or the end mark 0x1A (past which
// nothing is read) comes first, or when fewer than 64 bytes are left before end, so that both
// searches stop alike.
inline const char* LineLfPlain(const char* p, const char* end) {
    for (; end - p >= 64; p += 64)
        for (const char* c = p; c < p + 64; ++c) {
            if (*c == '\n') return c;
            if (*c == '\r' || *c == 0x1A) return nullptr;
        }
    return nullptr;
}

#if defined(__x86_64__)

// LineLfPlain 64 bytes at a step: one compare finds every byte below 0x20 or above 0x7F; only
// those are looked at.
__attribute__((target("avx2"))) inline const char* LineLfAvx2(const char* p, const char* end) {
    const __m256i space = _mm256_set1_epi8(0x20);
    const auto below = [&](const char* at) __attribute__((target("avx2"))) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        return std::uint64_t(std::uint32_t(_mm256_movemask_epi8(_mm256_cmpgt_epi8(space, v))));
    };
    for (; end - p >= 64; p += 64) {
        std::uint64_t m = below(p) | below(p + 32) << 32;
        for (; m; m &= m - 1) {
            const char* c = p + __builtin_ctzll(m);
            if (*c == '\n') return c;
            if (*c == '\r' || *c == 0x1A) return nullptr;
        }
    }
    return nullptr;
}

#endif

// Where the record that begins at p lies, when [p, end) holds all of it in the plain shape.
// The quality is looked at only for stops: a quality line of the sequence's length ends
// exactly where its LF is.
template <const char* (*LineLf)(const char*, const char*)>
__attribute__((always_inline)) inline bool FindWholeRecord(const char* p, const char* end,
                                                           WholeRecord& r) {
    if (p == end || *p != '@') return false;
    const char* header = LineLf(p, end);
    if (!header) return false;
    const char* seq = header + 1;
    // A sequence line that begins with '+' or '@' is no sequence line: line by line tells why.
    if (seq == end || *seq == '+' || *seq == '@') return false;
    const char* seqEnd = LineLf(seq, end);
    if (!seqEnd || seqEnd == seq || end - seqEnd < 3 || seqEnd[1] != '+') return false;
    // The separator is mostly a bare '+'.
    const char* plusEnd = seqEnd[2] == '\n' ? seqEnd + 2 : LineLf(seqEnd + 1, end);
    if (!plusEnd) return false;
    const char* quality = plusEnd + 1;
    const std::size_t length = std::size_t(seqEnd - seq);
    if (std::size_t(end - quality) <= length || LineLf(quality, end) != quality + length)
        return false;
    r = {seq, length, std::size_t(quality + length + 1 - p)};
    return true;
}

// Lists the whole records from p on, as FastqReader::WholeRecords: the end of those taken.
// Inlined into each caller, so that the AVX2 search is inlined where the processor allows it and
// the plain one is compiled for any processor.
template <const char* (*LineLf)(const char*, const char*)>
__attribute__((always_inline)) inline const char* ListWholeRecords(const char* p, const char* end,
                                                                   std::string_view* seqs,
                                                                   std::size_t most,
                                                                   std::size_t bytes,
                                                                   std::size_t& n) {
    std::size_t held = 0;
    for (WholeRecord r; n < most && held < bytes && FindWholeRecord<LineLf>(p, end, r);
         p += r.size) {
        seqs[n++] = {r.seq, r.length};
        held += r.length;
    }
    return p;
}

const char* ListWholeRecordsPlain(const char* p, const char* end, std::string_view* seqs,
                                  std::size_t most, std::size_t bytes, std::size_t& n) {
    return ListWholeRecords<LineLfPlain>(p, end, seqs, most, bytes, n);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) const char* ListWholeRecordsAvx2(const char* p, const char* end,
                                                                 std::string_view* seqs,
                                                                 std::size_t most,
                                                                 std::size_t bytes,
                                                                 std::size_t& n) {
    return ListWholeRecords<LineLfAvx2>(p, end, seqs, most, bytes, n);
}
#endif

}  // namespace

std::size_t FastqReader::WholeRecords(std::string_view* seqs, std::size_t most, std::size_t bytes) {
    if (!TakeWholeRecords()) return 0;
    const std::string_view buffered = file_.BufferedBytes();
    const char* end = buffered.data() + buffered.size();
    std::size_t n = 0;
#if defined(__x86_64__)
    const char* p = UseAvx2() ? ListWholeRecordsAvx2(buffered.data(), end, seqs, most, bytes, n)
                              : ListWholeRecordsPlain(buffered.data(), end, seqs, most, bytes, n);
#else
    const char* p = ListWholeRecordsPlain(buffered.data(), end, seqs, most, bytes, n);
#endif
    if (n == 0) return 0;
    file_.Consume(std::size_t(p - buffered.data()));
    line_ += 4 * n;
    recordLine_ = line_ - 3;
    return n;
}

bool FastqReader::TakeWholeRecord(std::string* seq, bool lowerCase) {
    std::string_view whole;
    if (WholeRecords(&whole, 1, 1) == 0) return false;
    if (seq && lowerCase)
        AppendLowerCaseAscii(*seq, whole);
    else if (seq)
        seq->append(whole);
    return true;
}

int FastqReader::PeekLineStart() {
    const int c = file_.PeekLineStart();
    CheckIo();
    return c;
}

void FastqReader::Malformed(std::uint64_t line, const std::string& expected) const {
    throw EInOutError(kIoMalformedFastq, "line " + std::to_string(line) + ": " + expected);
}

void FastqReader::EndsInside(const std::string& expected) const {
    Malformed(recordLine_, "the file ends inside this record: expected " + expected);
}

bool FastqReader::ReadRecord(std::string& seq, bool lowerCase) {
    seq.clear();
    if (!SkipEmptyLines()) return false;
    if (TakeWholeRecord(&seq, lowerCase)) return true;
    ReadHeader();
    ReadQuality(ReadSequenceLines(&seq));
    if (lowerCase) LowerCaseAscii(seq);
    return true;
}

std::uint64_t FastqReader::CountRecords() {
    std::uint64_t records = 0;
    while (SkipEmptyLines()) {
        if (TakeWholeRecord(nullptr, false)) {
            ++records;
            continue;
        }
        ReadHeader();
        ReadQuality(ReadSequenceLines(nullptr));
        ++records;
    }
    return records;
}

void FastqReader::SkipLine() {
    file_.SkipLine();
    CheckIo();
    ++line_;
}

bool FastqReader::SkipEmptyLines() {
    for (;;) {
        const int c = PeekLineStart();
        if (c != '\n') return c >= 0;
        SkipLine();
    }
}

void FastqReader::ReadHeader() {
    recordLine_ = line_ + 1;
    if (PeekLineStart() != '@') Malformed(recordLine_, "expected '@' at the start of a record");
    SkipLine();
}

std::uint64_t FastqReader::ReadSequenceLines(std::string* seq) {
    std::uint64_t length = 0;
    for (;;) {
        const int c = PeekLineStart();
        if (c < 0) EndsInside("a '+' line");
        if (c == '+') break;
        if (c == '@') Malformed(line_ + 1, "expected a '+' line before the next record");
        if (seq) {
            const std::size_t before = seq->size();
            file_.AppendLine(*seq);
            length += seq->size() - before;
        } else {
            length += file_.SkipLineMeasuring();
        }
        CheckIo();
        ++line_;
    }
    SkipLine();  // the separator: what follows its '+' is not read
    return length;
}

void FastqReader::ReadQuality(std::uint64_t length) {
    std::uint64_t quality = 0;
    while (quality < length) {
        if (PeekLineStart() < 0)
            EndsInside(std::to_string(length - quality) + " more quality letters");
        quality += file_.SkipLineMeasuring();
        CheckIo();
        ++line_;
        if (quality > length)
            Malformed(line_, "expected a quality as long as its sequence, " +
                                 std::to_string(length) + " letters, not " +
                                 std::to_string(quality));
    }
}

}  // namespace kelmarin
