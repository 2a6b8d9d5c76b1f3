#include "input/shard_range.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "input/in_out_error.h"
#include "input/sequence_reader.h"

namespace kelmarin {

namespace {

constexpr char kEndMark = 0x1A;

// Owns a file descriptor.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

[[noreturn]] void RaiseErrno(int err) { throw EInOutError(IoCodeFromErrno(err)); }

// Reads the file at any offset through one block, for the few forward scans a shard needs.
class ByteScanner {
  public:
    explicit ByteScanner(int fd) : fd_(fd), block_(new char[kBlock]) {}

    // The buffered bytes from pos on; empty at the end of the file.
    std::string_view At(std::uint64_t pos) {
        if (pos < start_ || pos >= start_ + len_) Load(pos);
        return {block_.get() + (pos - start_), std::size_t(start_ + len_ - pos)};
    }

    // Whether byte occurs in [from, to).
    bool Holds(std::uint64_t from, std::uint64_t to, char byte) {
        for (std::uint64_t p = from; p < to;) {
            std::string_view v = At(p);
            if (v.empty()) return false;
            if (v.size() > to - p) v = v.substr(0, std::size_t(to - p));
            if (std::memchr(v.data(), byte, v.size())) return true;
            p += v.size();
        }
        return false;
    }

    struct Line {
        std::uint64_t end;     // where the LF, the end mark or the end of the file is
        bool lf;               // ended by a LF, so that another line may begin after it
        bool header;           // holds '>'
        int first;             // the first byte of its text (CRs are dropped), -1 when empty
        std::uint64_t length;  // of its text, as the line file reads it: without CRs
    };
    // The line that begins at from (or the rest of it).
    Line ScanLine(std::uint64_t from) {
        Line line{from, false, false, -1, 0};
        for (;;) {
            const std::string_view v = At(line.end);
            if (v.empty()) return line;
            for (const char c : v) {
                if (c == '\n' || c == kEndMark) {
                    line.lf = c == '\n';
                    return line;
                }
                line.header |= c == '>';
                if (c != '\r') {
                    if (line.length++ == 0) line.first = static_cast<unsigned char>(c);
                }
                ++line.end;
            }
        }
    }

    // How many bytes equal byte in [0, to).
    std::uint64_t Count(std::uint64_t to, char byte) {
        std::uint64_t n = 0;
        for (std::uint64_t p = 0; p < to;) {
            std::string_view v = At(p);
            if (v.empty()) break;
            if (v.size() > to - p) v = v.substr(0, std::size_t(to - p));
            for (const char c : v) n += c == byte;
            p += v.size();
        }
        return n;
    }

    // Where the first line that begins at or after pos begins; the end of the content when
    // none does.
    std::uint64_t LineStartFrom(std::uint64_t pos) {
        if (pos == 0) return 0;
        const Line rest = ScanLine(pos - 1);
        return rest.lf ? rest.end + 1 : rest.end;
    }

    // Whether pos is at or past the end of the content: the end of the file or an end mark.
    bool ContentEndsAt(std::uint64_t pos) {
        const std::string_view v = At(pos);
        return v.empty() || v.front() == kEndMark;
    }

  private:
    static constexpr std::size_t kBlock = 1 << 20;

    void Load(std::uint64_t pos) {
        ssize_t n;
        do {
            n = ::pread(fd_, block_.get(), kBlock, off_t(pos));
        } while (n < 0 && errno == EINTR);
        if (n < 0) RaiseErrno(errno);
        start_ = pos;
        len_ = std::size_t(n);
    }

