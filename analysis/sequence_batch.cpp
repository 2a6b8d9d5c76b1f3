#include "analysis/sequence_batch.h"

namespace kelmarin {

void SequenceBatch::Add(std::string_view seq, bool inFrame) {
    if (seq.empty()) return;
    const std::uint64_t begin = bytes_.size();
    bytes_.append(seq);
    members_.push_back({begin, bytes_.size(), BucketScale(seq.size()), inFrame});
    anyInFrame_ = anyInFrame_ || inFrame;
}

void SequenceBatch::Clear() {
    bytes_.clear();
    members_.clear();
    anyInFrame_ = false;
}

}  // namespace kelmarin
