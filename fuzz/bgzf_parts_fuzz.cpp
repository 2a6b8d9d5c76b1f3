// Cuts bgzip content into parts and reads each part through its member window. Fuzzed bytes
// packed in blocks of a fuzzed size must read, part after part, as exactly the bytes themselves;
// the same file with a byte damaged must be cut and read to an end or fail with EInOutError.
//
// Input: flags (bits 0-2: parts - 2; bit 3: damage the packed file), block size / 16 - 1, where
// to damage (2 bytes, little-endian, modulo the packed size), then the content.

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input/file_handle.h"
#include "input/in_out_error.h"
#include "input/shard_range.h"

namespace {

std::string Le(std::uint32_t v, int n) {
    std::string b;
    for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
    return b;
}

// One BGZF block holding piece.
std::string Block(const std::string& piece) {
    isal_zstream s;
    isal_deflate_stateless_init(&s);
    std::string data(piece.size() + 1024, '\0');
    s.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(piece.data()));
    s.avail_in = std::uint32_t(piece.size());
    s.next_out = reinterpret_cast<std::uint8_t*>(data.data());
    s.avail_out = std::uint32_t(data.size());
    s.end_of_stream = 1;
    if (isal_deflate_stateless(&s) != COMP_OK) std::abort();
    data.resize(s.total_out);
    const std::uint32_t crc =
        crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
    return std::string("\x1f\x8b\x08\x04\0\0\0\0\0\xff\x06\0BC\x02\0", 16) +
           Le(std::uint32_t(data.size() + 25), 2) + data + Le(crc, 4) +
           Le(std::uint32_t(piece.size()), 4);
}

std::string Written(const std::string& bytes) {
    static const int fd = memfd_create("bgzf", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
        std::abort();
    return "/proc/self/fd/" + std::to_string(fd);
}

// The content of one part, or the failure that ended it.
std::string ReadPart(const std::string& name, const kelmarin::ByteRange& part, int& code) {
    kelmarin::FileHandle handle;
    handle.Bind(name, false);
    handle.SetRange(part.begin, part.end, part.firstLine);
    handle.SetMemberWindow(part.members);
    std::string content;
    if ((code = handle.Open()) != 0) return content;
    char buffer[4096];
    while (const std::size_t n = handle.Read(buffer, sizeof buffer, code))
        content.append(buffer, n);
    return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmarin;
    if (size < 4) return 0;
    const unsigned parts = (data[0] & 7) + 2;
    const bool damaged = data[0] & 8;
    const std::size_t block = (std::size_t(data[1]) + 1) * 16;
    const std::size_t at = data[2] | std::size_t(data[3]) << 8;
    const std::string content(reinterpret_cast<const char*>(data + 4), size - 4);

    std::string packed;
    for (std::size_t i = 0; i < content.size(); i += block)
        packed += Block(content.substr(i, block));
    packed += Block("");
    if (damaged) packed[at % packed.size()] ^= 0x5A;
    const std::string name = Written(packed);

    std::vector<ByteRange> cut;
    try {
        cut = PartRanges(name, {0, UINT64_MAX}, parts, ReadingMode::Text, 4);
    } catch (const EInOutError&) {
        if (!damaged) std::abort();
        return 0;
    }
    std::string read;
    for (const ByteRange& part : cut) {
        int code = 0;
        read += ReadPart(name, part, code);
        if (code != 0 && !damaged) {
            std::fprintf(stderr, "a part of %zu parts failed with %d\n", cut.size(), code);
            std::abort();
        }
    }
    if (!damaged && read != content) {
        std::fprintf(stderr, "MISMATCH: %zu parts read %zu bytes of %zu\n", cut.size(), read.size(),
                     content.size());
        std::abort();
    }
    return 0;
}
