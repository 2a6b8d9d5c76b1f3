#include "analysis/sequence_batch.h"

namespace kelmarin {

void SequenceBatch::Add(std::string_view seq, bool inFrame) {
    if (seq.empty()) return;
    const std::uint64_t begin = bytes_.size();
    bytes_.append(seq);
    // Reads mostly share one length: its scale is taken, not worked out again.
    const bool sameLength =
        !members_.empty() && members_.back().end - members_.back().begin == seq.size();
    members_.push_back({begin, bytes_.size(),
                        sameLength ? members_.back().scale : BucketScale(seq.size()), inFrame});
    anyInFrame_ = anyInFrame_ || inFrame;
}

void SequenceBatch::Clear() {
    bytes_.clear();
    members_.clear();
    anyInFrame_ = false;
}

}  // namespace kelmarin
