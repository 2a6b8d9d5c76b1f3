#pragma once
// Finds every occurrence of up to four words in a sequence, overlapping ones included, in
// increasing order of position. One pass tests 64 starts at a time for all the words: each
// byte window is loaded once and compared with each word's first bytes; the rest of a longer
// word is compared only where those match. Starts are handed out in batches so that the
// caller's loop over them stays short and predictable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelmarin {

class WordScanner {
  public:
    static constexpr int kMaxWords = 4;
    static constexpr std::size_t kBatch = 4096;
    static constexpr std::size_t kSlack = 64;
    using Words = std::array<std::string_view, kMaxWords>;
    using Counts = std::array<std::size_t, kMaxWords>;
    // One buffer per word, each of at least kBatch + kSlack entries.
    using Outputs = std::array<std::uint64_t*, kMaxWords>;

    // Writes the 0-based starts in [from, from + kBatch) of each word's occurrences into its
    // buffer and returns how many each has. With inFrame, only starts that are multiples of 3
    // count. An empty word, or one longer than seq, has none.
    static Counts Scan(std::string_view seq, const Words& words, bool inFrame, std::size_t from,
                       const Outputs& out);

    // Whether the vector scan may run; it only does where the processor has it. The plain scan
    // gives the same starts: tests switch the vector one off to compare both on any machine.
    static void AllowVectorScan(bool allow);

    // Calls report(word, starts, count) for batches of starts until all occurrences of all
    // the words are reported; batches come in increasing order of position for each word.
    template <typename Report>
    static void ForEach(std::string_view seq, const Words& words, bool inFrame, Report&& report) {
        std::size_t last = 0;  // one past the last start of any word
        for (std::string_view w : words)
            if (!w.empty() && w.size() <= seq.size() && seq.size() - w.size() + 1 > last)
                last = seq.size() - w.size() + 1;
        if (last == 0) return;
        std::array<std::array<std::uint64_t, kBatch + kSlack>, kMaxWords> starts;
        const Outputs out = {starts[0].data(), starts[1].data(), starts[2].data(),
                             starts[3].data()};
        for (std::size_t from = 0; from < last; from += kBatch) {
            const Counts n = Scan(seq, words, inFrame, from, out);
            for (int w = 0; w < kMaxWords; ++w)
                if (n[w]) report(w, static_cast<const std::uint64_t*>(out[w]), n[w]);
        }
    }
};

}  // namespace kelmarin
