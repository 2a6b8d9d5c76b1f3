#pragma once
// Short sequences gathered to be counted together. Reads of a few hundred bases come by the
// million: scanned one by one, each pays the fixed cost of a scan and leaves the last of its
// 64-start blocks partly unused. Laid end to end in one buffer they are scanned in whole blocks,
// and each occurrence is then given to the sequence it lies in.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "analysis/bucket.h"

namespace kelmarin {

class SequenceBatch {
  public:
    // A batch is counted once it holds this many bytes; a longer sequence is counted on its
    // own, so that it is never held twice.
    static constexpr std::size_t kBytes = std::size_t(1) << 16;
    static bool Takes(std::string_view seq) { return seq.size() <= kBytes; }

    // An empty sequence has nothing to count and is not kept.
    void Add(std::string_view seq, bool inFrame);
    // Adds a sequence of n > 0 bytes that the caller writes at the place returned, before
    // anything else is asked of the batch: a reader writes it there as it converts it.
    char* Append(std::size_t n, bool inFrame);
    // The sequence added last, and its removal.
    std::string_view Last() const;
    void DropLast();
    bool Full() const { return size_ >= kBytes; }
    bool Empty() const { return members_.empty(); }
    bool AnyInFrame() const { return anyInFrame_; }
    // Whether some members were added in frame and others not.
    bool MixedFrames() const { return mixedFrames_; }
    // The length every member has, or 0 when they differ (or none was added).
    std::uint64_t EqualLength() const {
        return equal_ && !members_.empty() ? members_.front().end : 0;
    }
    void Clear();

    struct Member {
        std::uint64_t begin, end;  // its bytes in Bytes()
        BucketScale scale;         // of its length
        bool inFrame;              // counted as the run's option stood when it was read
    };
    std::string_view Bytes() const { return {bytes_.get(), size_}; }
    const std::vector<Member>& Members() const { return members_; }

  private:
    // Written as reads arrive, so never zero-filled first.
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::vector<Member> members_;
    bool anyInFrame_ = false;
    bool mixedFrames_ = false;
    bool equal_ = false;  // every member has the first one's length
};

}  // namespace kelmarin
