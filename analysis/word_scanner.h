#pragma once
// Finds every occurrence of up to eight words in a sequence, overlapping ones included, in
// increasing order of position. One pass tests 64 starts at a time for all the words: each
// byte window is loaded once and compared with each word's first bytes; the rest of a longer
// word is compared only where those match. Words with IUPAC codes are tested the same way on
// the sequence's letter codes (see iupac.h), a mask and a compare per letter instead of a
// compare. Starts are handed out in batches so that the caller's loop over them stays short
// and predictable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/iupac.h"

namespace kelmarin {

class WordScanner {
  public:
    static constexpr int kMaxWords = 8;  // four words, each on both strands
    static constexpr std::size_t kBatch = 4096;
    static constexpr std::size_t kSlack = 64;

    // One word as the scan matches it: its bytes exactly or, with tests, letter j matching a
    // sequence byte c where tests[j].Matches(c). All the words of one scan are matched the
    // same way.
    struct Word {
        std::string_view bytes;             // empty: unused
        const LetterTest* tests = nullptr;  // one per byte, or nullptr: the bytes exactly
        unsigned phase = 0;                 // in frame: only starts that are phase mod 3 count
    };
    using Words = std::array<Word, kMaxWords>;
    using Counts = std::array<std::size_t, kMaxWords>;
    // One buffer per word, each of at least kBatch + kSlack entries.
    using Outputs = std::array<std::uint64_t*, kMaxWords>;

    // Writes the 0-based starts in [from, from + kBatch) of each word's occurrences into its
    // buffer and returns how many each has. With inFrame, only starts of the word's phase
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
        for (const Word& w : words)
            if (!w.bytes.empty() && w.bytes.size() <= seq.size() &&
                seq.size() - w.bytes.size() + 1 > last)
                last = seq.size() - w.bytes.size() + 1;
        if (last == 0) return;
        std::array<std::array<std::uint64_t, kBatch + kSlack>, kMaxWords> starts;
        Outputs out;
        for (int w = 0; w < kMaxWords; ++w) out[w] = starts[w].data();
        for (std::size_t from = 0; from < last; from += kBatch) {
            const Counts n = Scan(seq, words, inFrame, from, out);
            for (int w = 0; w < kMaxWords; ++w)
                if (n[w]) report(w, static_cast<const std::uint64_t*>(out[w]), n[w]);
        }
    }
};

}  // namespace kelmarin
