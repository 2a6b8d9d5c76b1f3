#include "analysis/word_profile.h"

#include <array>
#include <stdexcept>

#include "analysis/bucket.h"
#include "analysis/word_scanner.h"

namespace kelmarin {

namespace {

// Counts the starts of one word in members laid end to end, found on the given strand or, with
// kReverse, as the reverse complement, from the member in on: the member of the last start. On
// the reverse strand a word found at start s begins at the base that is its last on this one.
template <bool kReverse, bool kFrame>
const SequenceBatch::Member* CountStarts(const std::uint64_t* starts, std::size_t n,
                                         std::uint64_t length, const SequenceBatch::Member* in,
                                         WordProfile::Row& row) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t s = starts[i];
        while (s >= in->end) ++in;
        if (s + length > in->end) continue;  // runs into the next member
        // 1-based on its own strand.
        const std::uint64_t at = kReverse ? in->end + 1 - length - s : s - in->begin + 1;
        if (kFrame && in->inFrame && (at - 1) % 3 != 0) continue;
        ++row[std::size_t(in->scale.Of(at) - 1)];
    }
    return in;
}

}  // namespace

void WordProfile::ClearProfile() { rows_ = {}; }

void WordProfile::CountSequence(std::string_view seq, const Words& words, bool inFrame,
                                WordMatching matching) {
    if (seq.empty()) return;
    patterns_.Prepare(words, matching);
    // The whole sequence as one member; the scan itself keeps only the starts in frame.
    const SequenceBatch::Member whole{0, seq.size(), BucketScale(seq.size()), false};
    const WordScanner::Plan& scan = patterns_.For(seq);
    WordScanner::ForEach(seq, scan, inFrame,
                         [&](int t, const std::uint64_t* starts, std::size_t n) {
                             CountFound(t, starts, n, scan[t].bytes.size(), false, &whole);
                         });
}

void WordProfile::CountBatch(const SequenceBatch& batch, const Words& words,
                             WordMatching matching) {
    if (batch.Empty()) return;
    patterns_.Prepare(words, matching);
    const WordScanner::Plan& scan = patterns_.ForBytes(batch.Bytes());
    // Each word's occurrences come in increasing order: the member the last one lay in is where
    // the search for the next one's begins.
    std::array<const SequenceBatch::Member*, WordScanner::kMaxWords> member;
    member.fill(batch.Members().data());
    // In-frame reading differs between members and, on the reverse strand, so do the phases:
    // the scan finds every start and each member keeps its own.
    const bool frame = batch.AnyInFrame();
    WordScanner::ForEach(batch.Bytes(), scan, false,
                         [&](int t, const std::uint64_t* starts, std::size_t n) {
                             const SequenceBatch::Member*& in = member[std::size_t(t)];
                             in = CountFound(t, starts, n, scan[t].bytes.size(), frame, in);
                         });
}

const SequenceBatch::Member* WordProfile::CountFound(int t, const std::uint64_t* starts,
                                                     std::size_t n, std::uint64_t length,
                                                     bool frame, const SequenceBatch::Member* in) {
    Row& row = rows_[std::size_t(t % kRows)];
    if (t < kRows)
        return frame ? CountStarts<false, true>(starts, n, length, in, row)
                     : CountStarts<false, false>(starts, n, length, in, row);
    return frame ? CountStarts<true, true>(starts, n, length, in, row)
                 : CountStarts<true, false>(starts, n, length, in, row);
}

const WordProfile::Row& WordProfile::ProfileRow(int r) const {
    if (r < 1 || r > kRows) throw std::out_of_range("profile row out of range");
    return rows_[r - 1];
}

}  // namespace kelmarin
