#include "input/shard_range.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "input/bgzf.h"
#include "input/file_content.h"
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
    explicit ByteScanner(int fd) : fd_(fd), block_(new char[kBlock]), bytes_(block_.get()) {}
    // Bytes in memory, which are all there is.
    explicit ByteScanner(std::string_view bytes) : bytes_(bytes.data()), len_(bytes.size()) {}

    // The buffered bytes from pos on; empty at the end of the file.
    std::string_view At(std::uint64_t pos) {
        if (pos < start_ || pos >= start_ + len_) {
            if (fd_ < 0) return {};
            Load(pos);
        }
        return {bytes_ + (pos - start_), std::size_t(start_ + len_ - pos)};
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

    int fd_ = -1;
    std::unique_ptr<char[]> block_;
    const char* bytes_;
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

// Opens name for the scans, non-blocking so that a FIFO without a writer cannot hang the open.
int OpenForScans(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) RaiseErrno(errno);
    return fd;
}

// The size of the open file, which must be a regular file: the scans seek.
std::uint64_t RegularSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) RaiseErrno(errno);
    if (!S_ISREG(st.st_mode)) RaiseErrno(S_ISDIR(st.st_mode) ? EISDIR : ESPIPE);
    return std::uint64_t(st.st_size);
}

// Whether a four-line record begins at pos: a '@' line, a sequence line, a '+' line and a
// quality line as long as the sequence, then the next record's '@' line or the end. A quality
// line that begins with '@' fails here, as the line after it does not begin with '+'.
bool FourLineRecordAt(ByteScanner& scan, std::uint64_t pos) {
    const ByteScanner::Line head = scan.ScanLine(pos);
    if (head.first != '@' || !head.lf) return false;
    const ByteScanner::Line seq = scan.ScanLine(head.end + 1);
    if (!seq.lf || seq.first == '@' || seq.first == '+') return false;
    const ByteScanner::Line plus = scan.ScanLine(seq.end + 1);
    if (plus.first != '+' || !plus.lf) return false;
    const ByteScanner::Line quality = scan.ScanLine(plus.end + 1);
    if (quality.length != seq.length || !quality.lf) return false;
    const ByteScanner::Line next = scan.ScanLine(quality.end + 1);
    return next.first == '@' || (next.length == 0 && !next.lf);
}

// Whether a header line begins in [from, to).
bool HeaderBefore(ByteScanner& scan, std::uint64_t from, std::uint64_t to) {
    for (std::uint64_t line = scan.LineStartFrom(from); line < to;) {
        const ByteScanner::Line l = scan.ScanLine(line);
        if (l.header) return true;
        if (!l.lf) return false;
        line = l.end + 1;
    }
    return false;
}

// Where a part that ends near pos may end: see PartRanges. end when there is no such place
// before it.
std::uint64_t PartCut(ByteScanner& scan, std::uint64_t pos, std::uint64_t end, ReadingMode mode) {
    std::uint64_t cut = scan.LineStartFrom(pos);
    if (mode == ReadingMode::Fasta) cut = HeaderFrom(scan, cut);
    if (mode == ReadingMode::Fastq) {
        // Records are short: one is found within a few lines, or the layout is not four lines.
        constexpr std::uint64_t kLook = 1 << 20;
        while (cut < end && cut - pos < kLook && !FourLineRecordAt(scan, cut)) {
            const ByteScanner::Line l = scan.ScanLine(cut);
            if (!l.lf) return end;
            cut = l.end + 1;
        }
        if (cut - pos >= kLook) return end;
    }
    return cut < end && !scan.ContentEndsAt(cut) ? cut : end;
}

// Where parts of a span of bytes end, for threads that each take the next part left: a part is a
// 1/(2 x threads) share of what is left, and none is shorter than smallest, so that the parts
// taken last, as the threads finish, are short (the last part ends at the span's end).
std::vector<std::uint64_t> PartEnds(std::uint64_t span, unsigned threads, std::uint64_t smallest) {
    std::vector<std::uint64_t> ends;
    smallest = std::max<std::uint64_t>(smallest, 1);
    if (threads < 2) return ends;
    for (std::uint64_t at = 0; span - at >= 2 * smallest;) {
        at += std::max((span - at) / (2 * threads), smallest);
        ends.push_back(at);
    }
    return ends;
}

