#include "input/shard_range.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
            // The line's end in this block: its LF or an end mark, whichever comes first.
            const char* p = v.data();
            const char* stop = static_cast<const char*>(std::memchr(p, '\n', v.size()));
            const char* blockEnd = stop ? stop : p + v.size();
            if (const void* mark = std::memchr(p, kEndMark, std::size_t(blockEnd - p)))
                blockEnd = static_cast<const char*>(mark);
            Measure(line, std::string_view(p, std::size_t(blockEnd - p)));
            line.end += std::uint64_t(blockEnd - p);
            if (blockEnd != p + v.size()) {
                line.lf = *blockEnd == '\n';
                return line;
            }
        }
    }

    // Adds a piece of a line to what is known of it: CRs are dropped from its text.
    static void Measure(Line& line, std::string_view piece) {
        line.header = line.header || piece.find('>') != std::string_view::npos;
        const std::size_t crs = std::size_t(std::count(piece.begin(), piece.end(), '\r'));
        if (line.length == 0) {
            const std::size_t first = piece.find_first_not_of('\r');
            if (first != std::string_view::npos)
                line.first = static_cast<unsigned char>(piece[first]);
        }
        line.length += piece.size() - crs;
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

// The records of a FASTQ file as the reader finds them, from the first byte on: in multi-line
// FASTQ a quality line may begin with '@' and the lines after it may pass for a whole record,
// so no look at the lines near a cut can tell where a record begins; only a walk from the
// start can. The walk measures lines with memchr and keeps no sequence.
class FastqWalk {
  public:
    explicit FastqWalk(ByteScanner& scan) : scan_(scan) {}

    // The start of the next record and its line number; false at the end of the content or
    // at a fault, which the shard that reads it raises as the reader does.
    bool Next(std::uint64_t& start, std::uint64_t& line) {
        Line l = At();
        while (l.length == 0 && l.lf) l = Skip(l);  // empty lines between records
        if (l.first != '@' || !l.lf) return false;
        start = pos_;
        line = line_;
        std::uint64_t bases = 0;
        for (l = Skip(l); l.first != '+'; l = Skip(l)) {
            if (l.first == '@' || !l.lf) return false;
            bases += l.length;
        }
        for (std::uint64_t quality = 0; quality < bases; quality += l.length) {
            if (!l.lf) return false;
            l = Skip(l);
            if (l.end == pos_ && !l.lf) return false;  // nothing left
        }
        Skip(l);
        return true;
    }

  private:
    using Line = ByteScanner::Line;

    Line At() { return scan_.ScanLine(pos_); }
    // Moves past line l, which begins at pos_; the line after it.
    Line Skip(const Line& l) {
        pos_ = l.lf ? l.end + 1 : l.end;
        line_ += l.lf;
        return At();
    }

    ByteScanner& scan_;
    std::uint64_t pos_ = 0;
    std::uint64_t line_ = 1;
};

// FASTQ: from the first record that begins in [bounds.begin, bounds.end) (the first shard from
// the first byte, as the whole file is read) to the first record at or after bounds.end. A
// fault met before bounds.end sends the rest of the file to this shard, whose run raises it.
ByteRange FastqRange(ByteScanner& scan, ByteRange bounds, std::uint64_t size) {
    FastqWalk walk(scan);
    std::uint64_t begin = 0, line = 1;
    if (bounds.begin > 0) {
        do {
            if (!walk.Next(begin, line)) return {};
        } while (begin < bounds.begin);
        if (begin >= bounds.end) return {};
    }
    std::uint64_t end = 0, endLine = 0;
    do {
        if (!walk.Next(end, endLine)) return {begin, size, line};
    } while (end < bounds.end);
    return {begin, end, line};
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
                         ReadingMode mode) {
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
    if (mode == ReadingMode::Fastq) return FastqRange(scan, bounds, std::uint64_t(st.st_size));
    const std::uint64_t first = scan.LineStartFrom(bounds.begin);
    if (first >= bounds.end || scan.ContentEndsAt(first)) return {};
    return mode == ReadingMode::Fasta ? FastaRange(scan, first, bounds)
                                      : TextRange(scan, first, bounds);
}

}  // namespace kelmarin
