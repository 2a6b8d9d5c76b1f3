#include "analysis/word_profile.h"

#include <stdexcept>

#include "analysis/bucket.h"
#include "analysis/word_scanner.h"

namespace kelmarin {

void WordProfile::ClearProfile() { rows_ = {}; }

void WordProfile::CountSequence(std::string_view seq, const Words& words, bool inFrame) {
    if (seq.empty()) return;
    const BucketScale bucket(seq.size());
    const WordScanner::Words scan = {words[0], words[1], words[2], words[3]};
    WordScanner::ForEach(seq, scan, inFrame,
                         [&](int r, const std::uint64_t* starts, std::size_t n) {
                             Row& row = rows_[std::size_t(r)];
                             for (std::size_t i = 0; i < n; ++i)
                                 ++row[bucket.Of(starts[i] + 1) - 1];
                         });
}

const WordProfile::Row& WordProfile::ProfileRow(int r) const {
    if (r < 1 || r > kRows) throw std::out_of_range("profile row out of range");
    return rows_[r - 1];
}

}  // namespace kelmarin
