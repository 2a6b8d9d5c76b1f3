#include "analysis/word_scanner.h"

#include <algorithm>
#include <cstring>

#include "platform/processor.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define KELMARIN_X86 1
#endif

namespace kelmarin {

namespace {

constexpr std::size_t kFilterBytes = WordScanner::kFilterBytes;

// Row start mod 3, column phase: bit b is set when start + b is phase mod 3. An occurrence out
// of frame is skipped without moving the search, so masking the set of all starts keeps the
// same ones.
constexpr std::uint64_t kEvery3 = 0x9249249249249249ULL;  // bits 0, 3, 6, ...
constexpr std::uint64_t kFrameMasks[3][3] = {{kEvery3, kEvery3 << 1, kEvery3 << 2},
                                             {kEvery3 << 2, kEvery3, kEvery3 << 1},
                                             {kEvery3 << 1, kEvery3 << 2, kEvery3}};

// The frame masks of the block at start, or none without in-frame reading.
inline const std::uint64_t* FrameMasks(std::size_t start, bool inFrame) {
    return inFrame ? kFrameMasks[start % 3] : nullptr;
}

// Bits 0 .. count - 1.
std::uint64_t LowBits(std::size_t count) {
    return count >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
}

// Appends the starts base + b for the set bits b of mask. Writes past the count are harmless
// (the buffer has slack), which keeps the common case of few bits free of branches.
inline std::uint64_t* Decode(std::uint64_t mask, std::size_t base, std::uint64_t* out) {
    const int count = __builtin_popcountll(mask);
    for (int i = 0; i < 4; ++i) {
        out[i] = base + std::size_t(__builtin_ctzll(mask | (std::uint64_t(1) << 63)));
        mask &= mask - 1;
    }
    if (count > 4) {
        std::uint64_t* p = out + 4;
        for (; mask; mask &= mask - 1) *p++ = base + std::size_t(__builtin_ctzll(mask));
    }
    return out + count;
}

// One word as the scan sees it.
struct Target {
    std::string_view word;
    const LetterTest* tests;  // nullptr: the bytes exactly
    std::size_t filter;       // letters compared by the vector filter
    std::size_t last;         // one past its last possible start
    unsigned phase;           // in frame: the starts counted, mod 3
    std::uint64_t* out;
    const char* lanes;  // the filter letters, each 32 times
};

// Whether the word's letters from..size - 1 match at s.
template <bool Sets>
inline bool LettersMatch(const Target& t, const char* s, std::size_t from) {
    if constexpr (Sets) {
        for (std::size_t j = from; j < t.word.size(); ++j)
            if (!t.tests[j].Matches(s[j])) return false;
        return true;
    } else {
        return std::memcmp(s + from, t.word.data() + from, t.word.size() - from) == 0;
    }
}

// Keeps the starts of mask (relative to base) whose whole word matches, and writes them out.
// Searching the rest and restarting one after each occurrence finds exactly every start where
// the word matches, overlaps included; that is the set a block's mask tests all at once.
template <bool Sets>
inline void Emit(Target& t, std::uint64_t mask, std::size_t base, const char* s,
                 const std::uint64_t* frame) {
    if (frame) mask &= frame[t.phase];
    if (base + 64 > t.last) mask &= base < t.last ? LowBits(t.last - base) : 0;
    // Most blocks hold no match; decoding an empty mask is cheaper than mispredicting it.
    if (t.filter == t.word.size()) {
        t.out = Decode(mask, base, t.out);
        return;
    }
    for (; mask; mask &= mask - 1) {
        const std::size_t start = base + std::size_t(__builtin_ctzll(mask));
        if (LettersMatch<Sets>(t, s + start, t.filter)) *t.out++ = start;
    }
}

void ScanScalar(std::string_view seq, Target* targets, int count, bool inFrame, std::size_t from,
                std::size_t to) {
    for (int w = 0; w < count; ++w) {
        Target& t = targets[w];
        const std::size_t end = std::min(to, t.last);
        for (std::size_t i = from; i < end; ++i) {
            if (inFrame && i % 3 != t.phase) continue;
            const bool match =
                t.tests ? LettersMatch<true>(t, seq.data() + i, 0)
                        : seq[i] == t.word[0] && LettersMatch<false>(t, seq.data() + i, 0);
            if (match) *t.out++ = i;
        }
    }
}

#if KELMARIN_X86
struct Windows {
    __m256i lo[kFilterBytes], hi[kFilterBytes];
};

// The 64-start windows at block, shifted by 0 .. MaxK - 1 bytes.
template <std::size_t MaxK>
__attribute__((target("avx2"))) inline void LoadWindows(const char* block, Windows& v) {
    for (std::size_t j = 0; j < MaxK; ++j) {
        v.lo[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + j));
        v.hi[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32 + j));
    }
}

