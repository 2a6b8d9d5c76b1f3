#pragma once
// Which bytes of a file one of N shards reads, so that the shards' profiles add up to the
// profile of the whole file. Shard K of N owns the lines (plain text) or the records (FASTA,
// FASTQ) whose first line begins in the byte range [(K-1)*S/N, K*S/N) of a file of S bytes; its
// range is widened to whole lines or records, so a record longer than a shard goes whole to the
// shard where its header begins. Only bytes before the first 0x1A are content, as the line
// file reads them. In FASTQ, where '@' and '+' are quality letters too, a record begins at a
// line that begins with '@' and is followed by sequence lines, a '+' line and quality lines as
// long as the sequence; the first shard begins at the file's first byte.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/file_content.h"
#include "input/reading_mode.h"

namespace kelmarin {

struct ByteRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t firstLine = 1;  // the number of the line that begins at begin (FASTQ only)
    // For a part of a bgzip file: the part of the content of the members from begin on.
    std::optional<MemberWindow> members{};
    bool Empty() const { return begin >= end; }
};

// The byte range [(k-1)*size/n, k*size/n) of shard k (1 to n); empty for any other k.
ByteRange ShardBounds(std::uint64_t size, std::uint64_t k, std::uint64_t n);

// The bytes shard k of n of the named file must read in the reading mode, to be read with the line
// file restricted to them. An empty range when the shard owns nothing. Reads the shard's range, the
// line or record that runs past its end, and (for the end mark) every byte before its range. Raises
// EInOutError when the file cannot be read or is not a regular file.
ByteRange ShardReadRange(const std::string& name, std::uint64_t k, std::uint64_t n,
                         ReadingMode mode);

// The range cut into parts that can be read apart, for threads that each take the next part
// left: each part is a 1/(2 x threads) share of what the parts before it left, and at least
// smallest bytes, so that the parts taken last are short. Each cut is the first place at or
// after such a share's end where a line (plain text), a header line (FASTA) or a four-line record
// (FASTQ) begins. Fewer parts when a part would be empty or no such place is near; one (the
// range itself) when the file is small, or gzip (a whole bgzip file aside), or its first FASTA
// record does not begin before the first cut. A FASTQ cut is a guess, as a quality line may pass
// for a record's start: the part before it ends cleanly there only when it is one.
//
// A bgzip file is cut at the first such place in the content of the block nearest each share's
// end in its compressed bytes (which count four times as much towards smallest): each part
// begins at a block and is the window of the content that MemberWindow gives.
//
// Raises EInOutError as ShardReadRange does.
inline constexpr std::uint64_t kSmallestPart = 4 << 20;
std::vector<ByteRange> PartRanges(const std::string& name, ByteRange range, unsigned threads,
                                  ReadingMode mode, std::uint64_t smallest = kSmallestPart);

}  // namespace kelmarin
