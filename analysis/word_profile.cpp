#include "analysis/word_profile.h"

#include <array>
#include <stdexcept>

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
// last on this one.
template <bool kReverse, bool kFrame, bool kEqual>
const SequenceBatch::Member* CountStarts(const std::uint64_t* starts, std::size_t n,
                                         std::uint64_t length, const SequenceBatch::Member* in,
                                         std::uint64_t reciprocal, WordProfile::Row& row) {
    const SequenceBatch::Member* const first = in;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t s = starts[i];
        if constexpr (kEqual)
            in = first + (s * reciprocal >> kReciprocalShift);
        else
            while (s >= in->end) ++in;
        if (s + length > in->end) continue;  // runs into the next member
        // 1-based on its own strand.
        const std::uint64_t at = kReverse ? in->end + 1 - length - s : s - in->begin + 1;
        if (kFrame && in->inFrame && (at - 1) % 3 != 0) continue;
        ++row[std::size_t(in->scale.Of(at) - 1)];
    }
    return kEqual ? first : in;
}

template <bool kReverse>
const SequenceBatch::Member* CountStartsOn(const std::uint64_t* starts, std::size_t n,
                                           std::uint64_t length, const SequenceBatch::Member* in,
                                           bool frame, std::uint64_t reciprocal,
                                           WordProfile::Row& row) {
    if (reciprocal)
        return frame ? CountStarts<kReverse, true, true>(starts, n, length, in, reciprocal, row)
                     : CountStarts<kReverse, false, true>(starts, n, length, in, reciprocal, row);
    return frame ? CountStarts<kReverse, true, false>(starts, n, length, in, 0, row)
                 : CountStarts<kReverse, false, false>(starts, n, length, in, 0, row);
}

}  // namespace

void WordProfile::ClearProfile() { rows_ = {}; }

void WordProfile::SetWords(const Words& words, WordMatching matching) {
    patterns_.Prepare(words, matching);
}

void WordProfile::CountSequence(std::string_view seq, bool inFrame) {
    if (seq.empty()) return;
    // The whole sequence as one member; the scan itself keeps only the starts in frame.
    const SequenceBatch::Member whole{0, seq.size(), BucketScale(seq.size()), false};
    const WordScanner::Plan& scan = patterns_.For(seq);
    WordScanner::ForEach(seq, scan, inFrame,
                         [&](int t, const std::uint64_t* starts, std::size_t n) {
                             CountFound(t, starts, n, scan[t].bytes.size(), false, 0, &whole);
                         });
}

void WordProfile::CountBatch(const SequenceBatch& batch) {
    if (batch.Empty()) return;
    const WordScanner::Plan& scan = patterns_.ForBytes(batch.Bytes());
    // Each word's occurrences come in increasing order: the member the last one lay in is where
    // the search for the next one's begins. Reads of one length (most FASTQ) need no search:
    // with a few starts in each, its branches would mostly be guessed wrong.
    std::array<const SequenceBatch::Member*, WordScanner::kMaxWords> member;
    member.fill(batch.Members().data());
    const std::uint64_t reciprocal = MemberReciprocal(batch.EqualLength(), batch.Bytes().size());
    // In-frame reading differs between members and, on the reverse strand, so do the phases:
    // the scan finds every start and each member keeps its own.
    const bool frame = batch.AnyInFrame();
    WordScanner::ForEach(
        batch.Bytes(), scan, false, [&](int t, const std::uint64_t* starts, std::size_t n) {
            const SequenceBatch::Member*& in = member[std::size_t(t)];
            in = CountFound(t, starts, n, scan[t].bytes.size(), frame, reciprocal, in);
        });
}

const SequenceBatch::Member* WordProfile::CountFound(int t, const std::uint64_t* starts,
                                                     std::size_t n, std::uint64_t length,
                                                     bool frame, std::uint64_t reciprocal,
                                                     const SequenceBatch::Member* in) {
    Row& row = rows_[std::size_t(t % kRows)];
    return t < kRows ? CountStartsOn<false>(starts, n, length, in, frame, reciprocal, row)
                     : CountStartsOn<true>(starts, n, length, in, frame, reciprocal, row);
}

const WordProfile::Row& WordProfile::ProfileRow(int r) const {
    if (r < 1 || r > kRows) throw std::out_of_range("profile row out of range");
    return rows_[r - 1];
}

}  // namespace kelmarin
