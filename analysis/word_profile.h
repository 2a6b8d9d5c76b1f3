#pragma once
// The word position profile: for up to four words, how many occurrences begin in each of 100
// buckets of the sequences' length. Pure counting; it knows nothing of files or windows.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/expected_profile.h"
#include "analysis/sequence_batch.h"
#include "analysis/word_patterns.h"

namespace kelmarin {

class WordProfile {
  public:
    static constexpr int kRows = 4;
    static constexpr int kBuckets = 100;
    // 64-bit counters: a bucket of a large data set easily passes 65,535 occurrences.
    using Counter = std::uint64_t;
    using Row = std::array<Counter, kBuckets>;
    using Words = std::array<std::string, kRows>;
    using Rows = std::array<Row, kRows>;

    void ClearProfile();

    // The words and how they match, for every count until the next call: a run's are prepared
    // once, when it starts.
    void SetWords(const Words& words, WordMatching matching = {});
    // Counts every occurrence of each non-empty word in seq into the word's row; with inFrame,
    // only occurrences that begin at positions 1, 4, 7, ... With both strands, an occurrence
    // on the reverse strand counts at its position there: the first base of the word on that
    // strand, counted from seq's last base as 1.
    void CountSequence(std::string_view seq, bool inFrame);
    // CountSequence for each sequence of the batch, each in frame or not as it was added.
    void CountBatch(const SequenceBatch& batch);
    // SetWords, then the count: for a count with words of its own.
    void CountSequence(std::string_view seq, const Words& words, bool inFrame,
                       WordMatching matching = {}) {
        SetWords(words, matching);
        CountSequence(seq, inFrame);
    }
    void CountBatch(const SequenceBatch& batch, const Words& words, WordMatching matching = {}) {
        SetWords(words, matching);
        CountBatch(batch);
    }

    // Row r (1 to 4), bucket 1 first.
    const Row& ProfileRow(int r) const;
    const Rows& ProfileRows() const { return rows_; }
    // Adds what other counted, with the same words, as if this profile had counted it.
    void Add(const WordProfile& other);
    // What chance would give for the occurrences counted so far (ExpectedProfile).
    ExpectedProfile::Rows ExpectedRows() const { return expected_.ExpectedRows(); }

  private:
    // Counts the starts of scanner word t (its reverse complement from kRows on), of the given
    // length, into its row, from member in on; with frame, each member's own frame option
    // holds. With a reciprocal, the members share one length and in is the first. The member
    // of the last start. Members are counted by their place after base.
    const SequenceBatch::Member* CountFound(int t, const std::uint64_t* starts, std::size_t n,
                                            std::uint64_t length, bool frame,
                                            std::uint64_t reciprocal,
                                            const SequenceBatch::Member* in,
                                            const SequenceBatch::Member* base);
    // Hands the occurrences of each of the count's members to the expected profile.
    void AddToExpected(const SequenceBatch::Member* members, std::size_t n);
    // The same for a count of members of one length and one frame option, which counted all
    // their occurrences as member 0's.
    void AddOneGroup(std::uint64_t length, bool inFrame);

    Rows rows_{};
    WordPatterns patterns_;
    ExpectedProfile expected_;
    // Occurrences of each row in each member of the count under way, member 0 first.
    std::array<std::vector<std::uint64_t>, kRows> memberCounts_;
};

}  // namespace kelmarin
