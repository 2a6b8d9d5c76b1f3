#include "analysis/sequence_batch.h"

#include <cstring>

namespace kelmarin {

void SequenceBatch::Add(std::string_view seq, bool inFrame) {
    if (!seq.empty()) std::memcpy(Append(seq.size(), inFrame), seq.data(), seq.size());
}

char* SequenceBatch::Append(std::size_t n, bool inFrame) {
    if (capacity_ - size_ < n) {
        // A batch that is counted when full holds less than twice kBytes: one allocation.
        std::size_t capacity = capacity_ ? 2 * capacity_ : 2 * kBytes;
        while (capacity - size_ < n) capacity *= 2;
        std::unique_ptr<char[]> bytes(new char[capacity]);
        if (size_) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }
    const std::uint64_t begin = size_;
    size_ += n;
    // Reads mostly share one length: its scale is taken, not worked out again.
    const bool sameLength = !members_.empty() && members_.back().end - members_.back().begin == n;
    equal_ = members_.empty() || (equal_ && sameLength);
    members_.push_back(
        {begin, size_, sameLength ? members_.back().scale : BucketScale(n), inFrame});
    anyInFrame_ = anyInFrame_ || inFrame;
    mixedFrames_ = mixedFrames_ || members_.front().inFrame != inFrame;
    return bytes_.get() + begin;
}

std::string_view SequenceBatch::Last() const {
    const Member& m = members_.back();
    return {bytes_.get() + m.begin, std::size_t(m.end - m.begin)};
}

void SequenceBatch::DropLast() {
    size_ = members_.back().begin;
    // anyInFrame_ and mixedFrames_ may stay set: they only let members choose their frame;
    // equal_ may stay clear: members of one length are then found by a search.
    members_.pop_back();
}

void SequenceBatch::Clear() {
    size_ = 0;
    members_.clear();
    anyInFrame_ = false;
    mixedFrames_ = false;
    equal_ = false;
}

}  // namespace kelmarin
