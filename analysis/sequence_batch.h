#pragma once
// Short sequences gathered to be counted together. Reads of a few hundred bases come by the
// million: scanned one by one, each pays the fixed cost of a scan and leaves the last of its
// 64-start blocks partly unused. Laid end to end in one buffer they are scanned in whole blocks,
// and each occurrence is then given to the sequence it lies in.

#include <cstdint>
#include <string>
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
    bool Full() const { return bytes_.size() >= kBytes; }
    bool Empty() const { return members_.empty(); }
    bool AnyInFrame() const { return anyInFrame_; }
    void Clear();

    struct Member {
        std::uint64_t begin, end;  // its bytes in Bytes()
        BucketScale scale;         // of its length
        bool inFrame;              // counted as the run's option stood when it was read
    };
    std::string_view Bytes() const { return bytes_; }
    const std::vector<Member>& Members() const { return members_; }

  private:
    std::string bytes_;
    std::vector<Member> members_;
    bool anyInFrame_ = false;
};

}  // namespace kelmarin
