#pragma once
// bgzip's blocked gzip (BGZF): gzip members of at most 64 KiB of content, each with an extra
// field 'BC' giving the member's size, so that a reader can find members anywhere in the file
// and inflate them apart. Raises EInOutError when the file cannot be read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelmarin {

// The size of the block whose first bytes are header (BSIZE + 1), 0 when they begin no block.
std::size_t BgzfBlockSize(const unsigned char* header, std::size_t n);

// Where the first block that begins at or after pos begins (a block whose size leads to another
// block, or to the end): size when there is none within a few blocks of pos.
std::uint64_t BgzfBlockFrom(int fd, std::uint64_t pos, std::uint64_t size);

// The content of the blocks from the one at offset on, until at least most bytes or the end;
// fewer at a block that does not inflate, which its reading reports.
struct BgzfContent {
    std::string bytes;
    std::vector<std::uint64_t> offsets;  // of each block in the file
    std::vector<std::size_t> starts;     // of its content in bytes
};
BgzfContent InflateBgzfBlocks(int fd, std::uint64_t offset, std::size_t most);

}  // namespace kelmarin
