#include "analysis/word_profile.h"

#include <array>
#include <stdexcept>
#include <utility>

#include "analysis/bucket.h"
#include "analysis/word_scanner.h"

namespace kelmarin {

namespace {

// A start's member by a product instead of a search, in a batch of members of one length L:
// start s lies in member (s * ceil(2^40 / L)) >> 40, exactly while s * L < 2^40.
constexpr int kReciprocalShift = 40;

// The multiplier for members of length equal in a batch of size bytes, or 0 (search) when
// there is no one length or a product could be inexact or overflow 64 bits.
std::uint64_t MemberReciprocal(std::uint64_t equal, std::uint64_t size) {
    constexpr std::uint64_t kOne = std::uint64_t(1) << kReciprocalShift;
    if (equal == 0 || size >= (std::uint64_t(1) << 24) || size >= kOne / equal) return 0;
    return (kOne + equal - 1) / equal;
}

// Counts the starts of one word in members laid end to end, found on the given strand or, with
// kReverse, as the reverse complement, from the member in on: the member of the last start.
// With kEqual, members share one length, in is the first and stays so, and reciprocal finds a
// start's member. On the reverse strand a word found at start s begins at the base that is its
// last on this one. Each member's occurrences are also counted in counts, by its place after
// base; with kEqual the members are one group for the expected profile (one length, one frame
// option), and counts[0] gets all of theirs.
template <bool kReverse, bool kFrame, bool kEqual>
const SequenceBatch::Member* CountStarts(const std::uint64_t* starts, std::size_t n,
                                         std::uint64_t length, const SequenceBatch::Member* in,
                                         const SequenceBatch::Member* base,
                                         std::uint64_t reciprocal, WordProfile::Row& row,
                                         std::uint64_t* counts) {
    const SequenceBatch::Member* const first = in;
    std::uint64_t found = 0;  // since the last flush into counts
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t s = starts[i];
        if constexpr (kEqual) {
            in = first + (s * reciprocal >> kReciprocalShift);
        } else {
            // Starts come in order: a member's occurrences are counted in a register, and
            // stored once it is left.
            while (s >= in->end) {
                counts[in - base] += std::exchange(found, 0);
                ++in;
            }
        }
        if (s + length > in->end) continue;  // runs into the next member
        // 1-based on its own strand.
        const std::uint64_t at = kReverse ? in->end + 1 - length - s : s - in->begin + 1;
        if (kFrame && in->inFrame && (at - 1) % 3 != 0) continue;
        ++row[std::size_t(in->scale.Of(at) - 1)];
        ++found;
    }
    counts[kEqual ? 0 : in - base] += found;
    return kEqual ? first : in;
}

template <bool kReverse>
const SequenceBatch::Member* CountStartsOn(const std::uint64_t* starts, std::size_t n,
                                           std::uint64_t length, const SequenceBatch::Member* in,
                                           const SequenceBatch::Member* base, bool frame,
                                           std::uint64_t reciprocal, WordProfile::Row& row,
                                           std::uint64_t* counts) {
    if (reciprocal)
        return frame ? CountStarts<kReverse, true, true>(starts, n, length, in, base, reciprocal,
                                                         row, counts)
                     : CountStarts<kReverse, false, true>(starts, n, length, in, base, reciprocal,
                                                          row, counts);
    return frame ? CountStarts<kReverse, true, false>(starts, n, length, in, base, 0, row, counts)
                 : CountStarts<kReverse, false, false>(starts, n, length, in, base, 0, row, counts);
}

}  // namespace

void WordProfile::ClearProfile() {
    rows_ = {};
    expected_.Clear();
}

void WordProfile::SetWords(const Words& words, WordMatching matching) {
    patterns_.Prepare(words, matching);
    std::array<std::uint64_t, kRows> lengths;
    for (int r = 0; r < kRows; ++r) lengths[r] = words[r].size();
    expected_.SetWordLengths(lengths);
}

