#include "input/line_text_file.h"

#include <cstring>

#include "input/in_out_error.h"
#include "platform/processor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelmarin {

namespace {

void SetIoResult(int code) { InOutRes() = code; }

#if defined(__x86_64__)
// As FindLineStop, 32 bytes at a time, while 32 are left: a line of a short read takes half
// the steps. Returns the stop, or where fewer than 32 bytes are left before end.
template <bool kProbe>
__attribute__((target("avx2"))) const char* FindLineStopAvx2(const char* p, const char* end,
                                                             char probe, bool& found) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i mark = _mm256_set1_epi8(0x1A);
    const __m256i pr = _mm256_set1_epi8(probe);
    for (; end - p >= 32; p += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i hit =
            _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, lf), _mm256_cmpeq_epi8(v, cr)),
                            _mm256_cmpeq_epi8(v, mark));
        const unsigned stops = unsigned(_mm256_movemask_epi8(hit));
        const unsigned probes =
            kProbe ? unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, pr))) : 0u;
        if (stops) {
            const int at = __builtin_ctz(stops);
            if (kProbe && (probes & ((1u << at) - 1))) found = true;
            return p + at;
        }
        if (kProbe && probes) found = true;
    }
    return p;
}
#endif

#if defined(__SSE2__)
// As FindLineStop, 16 bytes at a time, while 16 are left. Returns the stop, or where fewer than
// 16 bytes are left before end.
template <bool kProbe>
const char* FindLineStopSse2(const char* p, const char* end, char probe, bool& found) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i mark = _mm_set1_epi8(0x1A);
    const __m128i pr = _mm_set1_epi8(probe);
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)),
                                         _mm_cmpeq_epi8(v, mark));
        const unsigned stops = unsigned(_mm_movemask_epi8(hit));
        const unsigned probes = kProbe ? unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, pr))) : 0u;
        if (stops) {
            const int at = __builtin_ctz(stops);
            if (kProbe && (probes & ((1u << at) - 1))) found = true;
            return p + at;
        }
        if (kProbe && probes) found = true;
    }
    return p;
}
#endif

// First byte in [p, end) that can end or shorten a line: LF, CR or the end mark 0x1A. With
// kProbe, found is also set when probe occurs before that byte, in the same pass.
template <bool kProbe>
const char* FindLineStop(const char* p, const char* end, char probe, bool& found) {
#if defined(__x86_64__)
    if (UseAvx2()) {
        p = FindLineStopAvx2<kProbe>(p, end, probe, found);
        if (end - p >= 32) return p;  // a stop: only a stop leaves more than 31 bytes
    }
#endif
#if defined(__SSE2__)
    if (UseVectors()) {
        p = FindLineStopSse2<kProbe>(p, end, probe, found);
        if (end - p >= 16) return p;
    }
#endif
    for (; p < end && *p != '\n' && *p != '\r' && *p != 0x1A; ++p)
        if (kProbe && *p == probe) found = true;
    return p;
}

const char* FindLineStop(const char* p, const char* end) {
    bool unused = false;
    return FindLineStop<false>(p, end, 0, unused);
}

std::uint64_t CountByte(const char* p, const char* end, char byte) {
    std::uint64_t n = 0;
#if defined(__SSE2__)
    const __m128i b = _mm_set1_epi8(byte);
    if (UseVectors())
        for (; end - p >= 16; p += 16)
            n += unsigned(__builtin_popcount(unsigned(_mm_movemask_epi8(
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), b)))));
#endif
    for (; p < end; ++p) n += *p == byte;
    return n;
}

}  // namespace

LineTextFile::~LineTextFile() { CloseHandle(); }

void LineTextFile::CloseHandle() {
    const int code = handle_.Close();
    buffer_ = home_;  // lent bytes went with the content's reading
    pos_ = end_ = 0;
    atLastByte_ = false;
    if (code != 0) SetIoResult(code);
}

void LineTextFile::Bind(std::string name, bool once) {
    handle_.Bind(std::move(name), once);
    state_ = State::Closed;
    endMark_ = true;
    buffer_ = home_ = ownBuffer_.data();
    size_ = ownBuffer_.size();
    pos_ = end_ = 0;
    atLastByte_ = false;
}

void LineTextFile::BindName(std::string name) { Bind(std::move(name), false); }

void LineTextFile::BindStream(std::string name) { Bind(std::move(name), true); }

void LineTextFile::SetRange(std::uint64_t begin, std::uint64_t end, std::uint64_t firstLine) {
    handle_.SetRange(begin, end, firstLine);
}

void LineTextFile::UseBuffer(char* buffer, std::size_t size) {
    buffer_ = home_ = buffer;
    size_ = size;
    pos_ = end_ = 0;
    atLastByte_ = false;
}

