// Inflating BGZF (bgzip) blocks whole and one by one, as a reader spreading blocks over threads
// would: ISA-L (raw deflate plus its own CRC, or its gzip mode) against libdeflate. Every block
// is checked against its trailer (size and CRC), since a reader has to. MB/s are of output.

#include <benchmark/benchmark.h>
#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

struct Block {
    std::size_t offset = 0;      // of the gzip member in the file
    std::size_t size = 0;        // of the whole member (BSIZE + 1)
    std::size_t headerSize = 0;  // 12 + XLEN: where the deflate data starts
    std::uint32_t crc = 0;       // of the output, from the trailer
    std::uint32_t outSize = 0;   // ISIZE
};

struct BgzfFile {
    std::vector<std::uint8_t> bytes;
    std::vector<Block> blocks;
    std::uint64_t outTotal = 0;
    std::string error;
};

static std::uint32_t Le(const std::uint8_t* p, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

// Splits the file on BSIZE alone, never inflating, so that the timed loops are all inflation.
static std::string ParseBlocks(BgzfFile& f) {
    const std::uint8_t* d = f.bytes.data();
    for (std::size_t at = 0, n = f.bytes.size(); at < n;) {
        const std::uint8_t* h = d + at;
        if (n - at < 18 || h[0] != 0x1f || h[1] != 0x8b || h[2] != 8 || h[3] != 4)
            return "not a BGZF block header at offset " + std::to_string(at);
        const std::size_t headerSize = 12 + Le(h + 10, 2);
        std::size_t size = 0;
        // Every subfield that could be BC is read whole, within both the header and the file.
        for (std::size_t s = 12; s + 6 <= std::min(headerSize, n - at);) {
            const std::size_t slen = Le(h + s + 2, 2);
            if (h[s] == 'B' && h[s + 1] == 'C' && slen == 2) size = Le(h + s + 4, 2) + 1;
            s += 4 + slen;
        }
        if (size < headerSize + 8 || size > n - at)
            return "no valid BC field in block at offset " + std::to_string(at);
        const Block b{at, size, headerSize, Le(h + size - 8, 4), Le(h + size - 4, 4)};
        if (b.outSize > 65536) return "block larger than 64 KiB at offset " + std::to_string(at);
        f.blocks.push_back(b);
        f.outTotal += b.outSize;
        at += size;
    }
    return f.blocks.empty() ? "empty file" : "";
}

static const BgzfFile& File() {
    static const BgzfFile file = [] {
        BgzfFile f;
        const char* env = std::getenv("KELMARIN_BGZF_FILE");
        const std::string path = env ? env : "build/bench-data/generated.fq.bgz";
        if (!std::filesystem::exists(path) && path.ends_with(".bgz")) {
            // Built from the plain file next to it; a failed run must not leave half a file.
            const std::string plain = path.substr(0, path.size() - 4);
            if (std::system(("bgzip -c -@1 '" + plain + "' > '" + path + "'").c_str()) != 0)
                std::filesystem::remove(path);
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            f.error = "cannot open or make " + path;
            return f;
        }
        f.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        f.error = ParseBlocks(f);
        return f;
    }();
    return file;
}

// Inflates every block with `inflate` (returns the output size, or -1 on any failure) and
// checks the size against ISIZE.
template <typename Inflate>
static void RunBlocks(benchmark::State& state, Inflate inflate) {
    const BgzfFile& f = File();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    static std::vector<std::uint8_t> out(65536);
    for (auto _ : state) {
        for (const Block& b : f.blocks) {
            if (inflate(f.bytes.data() + b.offset, b, out.data()) != std::int64_t{b.outSize}) {
                state.SkipWithError("block failed to inflate or to check");
                return;
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.outTotal));
}

static void BM_IsalStatelessBlocks(benchmark::State& state) {
    // The state is large; one for the whole run, as a reader thread would keep.
    auto s = std::make_unique<inflate_state>();
    RunBlocks(state, [&](const std::uint8_t* member, const Block& b, std::uint8_t* out) {
        isal_inflate_init(s.get());
        s->crc_flag = ISAL_DEFLATE;
        s->next_in = const_cast<std::uint8_t*>(member + b.headerSize);
        s->avail_in = static_cast<std::uint32_t>(b.size - b.headerSize - 8);
        s->next_out = out;
        s->avail_out = 65536;
        if (isal_inflate_stateless(s.get()) != ISAL_DECOMP_OK) return std::int64_t{-1};
        // Raw mode leaves the CRC to us; without it this would be doing less than the others.
        if (crc32_gzip_refl(0, out, s->total_out) != b.crc) return std::int64_t{-1};
        return std::int64_t{s->total_out};
    });
}

static void BM_IsalGzipBlocks(benchmark::State& state) {
    auto s = std::make_unique<inflate_state>();
    RunBlocks(state, [&](const std::uint8_t* member, const Block& b, std::uint8_t* out) {
        isal_inflate_init(s.get());
        s->crc_flag = ISAL_GZIP;
        s->next_in = const_cast<std::uint8_t*>(member);
        s->avail_in = static_cast<std::uint32_t>(b.size);
        s->next_out = out;
        s->avail_out = 65536;
        if (isal_inflate(s.get()) != ISAL_DECOMP_OK || s->block_state != ISAL_BLOCK_FINISH)
            return std::int64_t{-1};
        return std::int64_t{s->total_out};
    });
}

static void BM_LibdeflateBlocks(benchmark::State& state) {
    std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> d(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    RunBlocks(state, [&](const std::uint8_t* member, const Block& b, std::uint8_t* out) {
        std::size_t outSize = 0;
        if (libdeflate_gzip_decompress(d.get(), member, b.size, out, 65536, &outSize) !=
            LIBDEFLATE_SUCCESS)
            return std::int64_t{-1};
        return static_cast<std::int64_t>(outSize);
    });
}

BENCHMARK(BM_IsalStatelessBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IsalGzipBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibdeflateBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
