#include "analysis/word_scanner.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define KELMARIN_X86 1
#endif

namespace kelmarin {

namespace {

// How many of a word's bytes the vector filter compares.
constexpr std::size_t kFilterBytes = 4;

// Bit b of the mask is set when start + b is a multiple of 3. An occurrence out of frame is
// skipped without moving the search, so masking the set of all starts keeps the same ones.
std::uint64_t FrameMask(std::size_t start) {
    static constexpr std::uint64_t kEvery3 = 0x9249249249249249ULL;  // bits 0, 3, 6, ...
    return kEvery3 << ((3 - start % 3) % 3);
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
    std::size_t filter;  // bytes compared by the vector filter
    std::size_t last;    // one past its last possible start
    std::uint64_t* out;
};

// Keeps the starts of mask (relative to base) whose whole word matches, and writes them out.
// Searching the rest and restarting one after each occurrence finds exactly every start where
// the word matches, overlaps included; that is the set a block's mask tests all at once.
inline void Emit(Target& t, std::uint64_t mask, std::size_t base, const char* s, bool inFrame) {
    if (inFrame) mask &= FrameMask(base);
    if (base + 64 > t.last) mask &= base < t.last ? LowBits(t.last - base) : 0;
    // Most blocks hold no match; decoding an empty mask is cheaper than mispredicting it.
    if (t.filter == t.word.size()) {
        t.out = Decode(mask, base, t.out);
        return;
    }
    const std::size_t rest = t.word.size() - t.filter;
    for (; mask; mask &= mask - 1) {
        const std::size_t start = base + std::size_t(__builtin_ctzll(mask));
        if (std::memcmp(s + start + t.filter, t.word.data() + t.filter, rest) == 0)
            *t.out++ = start;
    }
}

void ScanScalar(std::string_view seq, Target* targets, int count, bool inFrame, std::size_t from,
                std::size_t to) {
    for (int w = 0; w < count; ++w) {
        Target& t = targets[w];
        const std::size_t end = std::min(to, t.last);
        for (std::size_t i = from; i < end; ++i) {
            if (inFrame && i % 3 != 0) continue;
            if (seq[i] == t.word[0] &&
                std::memcmp(seq.data() + i, t.word.data(), t.word.size()) == 0)
                *t.out++ = i;
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

template <std::size_t MaxK>
__attribute__((target("avx2"))) void ScanAvx2(std::string_view seq, Target* targets, int count,
                                              bool inFrame, std::size_t from, std::size_t to) {
    const char* s = seq.data();
    __m256i c[WordScanner::kMaxWords][kFilterBytes];
    for (int w = 0; w < count; ++w)
        for (std::size_t j = 0; j < targets[w].filter; ++j)
            c[w][j] = _mm256_set1_epi8(targets[w].word[j]);
    Windows v{};  // only the first MaxK windows are ever loaded and read
    std::size_t i = from;
    // A block reads bytes up to i + 63 + MaxK - 1, which must lie inside the sequence.
    for (; i + 64 <= to && i + 63 + MaxK <= seq.size(); i += 64) {
        LoadWindows<MaxK>(s + i, v);
        for (int w = 0; w < count; ++w)
            Emit(targets[w], Match(v, c[w], targets[w].filter), i, s, inFrame);
    }
    // The last starts: the same compare on padded copies; padding bytes only ever meet starts
    // past a word's last one, which Emit drops.
    for (; i < to; i += 64) {
        alignas(32) char pad[64 + 64] = {};
        std::memcpy(pad, s + i, std::min<std::size_t>(sizeof pad, seq.size() - i));
        LoadWindows<MaxK>(pad, v);
        for (int w = 0; w < count; ++w)
            Emit(targets[w], Match(v, c[w], targets[w].filter) & LowBits(to - i), i, s, inFrame);
    }
}
#endif

bool CpuHasAvx2() {
#if KELMARIN_X86
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool useAvx2 = CpuHasAvx2();

void ScanTargets(std::string_view seq, Target* targets, int count, bool inFrame, std::size_t from,
                 std::size_t to) {
#if KELMARIN_X86
    if (useAvx2) {
        std::size_t maxK = 1;
        for (int w = 0; w < count; ++w) maxK = std::max(maxK, targets[w].filter);
        switch (maxK) {
            case 1:
                return ScanAvx2<1>(seq, targets, count, inFrame, from, to);
            case 2:
                return ScanAvx2<2>(seq, targets, count, inFrame, from, to);
            case 3:
                return ScanAvx2<3>(seq, targets, count, inFrame, from, to);
            default:
                return ScanAvx2<4>(seq, targets, count, inFrame, from, to);
        }
    }
#endif
    ScanScalar(seq, targets, count, inFrame, from, to);
}

}  // namespace

void WordScanner::AllowVectorScan(bool allow) { useAvx2 = allow && CpuHasAvx2(); }

WordScanner::Counts WordScanner::Scan(std::string_view seq, const Words& words, bool inFrame,
                                      std::size_t from, const Outputs& out) {
    Target targets[kMaxWords];
    int count = 0;
    int index[kMaxWords];
    std::size_t to = from;
    for (int w = 0; w < kMaxWords; ++w) {
        const std::string_view word = words[w];
        if (word.empty() || word.size() > seq.size()) continue;
        const std::size_t last = seq.size() - word.size() + 1;
        if (last <= from) continue;
        targets[count] = {word, std::min(word.size(), kFilterBytes), last, out[w]};
        index[count++] = w;
        to = std::max(to, std::min(last, from + kBatch));
    }
    Counts found{};
    if (count == 0) return found;
    ScanTargets(seq, targets, count, inFrame, from, to);
    for (int t = 0; t < count; ++t) found[index[t]] = std::size_t(targets[t].out - out[index[t]]);
    return found;
}

}  // namespace kelmarin
