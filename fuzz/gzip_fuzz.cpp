// Reads gzip content through the line file. Fuzzed bytes packed as one or two gzip members must
// read as exactly the lines of the bytes themselves, or as FASTQ as exactly the model's records
// (by the plain model, malformed files failing at its line); fuzzed bytes behind the gzip magic,
// damaged as they come, must read to an end or fail with EInOutError. The inflating runs on a
// thread of its own or not, as kelmarin-batch and the window read.
//
// Input: flags (bit 0: damaged data rather than packed; bit 1: read as FASTQ; bit 2: inflate on
// a thread of its own), buffer size, where the second member begins (2 bytes, little-endian, 0
// for one member), then the content.

#include <isa-l/igzip_lib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/reading_model.h"
#include "input/in_out_error.h"
#include "input/line_text_file.h"
#include "input/sequence_reader.h"

namespace {

std::string Gzip(const std::string& plain) {
    isal_zstream s;
    isal_deflate_stateless_init(&s);
    std::string out(plain.size() * 2 + 1024, '\0');
    s.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(plain.data()));
    s.avail_in = std::uint32_t(plain.size());
    s.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    s.avail_out = std::uint32_t(out.size());
    s.end_of_stream = 1;
    s.gzip_flag = IGZIP_GZIP;
    s.level = 0;
    if (isal_deflate_stateless(&s) != COMP_OK) std::abort();
    out.resize(s.total_out);
    return out;
}

std::string Written(const std::string& bytes) {
    static const int fd = memfd_create("gz", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
        std::abort();
    return "/proc/self/fd/" + std::to_string(fd);
}

[[noreturn]] void Mismatch(const std::string& what, std::size_t size) {
    std::fprintf(stderr, "MISMATCH in gzip FASTQ of %zu bytes: %s\n", size, what.c_str());
    std::abort();
}

// The content read as FASTQ in one pass, as kelmarin-batch reads a gzip file.
void ReadFastq(kelmarin::LineTextFile& file, std::vector<char>& buffer,
               const std::string& content) {
    using namespace kelmarin;
    SequenceReader reader(file);
    std::string look;
    model::Reader expected(content, model::Mode::Fastq, look);
    reader.Open();
    file.UseBuffer(buffer.data(), buffer.size());
    std::string seq;
    try {
        do {
            reader.NextSequence(ReadingMode::Fastq, {}, seq);
            if (seq != expected.NextSequence(false))
                Mismatch("sequence '" + seq + "'", content.size());
        } while (!file.AtEnd());
    } catch (const EInOutError& e) {
        const std::string line = "line " + std::to_string(expected.FaultLine()) + ":";
        if (expected.FaultLine() == 0 || std::string(e.what()).rfind(line, 0) != 0)
            Mismatch(std::string("fault ") + e.what() + ", model " + line, content.size());
        return;
    }
    if (expected.FaultLine() != 0) Mismatch("no fault", content.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmarin;
    if (size < 4) return 0;
    const bool damaged = data[0] & 1;
    const bool fastq = data[0] & 2;
    std::vector<char> buffer(std::size_t(data[1]) + 2);  // the line file's buffers hold 2 or more
    const std::size_t split = data[2] | std::size_t(data[3]) << 8;
    const std::string content(reinterpret_cast<const char*>(data + 4), size - 4);

    LineTextFile file;
    file.ReadAhead(data[0] & 4);
    if (damaged) {
        file.BindName(Written("\x1f\x8b" + content));
        file.UseBuffer(buffer.data(), buffer.size());
        try {
            file.OpenInput();
            CheckIo();
            std::string line;
            do {
                file.NextLine(line);
                CheckIo();
            } while (!file.AtEnd());
            CheckIo();
        } catch (const EInOutError&) {
        }
        return 0;
    }

    const std::size_t first = split == 0 || split > content.size() ? content.size() : split;
    std::string packed = Gzip(content.substr(0, first));
    if (first < content.size()) packed += Gzip(content.substr(first));
    file.BindName(Written(packed));
    if (fastq) {
        ReadFastq(file, buffer, content);
        return 0;
    }
    file.UseBuffer(buffer.data(), buffer.size());
    file.OpenInput();
    CheckIo();
    model::LineFile expected(content);
    for (int n = 1;; ++n) {
        std::string line;
        file.NextLine(line);
        CheckIo();
        const std::string want = expected.NextLine();
        const bool atEnd = file.AtEnd();
        CheckIo();
        if (line != want || atEnd != expected.AtEnd()) {
            std::fprintf(stderr, "MISMATCH at line %d of %zu bytes in gzip: '%s', model '%s'\n", n,
                         content.size(), line.c_str(), want.c_str());
            std::abort();
        }
        if (atEnd) break;
    }
    return 0;
}