void LineTextFile::OpenInput() {
    if (state_ == State::Unbound) {
        SetIoResult(kIoNotBound);
        return;
    }
    if (state_ == State::Input) CloseInput();
    state_ = State::Closed;
    pos_ = end_ = 0;
    atLastByte_ = false;
    if (const int code = handle_.Open()) {
        SetIoResult(code);
        return;
    }
    state_ = State::Input;
}

FileIdentity LineTextFile::Identity() const {
    return state_ == State::Input ? handle_.Identity() : FileIdentity{};
}

void LineTextFile::CheckSameFile(const FileIdentity& seen) {
    if (!handle_.IsSameFile(seen)) SetIoResult(kIoFileChanged);
}

void LineTextFile::CloseInput() {
    if (state_ != State::Input) {
        SetIoResult(kIoNotOpen);
        return;
    }
    CloseHandle();
    state_ = State::Closed;
}

bool LineTextFile::Refill() {
    int code = 0;
    std::size_t n = 0;
    buffer_ = home_;
    pos_ = 0;
    atLastByte_ = false;
    if (handle_.Lends()) {
        // Bytes read ahead are used where they lie: copying them would cost as much as
        // reading them did.
        const std::string_view lent = handle_.Lend(code);
        if (!lent.empty()) buffer_ = lent.data();
        n = lent.size();
    } else {
        n = handle_.Read(home_, size_, code);
    }
    if (code != 0) {
        end_ = 0;
        SetIoResult(code);
        return false;
    }
    end_ = n;
    if (n == 0) {
        // Later reads find the mark in the buffer and need not ask the system again.
        if (endMark_) home_[end_++] = kEndMark;
        atLastByte_ = true;
        return false;
    }
    return true;
}

void LineTextFile::ReadRestOfGzip() {
    if (state_ != State::Input || !handle_.Inflates()) return;
    while (Refill()) {
    }
    pos_ = end_;
}

int LineTextFile::PeekByte() {
    if (state_ != State::Input) {
        SetIoResult(kIoNotInput);
        return kEnd;
    }
    if (pos_ == end_ && !Refill()) return kEnd;
    const auto c = static_cast<unsigned char>(buffer_[pos_]);
    if (c == kEndMark && endMark_) return kEnd;
    return c;
}

void LineTextFile::ReadText(std::string& line) {
    ReadTextInto([&line](const char* p, std::size_t n) { line.append(p, n); });
}

template <typename Take>
void LineTextFile::ReadTextInto(Take&& take) {
    for (;;) {
        if (PeekByte() == kEnd) return;
        const char* start = buffer_ + pos_;
        const char* stop = FindLineStop(start, buffer_ + end_);
        take(start, std::size_t(stop - start));
        pos_ = std::size_t(stop - buffer_);
        if (pos_ == end_) continue;  // the line goes on in the next block
        const char c = *stop;
        if (c == '\n') return;
        if (c == kEndMark) {
            if (endMark_) return;
            take(stop, 1);
            ++pos_;
        } else {
            // A CR is dropped unless a LF follows it; CR LF ends the line. Consuming the CR
            // before looking past it leaves the same line and the same unread line end.
            ++pos_;
            if (PeekByte() == '\n') return;
        }
    }
}

void LineTextFile::SkipLine() {
    // The common case, in one pass: the line and its LF in the buffer, no CR or end mark.
    bool unused = false;
    if (const char* lf = WholeLine<false>(0, unused)) {
        pos_ = std::size_t(lf - buffer_) + 1;
        return;
    }
    for (;;) {
        if (PeekByte() == kEnd) return;
        const char* start = buffer_ + pos_;
        const char* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
        const char* mark =
            endMark_ ? static_cast<const char*>(std::memchr(
                           start, kEndMark, std::size_t((lf ? lf : buffer_ + end_) - start)))
                     : nullptr;
        if (mark) {
            pos_ = std::size_t(mark - buffer_);
            return;
        }
        if (lf) {
            pos_ = std::size_t(lf - buffer_) + 1;
            return;
        }
        pos_ = end_;
    }
}

void LineTextFile::NextLine(std::string& line) {
    line.clear();
    AppendLine(line);
}

template <bool kProbe>
const char* LineTextFile::WholeLine(char probe, bool& found) const {
    if (state_ != State::Input || pos_ >= end_) return nullptr;
    const char* stop = FindLineStop<kProbe>(buffer_ + pos_, buffer_ + end_, probe, found);
    return stop != buffer_ + end_ && *stop == '\n' ? stop : nullptr;
}

