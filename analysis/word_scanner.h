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
    // How many of a word's first letters the vector filter compares.
    static constexpr std::size_t kFilterBytes = 4;

    // The words as a scan takes them, prepared once for all the sequences of a run: which are
    // in use, and each one's filter letters spread over a vector's lanes. Short reads come by
    // the million, so nothing that stays the same from one sequence to the next is redone.
    class Plan {
      public:
        Plan() = default;
        explicit Plan(const Words& words);
        const Word& operator[](int w) const { return words_[std::size_t(w)]; }
        // A word's phase may change from one sequence to the next (on the reverse strand).
        void SetPhase(int w, unsigned phase) { words_[std::size_t(w)].phase = phase; }

      private:
        friend class WordScanner;
        Words words_{};
        int count_ = 0;                       // the words in use: not empty
        std::array<int, kMaxWords> index_{};  // their places in words_, in order
        std::size_t shortest_ = 0;            // of those in use
        alignas(32) std::array<std::array<std::array<char, 32>, kFilterBytes>, kMaxWords> lanes_{};
    };

    // Writes the 0-based starts in [from, from + kBatch) of each word's occurrences into its
    // buffer and returns how many each has. With inFrame, only starts of the word's phase
    // count. An empty word, or one longer than seq, has none.
    static Counts Scan(std::string_view seq, const Plan& plan, bool inFrame, std::size_t from,
                       const Outputs& out);

    // Calls report(word, starts, count) for batches of starts until all occurrences of all
    // the words are reported; batches come in increasing order of position for each word.
    template <typename Report>
    static void ForEach(std::string_view seq, const Plan& plan, bool inFrame, Report&& report) {
        if (plan.count_ == 0 || plan.shortest_ > seq.size()) return;
        const std::size_t last = seq.size() - plan.shortest_ + 1;  // past any word's last start
        std::array<std::array<std::uint64_t, kBatch + kSlack>, kMaxWords> starts;
        Outputs out;
        for (int w = 0; w < kMaxWords; ++w) out[w] = starts[w].data();
        for (std::size_t from = 0; from < last; from += kBatch) {
            const Counts n = Scan(seq, plan, inFrame, from, out);
            for (int p = 0; p < plan.count_; ++p) {
                const int w = plan.index_[std::size_t(p)];
                if (n[w]) report(w, static_cast<const std::uint64_t*>(out[w]), n[w]);
            }
        }
    }
};

}  // namespace kelmarin
