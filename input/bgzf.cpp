#include "input/bgzf.h"

#include <isa-l/igzip_lib.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "input/in_out_error.h"

namespace kelmarin {

namespace {

constexpr std::size_t kHeader = 18;           // with the 'BC' field alone, as bgzip writes it
constexpr std::size_t kMostBlock = 64 << 10;  // compressed or not

// pread(2) without EINTR: the bytes read, fewer at the end of the file.
std::size_t ReadAt(int fd, void* out, std::size_t n, std::uint64_t pos) {
    ssize_t got;
    do {
        got = ::pread(fd, out, n, off_t(pos));
    } while (got < 0 && errno == EINTR);
    if (got < 0) throw EInOutError(IoCodeFromErrno(errno));
    return std::size_t(got);
}

std::uint32_t Le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

}  // namespace

std::size_t BgzfBlockSize(const unsigned char* h, std::size_t n) {
    // Magic, deflate, FEXTRA; then the extra field's subfields, one of which is 'BC'.
    if (n < 12 || h[0] != 0x1F || h[1] != 0x8B || h[2] != 8 || (h[3] & 4) == 0) return 0;
    const std::size_t xlen = std::size_t(h[10]) | std::size_t(h[11]) << 8;
    if (n < 12 + xlen) return 0;
    for (std::size_t i = 12; i + 4 <= 12 + xlen;) {
        const std::size_t len = std::size_t(h[i + 2]) | std::size_t(h[i + 3]) << 8;
        if (h[i] == 'B' && h[i + 1] == 'C' && len == 2 && i + 6 <= 12 + xlen)
            return (std::size_t(h[i + 4]) | std::size_t(h[i + 5]) << 8) + 1;
        i += 4 + len;
    }
    return 0;
}

std::uint64_t BgzfBlockFrom(int fd, std::uint64_t pos, std::uint64_t size) {
    // A block begins within one block's size of any byte; its size must lead to the next
    // block's header, so that compressed bytes that look like a header are passed over.
    const std::size_t span = 2 * kMostBlock + kHeader;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[span]);
    const std::size_t n = ReadAt(fd, bytes.get(), span, pos);
    unsigned char next[kHeader];
    for (std::size_t i = 0; i + kHeader <= n && i < kMostBlock; ++i) {
        if (bytes[i] != 0x1F) continue;
        const std::size_t block = BgzfBlockSize(&bytes[i], n - i);
        if (block < kHeader + 8) continue;
        const std::uint64_t after = pos + i + block;
        if (after == size) return pos + i;
        if (after < size && BgzfBlockSize(next, ReadAt(fd, next, kHeader, after)) != 0)
            return pos + i;
    }
    return size;
}

BgzfContent InflateBgzfBlocks(int fd, std::uint64_t offset, std::size_t most) {
    BgzfContent content;
    content.bytes.reserve(most + kMostBlock);
    std::unique_ptr<unsigned char[]> block(new unsigned char[kMostBlock]);
    inflate_state state;
    while (content.bytes.size() < most) {
        const std::size_t n = ReadAt(fd, block.get(), kMostBlock, offset);
        const std::size_t size = BgzfBlockSize(block.get(), n);
        if (size < kHeader + 8 || size > n) break;
        const std::uint32_t isize = Le32(&block[size - 4]);
        if (isize > kMostBlock) break;
        const std::size_t at = content.bytes.size();
        content.bytes.resize(at + isize);
        isal_inflate_init(&state);
        state.crc_flag = ISAL_GZIP;
        state.next_in = block.get();
        state.avail_in = std::uint32_t(size);
        state.next_out = reinterpret_cast<std::uint8_t*>(content.bytes.data() + at);
        state.avail_out = isize;
        if (isal_inflate(&state) != ISAL_DECOMP_OK || state.block_state != ISAL_BLOCK_FINISH ||
            state.avail_out != 0) {
            content.bytes.resize(at);
            break;
        }
        content.offsets.push_back(offset);
        content.starts.push_back(at);
        offset += size;
    }
    return content;
}

}  // namespace kelmarin