void LineTextFile::AppendLine(std::string& line) {
    // The common case: the whole line and its LF are in the buffer.
    bool unused = false;
    if (const char* lf = WholeLine<false>(0, unused)) {
        line.append(buffer_ + pos_, std::size_t(lf - (buffer_ + pos_)));
        pos_ = std::size_t(lf - buffer_) + 1;
        return;
    }
    ReadText(line);
    SkipLine();
}

bool LineTextFile::AppendLineFinding(std::string& line, char probe) {
    bool found = false;
    if (const char* lf = WholeLine<true>(probe, found)) {
        line.append(buffer_ + pos_, std::size_t(lf - (buffer_ + pos_)));
        pos_ = std::size_t(lf - buffer_) + 1;
        return found;
    }
    const std::size_t before = line.size();
    AppendLine(line);
    return line.find(probe, before) != std::string::npos;
}

const char* LineTextFile::ChunkEnd() const {
    const char* p = buffer_ + pos_;
    const char* end = buffer_ + end_;
    if (endMark_)
        if (const void* mark = std::memchr(p, kEndMark, std::size_t(end - p)))
            return static_cast<const char*>(mark);
    return end;
}

std::uint64_t LineTextFile::CountLines() {
    std::uint64_t lines = 0;
    bool open = false;  // bytes read since the last LF: a line is under way
    while (PeekByte() != kEnd) {
        const char* p = buffer_ + pos_;
        const char* end = ChunkEnd();
        lines += CountByte(p, end, '\n');
        open = end[-1] != '\n';
        pos_ = std::size_t(end - buffer_);
    }
    // The loop reads before it tests: an empty file still reads one (empty) line.
    return lines + (open || lines == 0);
}

std::uint64_t LineTextFile::CountLinesHolding(char probe) {
    std::uint64_t count = 0;
    bool inHit = false;  // the line under way holds the probe; its LF is still to come
    while (PeekByte() != kEnd) {
        const char* p = buffer_ + pos_;
        const char* end = ChunkEnd();
        while (p < end) {
            if (!inHit) {
                const void* hit = std::memchr(p, probe, std::size_t(end - p));
                if (!hit) break;
                inHit = true;
                p = static_cast<const char*>(hit);
            }
            const void* lf = std::memchr(p, '\n', std::size_t(end - p));
            if (!lf) break;
            ++count;
            inHit = false;
            p = static_cast<const char*>(lf) + 1;
        }
        pos_ = std::size_t(end - buffer_);
    }
    return count + inHit;  // a last line without a line end
}

std::size_t LineTextFile::SkipLineMeasuring() {
    bool unused = false;
    if (const char* lf = WholeLine<false>(0, unused)) {
        const std::size_t length = std::size_t(lf - (buffer_ + pos_));
        pos_ = std::size_t(lf - buffer_) + 1;
        return length;
    }
    // A line longer than what is buffered is measured in pieces, never held.
    std::size_t length = 0;
    ReadTextInto([&length](const char*, std::size_t n) { length += n; });
    SkipLine();
    return length;
}

int LineTextFile::PeekLineStartAnyCase() {
    for (;;) {
        const int c = PeekByte();
        if (c != '\r') return c;
        ++pos_;
    }
}

std::string_view LineTextFile::PeekContent(std::size_t n) {
    if (PeekByte() == kEnd) return {};
    // The buffer must keep room for the end mark that a refill writes at the end.
    if (n > size_ - 1) n = size_ - 1;
    if (end_ - pos_ < n) {
        std::memmove(home_, buffer_ + pos_, end_ - pos_);
        buffer_ = home_;
        end_ -= pos_;
        pos_ = 0;
        while (end_ < n && size_ - end_ >= 2) {
            int code = 0;
            const std::size_t got = handle_.Read(home_ + end_, size_ - end_, code);
            if (code != 0) SetIoResult(code);
            if (got == 0) break;  // the refill at the end of these bytes finds the end again
            end_ += got;
        }
    }
    const char* p = buffer_ + pos_;
    const std::size_t held = std::size_t(ChunkEnd() - p);
    return {p, held < n ? held : n};
}

int LineTextFile::PercentConsumed() const {
    const std::uint64_t size = handle_.SourceSize();
    if (size == 0 || state_ != State::Input) return 0;
    std::uint64_t done = handle_.SourceConsumed();
    // Plain bytes still in the buffer are not consumed yet; inflated ones map to no source byte.
    if (!handle_.Inflates()) done -= done < end_ - pos_ ? done : end_ - pos_;
    if (done > size) done = size;
    return int(done * 100 / size);
}

std::string LineTextFile::NextLine() {
    std::string line;
    NextLine(line);
    return line;
}

}  // namespace kelmarin