// A BGZF file cut into parts at the first record that begins in the content of the block nearest
// each of ends: each part begins at a block, skipping the content before its record, and ends in
// the block where the next part's first record begins.
std::vector<ByteRange> BgzfPartRanges(int fd, std::uint64_t size,
                                      const std::vector<std::uint64_t>& ends, ReadingMode mode) {
    // Enough content to find a record in, unless records are long: a FASTA file of
    // chromosomes is cut only where a header happens to follow a cut closely.
    constexpr std::size_t kLook = 1 << 20;
    if (mode == ReadingMode::Fasta) {  // as for plain files
        const BgzfContent first = InflateBgzfBlocks(fd, 0, 1);
        ByteScanner scan(first.bytes);
        if (!HeaderBefore(scan, 0, first.bytes.size())) return {};
    }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> cuts{{0, 0}};  // block, skip
    for (const std::uint64_t end : ends) {
        const std::uint64_t block = BgzfBlockFrom(fd, end, size);
        if (block >= size) break;
        // A few blocks first: reads and genes begin in every block.
        BgzfContent content;
        std::uint64_t at = 0;
        for (std::size_t look = 1; look <= kLook && at >= content.bytes.size(); look *= 8) {
            content = InflateBgzfBlocks(fd, block, look);
            ByteScanner scan(content.bytes);
            at = PartCut(scan, 1, content.bytes.size(), mode);
            if (content.bytes.size() < look) break;  // the end of the file, or damage
        }
        if (at >= content.bytes.size()) continue;
        // The block the record begins in, and where in it.
        std::size_t b = content.starts.size() - 1;
        while (content.starts[b] > at) --b;
        const std::pair<std::uint64_t, std::uint64_t> cut{content.offsets[b],
                                                          at - content.starts[b]};
        if (cut > cuts.back()) cuts.push_back(cut);
    }
    std::vector<ByteRange> ranges;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        ByteRange r{cuts[i].first, UINT64_MAX};
        MemberWindow& w = r.members.emplace();
        w.skip = cuts[i].second;
        if (i + 1 < cuts.size()) {
            w.ends = true;
            w.endMember = cuts[i + 1].first;
            w.endSkip = cuts[i + 1].second;
        }
        ranges.push_back(r);
    }
    return ranges;
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

std::vector<ByteRange> PartRanges(const std::string& name, ByteRange range, unsigned threads,
                                  ReadingMode mode, std::uint64_t smallest) {
    std::vector<ByteRange> cut{range};
    if (threads < 2) return cut;
    const Fd fd(OpenForScans(name));
    const std::uint64_t size = RegularSize(fd.Get());
    range.end = std::min(range.end, size);
    if (range.end <= range.begin) return cut;
    ByteScanner scan(fd.Get());
    const std::string_view first = scan.At(0);
    if (IsGzipMagic(first.data(), first.size())) {
        // Only bgzip's blocks can be found and inflated apart, and only a whole file is cut.
        const bool bgzf =
            BgzfBlockSize(reinterpret_cast<const unsigned char*>(first.data()), first.size());
        if (!bgzf || range.begin != 0 || range.end != size) return cut;
        const std::vector<ByteRange> blocks =
            BgzfPartRanges(fd.Get(), size, PartEnds(size, threads, smallest / 4), mode);
        return blocks.size() > 1 ? blocks : cut;
    }
    const std::vector<std::uint64_t> ends = PartEnds(range.end - range.begin, threads, smallest);
    if (ends.empty()) return cut;
    // Lines before the first header read otherwise in a part of their own.
    if (mode == ReadingMode::Fasta && !HeaderBefore(scan, range.begin, range.begin + ends[0]))
        return cut;
    for (const std::uint64_t end : ends) {
        const std::uint64_t at = PartCut(scan, range.begin + end, range.end, mode);
        if (at >= range.end) break;
        if (at <= cut.back().begin) continue;
        cut.back().end = at;
        cut.push_back({at, range.end});
    }
    return cut;
}

ByteRange ShardReadRange(const std::string& name, std::uint64_t k, std::uint64_t n,
                         ReadingMode mode) {
    const Fd fd(OpenForScans(name));
    const std::uint64_t size = RegularSize(fd.Get());
    const ByteRange bounds = ShardBounds(size, k, n);
    if (bounds.Empty()) return {};
    ByteScanner scan(fd.Get());
    // An end mark anywhere before the shard ends the file before it.
    if (scan.Holds(0, bounds.begin, kEndMark)) return {};
    if (mode == ReadingMode::Fastq) return FastqRange(scan, bounds, size);
    const std::uint64_t first = scan.LineStartFrom(bounds.begin);
    if (first >= bounds.end || scan.ContentEndsAt(first)) return {};
    return mode == ReadingMode::Fasta ? FastaRange(scan, first, bounds)
                                      : TextRange(scan, first, bounds);
}

}  // namespace kelmarin