    int fd_;
    std::unique_ptr<char[]> block_;
    std::uint64_t start_ = 0;
    std::size_t len_ = 0;
};

// Plain text: the lines that begin in [first, bounds.end), first being the first of them.
ByteRange TextRange(ByteScanner& scan, std::uint64_t first, ByteRange bounds) {
    return {first, scan.LineStartFrom(bounds.end)};
}

// Where the first header line that begins at or after pos begins; the end of the content
// when none does.
std::uint64_t HeaderFrom(ByteScanner& scan, std::uint64_t pos) {
    std::uint64_t line = scan.LineStartFrom(pos);
    for (;;) {
        const ByteScanner::Line l = scan.ScanLine(line);
        if (l.header) return line;
        if (!l.lf) return l.end;
        line = l.end + 1;
    }
}

// FASTA: from the first header line that begins in [first, bounds.end) to the first header
// line that begins at or after bounds.end. A file without any header line reads as one
// record, its last line, which goes to the shard in which that line begins.
ByteRange FastaRange(ByteScanner& scan, std::uint64_t first, ByteRange bounds) {
    for (std::uint64_t line = first;;) {
        const ByteScanner::Line l = scan.ScanLine(line);
        if (l.header) return {line, HeaderFrom(scan, bounds.end)};
        if (!l.lf || scan.ContentEndsAt(l.end + 1)) {
            if (scan.Holds(0, first, '>')) return {};
            return {line, l.end + (l.lf ? 1 : 0)};
        }
        if (l.end + 1 >= bounds.end) return {};
        line = l.end + 1;
    }
}

// Whether a FASTQ record begins at the line at pos: '@', then sequence lines (at least one, none
// beginning with '@' or '+'), a '+' line, and quality lines whose lengths add up to the
// sequence's. A quality line may begin with '@', but the line after a record is a header or
// empty, never a sequence line, so a quality line never passes for a header.
bool FastqRecordAt(ByteScanner& scan, std::uint64_t pos) {
    ByteScanner::Line l = scan.ScanLine(pos);
    if (l.first != '@' || !l.lf) return false;
    std::uint64_t bases = 0;
    int sequenceLines = 0;
    for (;;) {
        pos = l.end + 1;
        if (scan.ContentEndsAt(pos)) return false;
        l = scan.ScanLine(pos);
        if (l.first == '+') break;
        if (l.first == '@' || !l.lf) return false;
        bases += l.length;
        ++sequenceLines;
    }
    if (sequenceLines == 0) return false;
    for (std::uint64_t quality = 0; quality < bases;) {
        if (!l.lf || scan.ContentEndsAt(l.end + 1)) return false;
        l = scan.ScanLine(l.end + 1);
        quality += l.length;
        if (quality > bases) return false;
    }
    return true;
}

// Where the first FASTQ record that begins at or after pos begins; the end of the content when
// none does.
std::uint64_t FastqRecordFrom(ByteScanner& scan, std::uint64_t pos) {
    for (std::uint64_t line = scan.LineStartFrom(pos);;) {
        if (FastqRecordAt(scan, line)) return line;
        const ByteScanner::Line l = scan.ScanLine(line);
        if (!l.lf) return l.end;
        line = l.end + 1;
    }
}

// FASTQ: from the first record that begins in [bounds.begin, bounds.end) (the first shard from
// the first byte, as the whole file is read) to the first record at or after bounds.end.
ByteRange FastqRange(ByteScanner& scan, ByteRange bounds) {
    const std::uint64_t begin = bounds.begin == 0 ? 0 : FastqRecordFrom(scan, bounds.begin);
    if (begin >= bounds.end || scan.ContentEndsAt(begin)) return {};
    return {begin, FastqRecordFrom(scan, bounds.end), 1 + scan.Count(begin, '\n')};
}

}  // namespace

ByteRange ShardBounds(std::uint64_t size, std::uint64_t k, std::uint64_t n) {
    if (k == 0 || k > n) return {};  // no such shard
    // floor(j * size / n), exact for any size and n.
    const auto at = [&](std::uint64_t j) {
        return std::uint64_t(static_cast<unsigned __int128>(j) * size / n);
    };
    return {at(k - 1), at(k)};
}

ByteRange ShardReadRange(const std::string& name, std::uint64_t k, std::uint64_t n,
                         std::string_view mode) {
    // Non-blocking, so that a FIFO without a writer cannot hang the open; it is refused below.
    const Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) RaiseErrno(errno);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) RaiseErrno(errno);
    if (!S_ISREG(st.st_mode)) RaiseErrno(S_ISDIR(st.st_mode) ? EISDIR : ESPIPE);  // cannot seek
    const ByteRange bounds = ShardBounds(std::uint64_t(st.st_size), k, n);
    if (bounds.Empty()) return {};
    ByteScanner scan(fd.Get());
    // An end mark anywhere before the shard ends the file before it.
    if (scan.Holds(0, bounds.begin, kEndMark)) return {};
    if (mode == kFastqMode) return FastqRange(scan, bounds);
    const std::uint64_t first = scan.LineStartFrom(bounds.begin);
    if (first >= bounds.end || scan.ContentEndsAt(first)) return {};
    return mode == kFastaMode ? FastaRange(scan, first, bounds) : TextRange(scan, first, bounds);
}

}  // namespace kelmarin
