#include "analysis/stop_codon.h"

#include <cstddef>

namespace kelmarin {

namespace {

bool IsStopCodonAt(std::string_view seq, std::size_t start) {
    if (start + 3 > seq.size() || seq[start] != 't') return false;
    const char b = seq[start + 1];
    const char c = seq[start + 2];
    return (b == 'a' && (c == 'a' || c == 'g')) || (b == 'g' && c == 'a');
}

}  // namespace

bool HasStopCodon(std::string_view seq) {
    const std::size_t n = seq.size();
    // p is 1-based: the codon at 1 is always examined, a later one only while p + 6 <= n.
    for (std::size_t p = 1;; p += 3) {
        if (IsStopCodonAt(seq, p - 1)) return true;
        if (n < p + 3 + 6) return false;
    }
}

}  // namespace kelmarin