// Bit b set where the word's first filter bytes match at start b of the windows.
__attribute__((target("avx2"))) inline std::uint64_t Match(const Windows& v, const __m256i* c,
                                                           std::size_t k) {
    __m256i lo = _mm256_cmpeq_epi8(v.lo[0], c[0]);
    __m256i hi = _mm256_cmpeq_epi8(v.hi[0], c[0]);
    for (std::size_t j = 1; j < k; ++j) {
        lo = _mm256_and_si256(lo, _mm256_cmpeq_epi8(v.lo[j], c[j]));
        hi = _mm256_and_si256(hi, _mm256_cmpeq_epi8(v.hi[j], c[j]));
    }
    return std::uint32_t(_mm256_movemask_epi8(lo)) |
           (std::uint64_t(std::uint32_t(_mm256_movemask_epi8(hi))) << 32);
}

// As LoadWindows and Match, for the first 32 starts of a block only.
template <std::size_t MaxK>
__attribute__((target("avx2"))) inline void LoadLowWindows(const char* block, Windows& v) {
    for (std::size_t j = 0; j < MaxK; ++j)
        v.lo[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + j));
}

__attribute__((target("avx2"))) inline std::uint64_t MatchLow(const Windows& v, const __m256i* c,
                                                              std::size_t k) {
    __m256i lo = _mm256_cmpeq_epi8(v.lo[0], c[0]);
    for (std::size_t j = 1; j < k; ++j) lo = _mm256_and_si256(lo, _mm256_cmpeq_epi8(v.lo[j], c[j]));
    return std::uint32_t(_mm256_movemask_epi8(lo));
}

template <std::size_t MaxK>
__attribute__((target("avx2"))) void ScanAvx2(std::string_view seq, Target* targets, int count,
                                              bool inFrame, std::size_t from, std::size_t to) {
    const char* s = seq.data();
    const __m256i* c[WordScanner::kMaxWords];
    for (int w = 0; w < count; ++w) c[w] = reinterpret_cast<const __m256i*>(targets[w].lanes);
    Windows v{};  // only the first MaxK windows are ever loaded and read
    std::size_t i = from;
    // A block reads bytes up to i + 63 + MaxK - 1, which must lie inside the sequence.
    for (; i + 64 <= to && i + 63 + MaxK <= seq.size(); i += 64) {
        LoadWindows<MaxK>(s + i, v);
        const std::uint64_t* frame = FrameMasks(i, inFrame);
        for (int w = 0; w < count; ++w)
            Emit<false>(targets[w], Match(v, c[w], targets[w].filter), i, s, frame);
    }
    // The last starts: the same compare on padded copies; padding bytes only ever meet starts
    // past a word's last one, which Emit drops.
    for (; i < to; i += 64) {
        alignas(32) char pad[64 + 64] = {};
        std::memcpy(pad, s + i, std::min<std::size_t>(sizeof pad, seq.size() - i));
        const std::uint64_t* frame = FrameMasks(i, inFrame);
        if (to - i <= 32) {  // half a block, as at the end of most short reads
            LoadLowWindows<MaxK>(pad, v);
            for (int w = 0; w < count; ++w)
                Emit<false>(targets[w], MatchLow(v, c[w], targets[w].filter) & LowBits(to - i), i,
                            s, frame);
            continue;
        }
        LoadWindows<MaxK>(pad, v);
        for (int w = 0; w < count; ++w)
            Emit<false>(targets[w], Match(v, c[w], targets[w].filter) & LowBits(to - i), i, s,
                        frame);
    }
}

