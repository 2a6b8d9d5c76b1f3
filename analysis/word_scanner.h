#pragma once
// Finds every occurrence of a word in a sequence, overlapping ones included, in increasing
// order of position. Many positions are tested at once with vector compares of the word's
// first bytes; the rest of a longer word is compared only where those match. Starts are handed
// out in batches so that the caller's loop over them stays short and predictable.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelmarin {

class WordScanner {
public:
    static constexpr std::size_t kBatch = 4096;

    // Writes the 0-based starts of the occurrences that begin in [from, to) into out, which
    // holds at least to - from + kSlack entries, and returns how many there are. With inFrame,
    // only starts that are multiples of 3 count.
    static std::size_t Scan(std::string_view seq, std::string_view word, bool inFrame,
                            std::size_t from, std::size_t to, std::uint64_t* out);
    static constexpr std::size_t kSlack = 64;

    // Calls report(starts, count) for batches of starts until all occurrences are reported.
    template <typename Report>
    static void ForEach(std::string_view seq, std::string_view word, bool inFrame,
                        Report&& report) {
        if (word.empty() || word.size() > seq.size()) return;
        std::uint64_t starts[kBatch + kSlack];
        const std::size_t last = seq.size() - word.size() + 1;  // one past the last start
        for (std::size_t from = 0; from < last; from += kBatch) {
            const std::size_t to = last - from < kBatch ? last : from + kBatch;
            const std::size_t n = Scan(seq, word, inFrame, from, to, starts);
            if (n) report(static_cast<const std::uint64_t*>(starts), n);
        }
    }
};

}  // namespace kelmarin
