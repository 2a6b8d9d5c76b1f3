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
#include <string>
#include <string_view>

#include "input/reading_mode.h"

namespace kelmarin {

struct ByteRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t firstLine = 1;  // the number of the line that begins at begin (FASTQ only)
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

}  // namespace kelmarin