// The codes of the bytes 0x00 to 0x0F, and those of the IUPAC letters among 0x60 to 0x7F (0 for
// the other bytes there), by their low half.
struct CodeRows {
    alignas(16) std::uint8_t rows[3][16];
};

CodeRows BuildCodeRows() {
    CodeRows c{};
    for (std::size_t lo = 0; lo < 16; ++lo) {
        c.rows[0][lo] = kSequenceCode[lo];
        for (std::size_t r = 1; r <= 2; ++r) {
            const std::uint8_t code = kSequenceCode[0x50 + 16 * r + lo];
            c.rows[r][lo] = code < 16 ? code : 0;
        }
    }
    return c;
}

// The letter codes of n bytes at s (kSequenceCode), 32 at a time: an IUPAC letter's set comes
// from a lookup by its low half for rows 0x60 and 0x70, the bytes below 16 from one for row 0,
// and every other byte stays as it is.
__attribute__((target("avx2"))) void TranslateCodes(const char* s, std::size_t n,
                                                    std::uint8_t* out) {
    static const CodeRows rows = BuildCodeRows();
    __m256i row[3];
    for (int r = 0; r < 3; ++r)
        row[r] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(rows.rows[r])));
    const __m256i row0 = row[0], row6 = row[1], row7 = row[2];
    const __m256i high = _mm256_set1_epi8(char(0xF0)), zero = _mm256_setzero_si256();
    const __m256i six = _mm256_set1_epi8(0x60), seven = _mm256_set1_epi8(0x70);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i h = _mm256_and_si256(x, high);
        const __m256i in0 =
            _mm256_and_si256(_mm256_shuffle_epi8(row0, x), _mm256_cmpeq_epi8(h, zero));
        const __m256i in6 =
            _mm256_and_si256(_mm256_shuffle_epi8(row6, x), _mm256_cmpeq_epi8(h, six));
        const __m256i in7 =
            _mm256_and_si256(_mm256_shuffle_epi8(row7, x), _mm256_cmpeq_epi8(h, seven));
        const __m256i looked = _mm256_or_si256(in0, _mm256_or_si256(in6, in7));
        const __m256i kept = _mm256_and_si256(x, _mm256_cmpeq_epi8(looked, zero));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(looked, kept));
    }
    for (; i < n; ++i) out[i] = SequenceCode(s[i]);
}

// Bit b set where the word's first filter letters match at start b of the code windows.
__attribute__((target("avx2"))) inline std::uint64_t MatchSets(const Windows& v,
                                                               const __m256i* keep,
                                                               const __m256i* want, std::size_t k) {
    __m256i lo = _mm256_cmpeq_epi8(_mm256_and_si256(v.lo[0], keep[0]), want[0]);
    __m256i hi = _mm256_cmpeq_epi8(_mm256_and_si256(v.hi[0], keep[0]), want[0]);
    for (std::size_t j = 1; j < k; ++j) {
        lo = _mm256_and_si256(lo, _mm256_cmpeq_epi8(_mm256_and_si256(v.lo[j], keep[j]), want[j]));
        hi = _mm256_and_si256(hi, _mm256_cmpeq_epi8(_mm256_and_si256(v.hi[j], keep[j]), want[j]));
    }
    return std::uint32_t(_mm256_movemask_epi8(lo)) |
           (std::uint64_t(std::uint32_t(_mm256_movemask_epi8(hi))) << 32);
}

