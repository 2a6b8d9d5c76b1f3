#pragma once
// Bytes compressed as one gzip member, for tests of gzip input.

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace kelmarin::test {

inline std::string Gzip(std::string_view bytes) {
    std::string out(bytes.size() + bytes.size() / 8 + 1024, '\0');
    isal_zstream s;
    isal_deflate_init(&s);
    s.gzip_flag = IGZIP_GZIP;
    s.end_of_stream = 1;
    s.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(bytes.data()));
    s.avail_in = std::uint32_t(bytes.size());
    s.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    s.avail_out = std::uint32_t(out.size());
    if (isal_deflate_stateless(&s) != COMP_OK) std::abort();
    out.resize(s.total_out);
    return out;
}

// One gzip member of one stored block (at most 65,535 bytes), its checksum that of checked: a
// byte changed in bytes inflates without complaint until the checksum at the end.
inline std::string GzipStored(std::string_view bytes, std::string_view checked) {
    const auto le = [](std::uint32_t v, int n) {
        std::string b;
        for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
        return b;
    };
    const auto size = std::uint32_t(bytes.size());
    const std::uint32_t crc =
        crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(checked.data()), checked.size());
    return std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff\x01", 11) + le(size, 2) +
           le(~size & 0xFFFF, 2) + std::string(bytes) + le(crc, 4) + le(size, 4);
}

// bgzip's form: blocks of at most block bytes each compressed as a member with the BGZF extra
// field, then the empty end block.
inline std::string Bgzip(std::string_view bytes, std::size_t block = 65280) {
    const auto le = [](std::uint32_t v, int n) {
        std::string b;
        for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
        return b;
    };
    const auto member = [&](std::string_view piece) {
        std::string data(piece.size() + 1024, '\0');
        isal_zstream s;
        isal_deflate_init(&s);
        s.end_of_stream = 1;
        s.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(piece.data()));
        s.avail_in = std::uint32_t(piece.size());
        s.next_out = reinterpret_cast<std::uint8_t*>(data.data());
        s.avail_out = std::uint32_t(data.size());
        if (isal_deflate_stateless(&s) != COMP_OK) std::abort();
        data.resize(s.total_out);
        const auto crc =
            crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
        return std::string("\x1f\x8b\x08\x04\0\0\0\0\0\xff\x06\0BC\x02\0", 16) +
               le(std::uint32_t(18 + data.size() + 8 - 1), 2) + data + le(crc, 4) +
               le(std::uint32_t(piece.size()), 4);
    };
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += block) out += member(bytes.substr(at, block));
    return out + member({});
}

}  // namespace kelmarin::test
