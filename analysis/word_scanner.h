#pragma once
// Finds every occurrence of a word in a sequence, overlapping ones included, in increasing
// order of position. Sixteen positions are tested at once; the word's first bytes filter and
// the rest of a longer word is compared only at the survivors.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelmarin {

// Calls found(start) with the 0-based start of each occurrence of word in seq; with inFrame,
// only starts at 0, 3, 6, ... An empty word or one longer than seq has no occurrence.
template <typename Found>
void ForEachOccurrence(std::string_view seq, std::string_view word, bool inFrame, Found&& found) {
    const std::size_t n = seq.size();
    const std::size_t m = word.size();
    if (m == 0 || m > n) return;
    const char* s = seq.data();
    const char* w = word.data();
    std::size_t i = 0;
#if defined(__SSE2__)
    constexpr std::size_t kFilter = 8;  // bytes of the word tested in the vector filter
    const std::size_t k = m < kFilter ? m : kFilter;
    __m128i first[kFilter];
    for (std::size_t j = 0; j < k; ++j) first[j] = _mm_set1_epi8(w[j]);
    // Bit b of kFrameMask[phase] is set when position i + b is in frame, for i % 3 == phase.
    static constexpr std::uint32_t kFrameMask[3] = {0x9249, 0x4924, 0x2492};
    unsigned phase = 0;
    // A block covers starts i..i+15 and needs bytes up to i + 15 + m - 1.
    for (; i + 15 + m <= n; i += 16, phase = phase == 2 ? 0 : phase + 1) {
        __m128i eq = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)),
                                    first[0]);
        for (std::size_t j = 1; j < k; ++j)
            eq = _mm_and_si128(
                eq, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + j)),
                                   first[j]));
        std::uint32_t mask = std::uint32_t(_mm_movemask_epi8(eq));
        if (inFrame) mask &= kFrameMask[phase];
        while (mask) {
            const std::size_t start = i + std::size_t(__builtin_ctz(mask));
            mask &= mask - 1;
            if (m <= k || std::memcmp(s + start + k, w + k, m - k) == 0) found(start);
        }
    }
#endif
    for (; i + m <= n; ++i) {
        if (inFrame && i % 3 != 0) continue;
        if (s[i] == w[0] && std::memcmp(s + i, w, m) == 0) found(i);
    }
}

}  // namespace kelmarin
