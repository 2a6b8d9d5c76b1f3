#include "analysis/word_profile.h"

#include <stdexcept>

#include "analysis/bucket.h"
#include "analysis/word_scanner.h"

namespace kelmarin {

void WordProfile::ClearProfile() { rows_ = {}; }

void WordProfile::CountSequence(std::string_view seq, const Words& words, bool inFrame,
                                WordMatching matching) {
    if (seq.empty()) return;
    patterns_.Prepare(words, matching);
    const BucketScale bucket(seq.size());
    const WordScanner::Plan& scan = patterns_.For(seq);
    WordScanner::ForEach(seq, scan, inFrame,
                         [&](int t, const std::uint64_t* starts, std::size_t n) {
                             Row& row = rows_[std::size_t(t % kRows)];
                             if (t < kRows) {
                                 for (std::size_t i = 0; i < n; ++i)
                                     ++row[bucket.Of(starts[i] + 1) - 1];
                                 return;
                             }
                             // Found at start s, the reverse complement begins on the reverse
                             // strand at the base that is its last on this one: position size - (s
                             // + length - 1) there.
                             const std::uint64_t end = seq.size() + 1 - scan[t].bytes.size();
                             for (std::size_t i = 0; i < n; ++i)
                                 ++row[bucket.Of(end - starts[i]) - 1];
                         });
}

const WordProfile::Row& WordProfile::ProfileRow(int r) const {
    if (r < 1 || r > kRows) throw std::out_of_range("profile row out of range");
    return rows_[r - 1];
}

}  // namespace kelmarin