void WordProfile::CountSequence(std::string_view seq, bool inFrame) {
    if (seq.empty()) return;
    // The whole sequence as one member; the scan itself keeps only the starts in frame.
    const SequenceBatch::Member whole{0, seq.size(), BucketScale(seq.size()), inFrame};
    const WordScanner::Plan& scan = patterns_.For(seq);
    for (auto& counts : memberCounts_) counts.assign(1, 0);
    WordScanner::ForEach(
        seq, scan, inFrame, [&](int t, const std::uint64_t* starts, std::size_t n) {
            CountFound(t, starts, n, scan[t].bytes.size(), false, 0, &whole, &whole);
        });
    AddToExpected(&whole, 1);
}

void WordProfile::CountBatch(const SequenceBatch& batch) {
    if (batch.Empty()) return;
    const WordScanner::Plan& scan = patterns_.ForBytes(batch.Bytes());
    // Each word's occurrences come in increasing order: the member the last one lay in is where
    // the search for the next one's begins. Reads of one length (most FASTQ) need no search:
    // with a few starts in each, its branches would mostly be guessed wrong.
    std::array<const SequenceBatch::Member*, WordScanner::kMaxWords> member;
    member.fill(batch.Members().data());
    // Members read in frame and out of it, as the option changed, are told apart by the search.
    const std::uint64_t reciprocal =
        batch.MixedFrames() ? 0 : MemberReciprocal(batch.EqualLength(), batch.Bytes().size());
    // In-frame reading differs between members and, on the reverse strand, so do the phases:
    // the scan finds every start and each member keeps its own.
    const bool frame = batch.AnyInFrame();
    for (auto& counts : memberCounts_) counts.assign(batch.Members().size(), 0);
    WordScanner::ForEach(batch.Bytes(), scan, false,
                         [&](int t, const std::uint64_t* starts, std::size_t n) {
                             const SequenceBatch::Member*& in = member[std::size_t(t)];
                             in = CountFound(t, starts, n, scan[t].bytes.size(), frame, reciprocal,
                                             in, batch.Members().data());
                         });
    if (reciprocal)
        AddOneGroup(batch.EqualLength(), batch.Members().front().inFrame);
    else
        AddToExpected(batch.Members().data(), batch.Members().size());
}

void WordProfile::AddOneGroup(std::uint64_t length, bool inFrame) {
    ExpectedProfile::Counts found;
    for (int r = 0; r < kRows; ++r) found[r] = memberCounts_[r][0];
    expected_.Add(length, inFrame, found);
}

void WordProfile::AddToExpected(const SequenceBatch::Member* members, std::size_t n) {
    for (std::size_t m = 0; m < n; ++m) {
        ExpectedProfile::Counts found;
        bool any = false;
        for (int r = 0; r < kRows; ++r) {
            found[r] = memberCounts_[r][m];
            any = any || found[r] != 0;
        }
        if (any) expected_.Add(members[m].end - members[m].begin, members[m].inFrame, found);
    }
}

const SequenceBatch::Member* WordProfile::CountFound(int t, const std::uint64_t* starts,
                                                     std::size_t n, std::uint64_t length,
                                                     bool frame, std::uint64_t reciprocal,
                                                     const SequenceBatch::Member* in,
                                                     const SequenceBatch::Member* base) {
    Row& row = rows_[std::size_t(t % kRows)];
    std::uint64_t* counts = memberCounts_[std::size_t(t % kRows)].data();
    return t < kRows
               ? CountStartsOn<false>(starts, n, length, in, base, frame, reciprocal, row, counts)
               : CountStartsOn<true>(starts, n, length, in, base, frame, reciprocal, row, counts);
}

void WordProfile::Add(const WordProfile& other) {
    expected_.Add(other.expected_);
    for (int r = 0; r < kRows; ++r)
        for (int b = 0; b < kBuckets; ++b) rows_[r][b] += other.rows_[r][b];
}

const WordProfile::Row& WordProfile::ProfileRow(int r) const {
    if (r < 1 || r > kRows) throw std::out_of_range("profile row out of range");
    return rows_[r - 1];
}

}  // namespace kelmarin
