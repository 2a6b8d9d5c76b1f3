#pragma once
// Where a word's occurrences would begin by chance: each occurrence is taken as equally likely at
// every valid start of its own sequence, and the valid starts of a sequence fall into the
// buckets by the counting rule itself. The profile sums to the occurrences counted.
//
// Sequences are gathered by length and reading frame, with integer counts, and each group's
// share of a bucket is a fixed-point number worked out from the group alone; the sums are kept
// in 128-bit fixed point. So the profile does not depend on the order sequences come in, how
// they are batched or when it is asked for: the window, kelmarin-batch and any split of the
// work give the same bits.

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kelmarin {

// Valid starts of a word of the given length in a sequence of the given length, per bucket:
// starts 1 to length - wordLength + 1 (in frame, only 1, 4, 7, ...), each in the bucket its
// occurrence would count in. One strand's; every strand looked at has the same.
std::array<std::uint64_t, 100> ValidStarts(std::uint64_t length, std::uint64_t wordLength,
                                           bool inFrame);

class ExpectedProfile {
  public:
    static constexpr int kRows = 4;
    static constexpr int kBuckets = 100;
    using Row = std::array<double, kBuckets>;
    using Rows = std::array<Row, kRows>;
    using Counts = std::array<std::uint64_t, kRows>;

    // The length of each row's word (0: no word); clears what was added.
    void SetWordLengths(const std::array<std::uint64_t, kRows>& lengths);
    void Clear();
    // A sequence of the given length, read in frame or not, with n[r] occurrences of row r's
    // word on all the strands looked at.
    void Add(std::uint64_t length, bool inFrame, const Counts& n);
    // What other gathered, for the same word lengths: the sums add exactly, so a file counted
    // in parts gives the bits of the file counted whole.
    void Add(const ExpectedProfile& other);
    // Expected occurrences per bucket of each row, bucket 1 first.
    Rows ExpectedRows() const;

  private:
    // Groups of sequences shorter than this wait in a table indexed by length and frame: reads
    // and genes come by the million, each with a length of its own.
    static constexpr std::uint64_t kTableLengths = 1 << 14;
    // Moves the counts of one group into the sums.
    void SettleGroup(std::uint64_t key, const Counts& n) const;
    using Shares = std::array<std::uint64_t, kBuckets>;
    // Each bucket's share of a group's valid starts, in fixed point.
    const Shares& SharesOf(std::uint64_t key, std::uint64_t wordLength) const;
    // Moves the pending groups into the sums.
    void Settle() const;

    std::array<std::uint64_t, kRows> lengths_{};
    // Sums and pending groups change when the profile is read, not what it is.
    mutable std::array<std::array<unsigned __int128, kBuckets>, kRows> sums_{};
    mutable std::vector<Counts> table_;           // by key (length × 2 + frame), made when needed
    mutable std::vector<std::uint32_t> touched_;  // keys of the table with pending counts
    mutable std::unordered_map<std::uint64_t, Counts> pending_;  // longer sequences
    // Shares already worked out, by group and word length: a window settles the same groups
    // at every frame. Emptied when it grows past a few thousand.
    struct SharesKey {
        std::uint64_t key, wordLength;
        bool operator==(const SharesKey&) const = default;
    };
    struct SharesKeyHash {
        std::size_t operator()(const SharesKey& k) const {
            return std::hash<std::uint64_t>()(k.key * 0x9E3779B97F4A7C15ull ^ k.wordLength);
        }
    };
    mutable std::unordered_map<SharesKey, Shares, SharesKeyHash> shares_;
};

}  // namespace kelmarin