// As ScanAvx2, on the letter codes of the batch's bytes: they are translated once into a
// buffer that also holds the bytes past the batch that its last windows reach, padded.
template <std::size_t MaxK>
__attribute__((target("avx2"))) void ScanSetsAvx2(std::string_view seq, Target* targets, int count,
                                                  bool inFrame, std::size_t from, std::size_t to) {
    alignas(32) std::uint8_t codes[WordScanner::kBatch + 128];
    const std::size_t n = std::min(seq.size() - from, sizeof codes);
    TranslateCodes(seq.data() + from, n, codes);
    std::memset(codes + n, 0, sizeof codes - n);  // only ever meets starts past a word's last
    __m256i keep[WordScanner::kMaxWords][kFilterBytes], want[WordScanner::kMaxWords][kFilterBytes];
    for (int w = 0; w < count; ++w)
        for (std::size_t j = 0; j < targets[w].filter; ++j) {
            keep[w][j] = _mm256_set1_epi8(char(targets[w].tests[j].keep));
            want[w][j] = _mm256_set1_epi8(char(targets[w].tests[j].want));
        }
    Windows v{};
    for (std::size_t i = from; i < to; i += 64) {
        LoadWindows<MaxK>(reinterpret_cast<const char*>(codes + (i - from)), v);
        const std::uint64_t inBatch = LowBits(to - i);
        const std::uint64_t* frame = FrameMasks(i, inFrame);
        for (int w = 0; w < count; ++w)
            Emit<true>(targets[w], MatchSets(v, keep[w], want[w], targets[w].filter) & inBatch, i,
                       seq.data(), frame);
    }
}

template <std::size_t MaxK>
void ScanAvx2Of(bool sets, std::string_view seq, Target* targets, int count, bool inFrame,
                std::size_t from, std::size_t to) {
    if (sets)
        ScanSetsAvx2<MaxK>(seq, targets, count, inFrame, from, to);
    else
        ScanAvx2<MaxK>(seq, targets, count, inFrame, from, to);
}
#endif

void ScanTargets(std::string_view seq, Target* targets, int count, std::size_t maxK, bool inFrame,
                 std::size_t from, std::size_t to) {
#if KELMARIN_X86
    if (UseAvx2()) {
        const bool sets = targets[0].tests != nullptr;
        switch (maxK) {
            case 1:
                return ScanAvx2Of<1>(sets, seq, targets, count, inFrame, from, to);
            case 2:
                return ScanAvx2Of<2>(sets, seq, targets, count, inFrame, from, to);
            case 3:
                return ScanAvx2Of<3>(sets, seq, targets, count, inFrame, from, to);
            default:
                return ScanAvx2Of<4>(sets, seq, targets, count, inFrame, from, to);
        }
    }
#endif
    ScanScalar(seq, targets, count, inFrame, from, to);
}

}  // namespace

WordScanner::Plan::Plan(const Words& words) : words_(words) {
    for (int w = 0; w < kMaxWords; ++w) {
        const std::string_view word = words[std::size_t(w)].bytes;
        if (word.empty()) continue;
        shortest_ = count_ == 0 ? word.size() : std::min(shortest_, word.size());
        for (std::size_t j = 0; j < std::min(word.size(), kFilterBytes); ++j)
            lanes_[std::size_t(count_)][j].fill(word[j]);
        index_[std::size_t(count_++)] = w;
    }
}

WordScanner::Counts WordScanner::Scan(std::string_view seq, const Plan& plan, bool inFrame,
                                      std::size_t from, const Outputs& out) {
    Target targets[kMaxWords];
    int count = 0;
    int index[kMaxWords];
    std::size_t to = from;
    std::size_t maxK = 1;
    for (int p = 0; p < plan.count_; ++p) {
        const int w = plan.index_[std::size_t(p)];
        const Word& word = plan.words_[std::size_t(w)];
        if (word.bytes.size() > seq.size()) continue;
        const std::size_t last = seq.size() - word.bytes.size() + 1;
        if (last <= from) continue;
        const std::size_t filter = std::min(word.bytes.size(), kFilterBytes);
        targets[count] = {word.bytes,
                          word.tests,
                          filter,
                          last,
                          word.phase % 3,
                          out[w],
                          plan.lanes_[std::size_t(p)][0].data()};
        index[count++] = w;
        to = std::max(to, std::min(last, from + kBatch));
        maxK = std::max(maxK, filter);
    }
    Counts found{};
    if (count == 0) return found;
    ScanTargets(seq, targets, count, maxK, inFrame, from, to);
    for (int t = 0; t < count; ++t) found[index[t]] = std::size_t(targets[t].out - out[index[t]]);
    return found;
}

}  // namespace kelmarin
