#include "analysis/word_scanner.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define KELMARIN_X86 1
#endif

namespace kelmarin {

namespace {

// Bit b of the mask is set when start + b is a multiple of 3.
std::uint64_t FrameMask(std::size_t start) {
    static constexpr std::uint64_t kEvery3 = 0x9249249249249249ULL;  // bits 0, 3, 6, ...
    return kEvery3 << ((3 - start % 3) % 3);
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

std::size_t ScanScalar(std::string_view seq, std::string_view word, bool inFrame,
                       std::size_t from, std::size_t to, std::uint64_t* out) {
    std::uint64_t* p = out;
    for (std::size_t i = from; i < to; ++i) {
        if (inFrame && i % 3 != 0) continue;
        if (seq[i] == word[0] && std::memcmp(seq.data() + i, word.data(), word.size()) == 0)
            *p++ = i;
    }
    return std::size_t(p - out);
}

#if KELMARIN_X86
// K is how many of the word's bytes the vector filter compares (1 to 4); longer words are
// confirmed byte by byte where the filter matches.
// Compares 64 starts at block with the word's first K bytes: bit b is set where they match.
template <int K>
__attribute__((target("avx2"))) std::uint64_t MatchBlock(const char* block, const __m256i* w) {
    __m256i lo = _mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)block), w[0]);
    __m256i hi = _mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)(block + 32)), w[0]);
    for (int j = 1; j < K; ++j) {
        lo = _mm256_and_si256(lo, _mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)(block + j)), w[j]));
        hi = _mm256_and_si256(hi, _mm256_cmpeq_epi8(_mm256_loadu_si256((const __m256i*)(block + 32 + j)), w[j]));
    }
    return std::uint32_t(_mm256_movemask_epi8(lo)) |
           (std::uint64_t(std::uint32_t(_mm256_movemask_epi8(hi))) << 32);
}

// K is how many of the word's bytes the vector filter compares (1 to 4); longer words are
// confirmed byte by byte where the filter matches.
template <int K>
__attribute__((target("avx2"))) std::size_t ScanAvx2(std::string_view seq, std::string_view word,
                                                     bool inFrame, std::size_t from,
                                                     std::size_t to, std::uint64_t* out) {
    const char* s = seq.data();
    const std::size_t m = word.size();
    __m256i w[K];
    for (int j = 0; j < K; ++j) w[j] = _mm256_set1_epi8(word[j]);
    std::uint64_t* p = out;
    const auto emit = [&](std::uint64_t mask, std::size_t base) {
        if (inFrame) mask &= FrameMask(base);
        if (!mask) return;
        if (std::size_t(K) == m) {
            p = Decode(mask, base, p);
            return;
        }
        for (; mask; mask &= mask - 1) {
            const std::size_t start = base + std::size_t(__builtin_ctzll(mask));
            if (std::memcmp(s + start + K, word.data() + K, m - K) == 0) *p++ = start;
        }
    };
    std::size_t i = from;
    // A block reads bytes up to i + 63 + K - 1, which must lie inside the sequence.
    for (; i + 64 <= to && i + 63 + K <= seq.size(); i += 64) emit(MatchBlock<K>(s + i, w), i);
    if (i < to) {
        // The last starts: the same compare on a padded copy; padding bytes only ever meet
        // starts at or past `to`, which the mask drops.
        alignas(32) char pad[64 + 64] = {};
        std::memcpy(pad, s + i, std::min<std::size_t>(sizeof pad, seq.size() - i));
        const std::size_t valid = to - i;  // at most 64 here
        const std::uint64_t keep = valid >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << valid) - 1;
        emit(MatchBlock<K>(pad, w) & keep, i);
    }
    return std::size_t(p - out);
}
#endif

template <int K>
std::size_t ScanFastest(std::string_view seq, std::string_view word, bool inFrame, std::size_t from,
                     std::size_t to, std::uint64_t* out) {
#if KELMARIN_X86
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return ScanAvx2<K>(seq, word, inFrame, from, to, out);
#endif
    (void)K;
    return ScanScalar(seq, word, inFrame, from, to, out);
}

}  // namespace

std::size_t WordScanner::Scan(std::string_view seq, std::string_view word, bool inFrame,
                              std::size_t from, std::size_t to, std::uint64_t* out) {
    switch (word.size()) {
        case 0: return 0;
        case 1: return ScanFastest<1>(seq, word, inFrame, from, to, out);
        case 2: return ScanFastest<2>(seq, word, inFrame, from, to, out);
        case 3: return ScanFastest<3>(seq, word, inFrame, from, to, out);
        default: return ScanFastest<4>(seq, word, inFrame, from, to, out);
    }
}

}  // namespace kelmarin
