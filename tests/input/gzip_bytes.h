#pragma once
// Bytes compressed as one gzip member, for tests of gzip input.

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

}  // namespace kelmarin::test
