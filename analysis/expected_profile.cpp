#include "analysis/expected_profile.h"

#include <cmath>
#include <stdexcept>

#include "analysis/bucket.h"

namespace kelmarin {

namespace {

// The fixed point's one: 63 fractional bits, so that a share of 1 still fits in 64 bits.
constexpr long double kOne = 0x1p63L;

// Starts among 1 .. last that are read: all, or in frame those at 1, 4, 7, ...
std::uint64_t StartsUpTo(std::uint64_t last, bool inFrame) {
    return inFrame ? (last + 2) / 3 : last;
}

}  // namespace

std::array<std::uint64_t, 100> ValidStarts(std::uint64_t length, std::uint64_t wordLength,
                                           bool inFrame) {
    std::array<std::uint64_t, 100> starts{};
    if (wordLength == 0 || length < wordLength) return starts;
    const std::uint64_t lastStart = length - wordLength + 1;
    const BucketScale scale(length);
    // Buckets grow with the position, so each bucket is a range of starts; the last start of
    // bucket b lies near (b + 0.5)% of the length, and the rounding rule settles the edge.
    std::uint64_t before = 0;  // starts up to the end of the previous bucket
    for (int b = 1; b <= 100; ++b) {
        // Exact below 2^55 bases; beyond, an estimate the steps below correct.
        std::uint64_t end = length < (std::uint64_t(1) << 55)
                                ? std::uint64_t(2 * b + 1) * length / 200
                                : std::uint64_t((b + 0.5) * double(length) / 100);
        if (end > lastStart) end = lastStart;
        while (end < lastStart && scale.Of(end + 1) <= b) ++end;
        while (end >= 1 && scale.Of(end) > b) --end;
        const std::uint64_t upTo = StartsUpTo(end, inFrame);
        if (upTo > before) {
            starts[std::size_t(b - 1)] = upTo - before;
            before = upTo;
        }
    }
    return starts;
}

void ExpectedProfile::SetWordLengths(const std::array<std::uint64_t, kRows>& lengths) {
    lengths_ = lengths;
    Clear();
}

void ExpectedProfile::Clear() {
    sums_ = {};
    for (const std::uint32_t key : touched_) table_[key] = {};
    touched_.clear();
    pending_.clear();
}

void ExpectedProfile::Add(std::uint64_t length, bool inFrame, const Counts& n) {
    const std::uint64_t key = length << 1 | std::uint64_t(inFrame);
    if (length >= kTableLengths) {
        Counts& group = pending_[key];
        for (int r = 0; r < kRows; ++r) group[r] += n[r];
        return;
    }
    if (table_.empty()) table_.resize(2 * kTableLengths);
    Counts& group = table_[key];
    if ((group[0] | group[1] | group[2] | group[3]) == 0) touched_.push_back(std::uint32_t(key));
    for (int r = 0; r < kRows; ++r) group[r] += n[r];
}

const ExpectedProfile::Shares& ExpectedProfile::SharesOf(std::uint64_t key,
                                                         std::uint64_t wordLength) const {
    constexpr std::size_t kMostKept = 4096;
    if (const auto kept = shares_.find({key, wordLength}); kept != shares_.end())
        return kept->second;
    if (shares_.size() >= kMostKept) shares_.clear();
    const std::array<std::uint64_t, kBuckets> starts = ValidStarts(key >> 1, wordLength, key & 1);
    std::uint64_t all = 0;
    for (const auto s : starts) all += s;
    // Each share is rounded down once per group, never per occurrence: n of them add n times
    // the same amount. Long double keeps 64 bits of each, on every x86-64.
    const long double unit = all == 0 ? 0.0L : kOne / all;
    Shares& shares = shares_[{key, wordLength}];
    for (int b = 0; b < kBuckets; ++b) shares[b] = std::uint64_t((long double)starts[b] * unit);
    return shares;
}

void ExpectedProfile::SettleGroup(std::uint64_t key, const Counts& n) const {
    for (int r = 0; r < kRows; ++r) {
        if (n[r] == 0) continue;
        const Shares& shares = SharesOf(key, lengths_[r]);
        for (int b = 0; b < kBuckets; ++b) sums_[r][b] += (unsigned __int128)n[r] * shares[b];
    }
}

void ExpectedProfile::Settle() const {
    for (const std::uint32_t key : touched_) {
        SettleGroup(key, table_[key]);
        table_[key] = {};
    }
    touched_.clear();
    for (const auto& [key, n] : pending_) SettleGroup(key, n);
    pending_.clear();
}

void ExpectedProfile::Add(const ExpectedProfile& other) {
    if (other.lengths_ != lengths_) throw std::invalid_argument("expected profiles of other words");
    // Groups still pending join this profile's, to be settled once: n1 and n2 sequences of a
    // group settled apart give the bits of n1 + n2 settled together.
    for (const std::uint32_t key : other.touched_) Add(key >> 1, key & 1, other.table_[key]);
    for (const auto& [key, n] : other.pending_) Add(key >> 1, key & 1, n);
    for (int r = 0; r < kRows; ++r)
        for (int b = 0; b < kBuckets; ++b) sums_[r][b] += other.sums_[r][b];
}

ExpectedProfile::Rows ExpectedProfile::ExpectedRows() const {
    Settle();
    Rows rows{};
    for (int r = 0; r < kRows; ++r)
        for (int b = 0; b < kBuckets; ++b) {
            const unsigned __int128 s = sums_[r][b];
            // Each half is exact in long double: the same sum always gives the same double.
            const long double whole =
                (long double)std::uint64_t(s >> 64) * 0x1p64L + (long double)std::uint64_t(s);
            rows[r][b] = double(whole / kOne);
        }
    return rows;
}

}  // namespace kelmarin
