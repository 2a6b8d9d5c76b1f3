#include "analysis/word_profile.h"

#include <stdexcept>

#include "analysis/bucket.h"
#include "analysis/word_scanner.h"

namespace kelmarin {

void WordProfile::ClearProfile() { rows_ = {}; }

void WordProfile::CountSequence(std::string_view seq, const Words& words, bool inFrame) {
    if (seq.empty()) return;
    const BucketScale bucket(seq.size());
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[r];
        WordScanner::ForEach(seq, words[r], inFrame,
                             [&](const std::uint64_t* starts, std::size_t n) {
                                 for (std::size_t i = 0; i < n; ++i) ++row[bucket.Of(starts[i] + 1) - 1];
                             });
    }
}

const WordProfile::Row& WordProfile::ProfileRow(int r) const {
    if (r < 1 || r > kRows) throw std::out_of_range("profile row out of range");
    return rows_[r - 1];
}

}  // namespace kelmarin
