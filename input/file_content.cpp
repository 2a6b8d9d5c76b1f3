#include "input/file_content.h"

#include <isa-l/igzip_lib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <new>
#include <stop_token>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "input/in_out_error.h"

namespace kelmarin {

namespace {

// Compressed bytes are fetched in blocks of this size; the inflated bytes go straight into the
// caller's buffer.
constexpr std::size_t kInputSize = 1 << 20;

// read(2) without EINTR; -1 leaves the I/O result in code.
ssize_t ReadSome(int fd, void* out, std::size_t size, int& code) {
    ssize_t n;
    do {
        n = ::read(fd, out, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) code = IoCodeFromErrno(errno);
    return n;
}

// Inflated blocks handed from the inflating thread to the reads; a few of them bound the lead.
constexpr std::size_t kAheadBlock = 1 << 20;
constexpr int kAheadBlocks = 4;

void (*threadStartHook)() = nullptr;

// Whether bytes hold a whole gzip member header, or bytes that cannot begin one (the inflater
// then says what is wrong with them). The inflater keeps no part of a header between calls:
// given one cut short (bgzip's extra field, as often as a member straddles a read), it reads the
// rest from memory that is not the stream's.
bool WholeGzipHeader(const std::uint8_t* p, std::size_t n) {
    if (n < 10) return n >= 2 && !IsGzipMagic(reinterpret_cast<const char*>(p), n);
    const std::uint8_t flags = p[3];
    std::size_t at = 10;
    if (flags & 4) {  // FEXTRA
        if (n < at + 2) return false;
        at += 2 + (std::size_t(p[at]) | std::size_t(p[at + 1]) << 8);
    }
    for (const std::uint8_t text : {8, 16}) {  // FNAME, FCOMMENT: up to a NUL
        if ((flags & text) == 0) continue;
        if (n <= at) return false;
        const void* nul = std::memchr(p + at, 0, n - at);
        if (!nul) return false;
        at = std::size_t(static_cast<const std::uint8_t*>(nul) - p) + 1;
    }
    if (flags & 2) at += 2;  // FHCRC
    return at <= n;
}

}  // namespace

// The handle's bytes as content: read as they are (at most a limit of them), or inflated. It
// belongs to whoever reads it: the calling thread, or the reading thread, which takes it for good
// once it runs.
class FileContent::Source {
  public:
    // Starts over at fd's current byte. The inflater's buffers stay for the next stream.
    void Reset(int fd, std::uint64_t limit) {
        fd_ = fd;
        plainLeft_ = limit;
        sourceRead_ = 0;
        inputEnded_ = false;
        inflating_ = false;
        gzip_ = false;
        windowed_ = false;
        ends_ = false;
        skipLeft_ = 0;
        endMember_ = 0;
        endSkip_ = 0;
        contentLeft_ = UINT64_MAX;
    }
    // The window of the content, for a reading that starts begin bytes into the handle.
    void SetWindow(std::uint64_t begin, const MemberWindow& w) {
        windowed_ = true;
        skipLeft_ = w.skip;
        ends_ = w.ends;
        if (!ends_) return;
        if (w.endMember <= begin)  // within the first member
            contentLeft_ = w.endMember == begin && w.endSkip > w.skip ? w.endSkip - w.skip : 0;
        else
            endMember_ = w.endMember - begin;
        endSkip_ = w.endSkip;
    }
    int Fd() const { return fd_; }
    bool Windowed() const { return windowed_; }

    // read(2) of the handle, counted as consumed; -1 leaves the I/O result in code.
    ssize_t ReadSource(void* out, std::size_t size, int& code) {
        const ssize_t n = ReadSome(fd_, out, size, code);
        if (n > 0) sourceRead_ += std::uint64_t(n);
        return n;
    }
    std::size_t ReadPlain(char* out, std::size_t size, int& code);
    // From now on the content is the inflation of the handle's bytes, the first got of which
    // were read already into first.
    void BeginGzip(const char* first, std::size_t got);
    std::size_t Inflate(char* out, std::size_t size, int& code);
    std::uint64_t Consumed() const {
        return gzip_ && state_ ? sourceRead_ - state_->avail_in : sourceRead_;
    }

  private:
    bool FillInput(int& code);
    bool NextMember(int& code);
    bool SkipTrailingZeros(int& code);
    std::size_t Damaged(int failure, int& code);

    int fd_ = -1;
    bool gzip_ = false;
    bool inflating_ = false;  // the inflater has content left
    bool inputEnded_ = false;
    bool atHeader_ = false;  // a member begins: its header is read whole before it is inflated
    std::uint64_t sourceRead_ = 0;
    std::uint64_t plainLeft_ = UINT64_MAX;  // of the bytes a plain read may still take
    std::unique_ptr<inflate_state> state_;
    std::unique_ptr<std::uint8_t[]> input_;
    std::size_t inputSize_ = 0;
    // The window (MemberWindow), its end member counted from the reading's first byte.
    bool windowed_ = false;
    bool ends_ = false;
    std::uint64_t skipLeft_ = 0;
    std::uint64_t endMember_ = 0;
    std::uint64_t endSkip_ = 0;
    std::uint64_t contentLeft_ = UINT64_MAX;  // once the end member began
};

// The reading thread and the blocks it fills. The thread alone reads the source, which it owns;
// the reads take filled blocks in order and give them back when emptied.
class FileContent::Ahead {
  public:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t taken = 0;
        int code = 0;                // the failure that ended the content, with size 0
        std::uint64_t consumed = 0;  // source bytes taken when the block was filled
    };

    explicit Ahead(bool plain) : plain_(plain) {
        for (int i = 0; i < kAheadBlocks; ++i)
            free_.push_back({std::unique_ptr<char[]>(new char[kAheadBlock])});
    }

    // Starts the thread, which then takes source from the caller. A thread that cannot start
    // throws, and leaves source where it was.
    void Run(std::unique_ptr<Source>& source) {
        std::promise<std::unique_ptr<Source>> handed;
        std::future<std::unique_ptr<Source>> taken = handed.get_future();
        if (threadStartHook) threadStartHook();
        thread_ = std::jthread([this, taken = std::move(taken)](std::stop_token stop) mutable {
            Fill(stop, taken.get());
        });
        handed.set_value(std::move(source));
    }

    std::size_t Read(char* out, std::size_t size, int& code, std::uint64_t& consumed) {
        std::unique_lock<std::mutex> lock(mutex_);
        Block* b = Next(lock, code);
        if (!b) return 0;
        const std::size_t n = b->size - b->taken < size ? b->size - b->taken : size;
        std::memcpy(out, b->bytes.get() + b->taken, n);
        b->taken += n;
        consumed = Consumed(*b);
        if (b->taken == b->size) {
            free_.push_back(std::move(*b));
            ready_.pop_front();
            lock.unlock();
            changed_.notify_all();
        }
        return n;
    }

    std::string_view Lend(int& code, std::uint64_t& consumed) {
        std::unique_lock<std::mutex> lock(mutex_);
        Block* b = Next(lock, code);
        if (!b) return {};
        lent_ = std::move(*b);
        ready_.pop_front();
        const std::string_view bytes(lent_.bytes.get() + lent_.taken, lent_.size - lent_.taken);
        lent_.taken = lent_.size;
        consumed = Consumed(lent_);
        return bytes;
    }

  private:
    // The block the reads take next, once filled; nullptr at the end, which every later read
    // finds again, with its failure in code once. The block lent last is given back first.
    Block* Next(std::unique_lock<std::mutex>& lock, int& code) {
        if (lent_.bytes) {
            free_.push_back(std::move(lent_));
            lent_ = {};
            changed_.notify_all();
        }
        changed_.wait(lock, [this] { return !ready_.empty(); });
        Block& b = ready_.front();
        if (b.size > 0) return &b;
        code = b.code;
        b.code = 0;
        return nullptr;
    }

    // A plain block's bytes are its source's: those not taken yet are not consumed.
    std::uint64_t Consumed(const Block& b) const {
        return plain_ ? b.consumed - (b.size - b.taken) : b.consumed;
    }

    void Fill(std::stop_token stop, std::unique_ptr<Source> source) {
        for (bool last = false; !last;) {
            Block b;  // taken from the free blocks
            {
                std::unique_lock<std::mutex> lock(mutex_);
                // A stop ends the wait for a free block, and is not put off by one.
                if (!changed_.wait(lock, stop, [this] { return !free_.empty(); }) ||
                    stop.stop_requested())
                    return;
                b = std::move(free_.back());
                free_.pop_back();
            }
            b.code = 0;
            b.taken = 0;
            b.size = plain_ ? source->ReadPlain(b.bytes.get(), kAheadBlock, b.code)
                            : source->Inflate(b.bytes.get(), kAheadBlock, b.code);
            b.consumed = source->Consumed();
            last = b.size == 0;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                ready_.push_back(std::move(b));
            }
            changed_.notify_all();
        }
    }

    const bool plain_;
    Block lent_;  // lent in place to the reads, until they ask for more
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Block> ready_;
    std::vector<Block> free_;
    std::jthread thread_;  // last: stopped and joined before the blocks it fills go
};

bool IsGzipMagic(const char* p, std::size_t size) {
    return size >= 2 && static_cast<unsigned char>(p[0]) == 0x1F &&
           static_cast<unsigned char>(p[1]) == 0x8B;
}

void FileContent::SetThreadStartHook(void (*hook)()) { threadStartHook = hook; }

FileContent::FileContent() = default;
FileContent::~FileContent() = default;

void FileContent::Stop() { ahead_.reset(); }

void FileContent::Start(int fd) {
    Stop();
    if (!source_) source_ = std::make_unique<Source>();  // the last one went with its thread
    source_->Reset(fd, UINT64_MAX);
    mode_ = Mode::Sniff;
    gzip_ = false;
    aheadConsumed_ = 0;
}

void FileContent::StartMembers(int fd, std::uint64_t begin, const MemberWindow& window) {
    Start(fd);
    source_->SetWindow(begin, window);
}

void FileContent::StartPlain(int fd, std::uint64_t limit) {
    Start(fd);
    source_->Reset(fd, limit);
    mode_ = Mode::Plain;
    StartAhead();
}

std::uint64_t FileContent::SourceConsumed() const {
    if (ahead_) return aheadConsumed_;
    return source_ ? source_->Consumed() : 0;
}

void FileContent::StartAhead() {
    // Only a regular file: a read of a pipe may wait for ever, and the thread must stop.
    struct stat st {};
    if (!aheadWanted_ || ::fstat(source_->Fd(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    // The reads move to the thread only once it runs with the source; when it cannot start,
    // they go on here with the source as it is.
    try {
        auto ahead = std::make_unique<Ahead>(!gzip_);
        ahead->Run(source_);
        ahead_ = std::move(ahead);
        mode_ = Mode::Ahead;
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
}

std::size_t FileContent::Read(char* out, std::size_t size, int& code) {
    switch (mode_) {
        case Mode::Sniff:
            return Sniff(out, size, code);
        case Mode::Plain:
            return source_->ReadPlain(out, size, code);
        case Mode::Gzip:
            return source_->Inflate(out, size, code);
        case Mode::Ahead:
            return ahead_->Read(out, size, code, aheadConsumed_);
    }
    return 0;
}

std::string_view FileContent::Lend(int& code) { return ahead_->Lend(code, aheadConsumed_); }

std::size_t FileContent::Sniff(char* out, std::size_t size, int& code) {
    // The first block goes to the caller's buffer, as a plain file's blocks all do; only gzip
    // content is moved to the input buffer. A pipe may deliver the magic's bytes one at a time.
    std::size_t got = 0;
    do {
        const ssize_t n = source_->ReadSource(out + got, size - got, code);
        if (n < 0) return 0;
        if (n == 0) break;
        got += std::size_t(n);
    } while (got == 1 && static_cast<unsigned char>(out[0]) == 0x1F);
    if (!IsGzipMagic(out, got)) {
        if (source_->Windowed()) {  // no member where the window begins
            code = kIoCorruptGzip;
            return 0;
        }
        mode_ = Mode::Plain;
        if (got > 0) StartAhead();
        return got;
    }
    source_->BeginGzip(out, got);
    mode_ = Mode::Gzip;
    gzip_ = true;
    StartAhead();
    return Read(out, size, code);
}

std::size_t FileContent::Source::ReadPlain(char* out, std::size_t size, int& code) {
    if (size > plainLeft_) size = std::size_t(plainLeft_);
    const ssize_t n = size == 0 ? 0 : ReadSource(out, size, code);
    if (n <= 0) return 0;
    plainLeft_ -= std::uint64_t(n);
    return std::size_t(n);
}

void FileContent::Source::BeginGzip(const char* first, std::size_t got) {
    if (!state_) state_ = std::make_unique<inflate_state>();
    if (inputSize_ < got || !input_) {
        inputSize_ = got > kInputSize ? got : kInputSize;
        input_ = std::make_unique<std::uint8_t[]>(inputSize_);
    }
    std::memcpy(input_.get(), first, got);
    isal_inflate_init(state_.get());
    state_->crc_flag = ISAL_GZIP;
    state_->next_in = input_.get();
    state_->avail_in = std::uint32_t(got);
    gzip_ = true;
    inflating_ = true;
    atHeader_ = true;
}

bool FileContent::Source::FillInput(int& code) {
    // Unread compressed bytes move to the front; the block after them is read.
    std::memmove(input_.get(), state_->next_in, state_->avail_in);
    state_->next_in = input_.get();
    const ssize_t n =
        ReadSource(input_.get() + state_->avail_in, inputSize_ - state_->avail_in, code);
    if (n < 0) return false;
    if (n == 0) inputEnded_ = true;
    state_->avail_in += std::uint32_t(n);
    return true;
}

std::size_t FileContent::Source::Inflate(char* out, std::size_t size, int& code) {
    std::size_t produced = 0;
    while (produced < size && inflating_) {
        if (contentLeft_ == 0) {  // the window's end
            inflating_ = false;
            break;
        }
        if (state_->avail_in == 0 && !inputEnded_ && !FillInput(code)) return 0;
        while (atHeader_ && !WholeGzipHeader(state_->next_in, state_->avail_in) && !inputEnded_)
            if (!FillInput(code)) return 0;
        atHeader_ = false;
        std::size_t room = size - produced;
        if (room > contentLeft_) room = std::size_t(contentLeft_);
        state_->next_out = reinterpret_cast<std::uint8_t*>(out + produced);
        state_->avail_out = room > UINT32_MAX ? UINT32_MAX : std::uint32_t(room);
        const std::uint32_t roomBefore = state_->avail_out;
        const std::uint32_t inputBefore = state_->avail_in;
        const int rc = isal_inflate(state_.get());
        const std::size_t inflated = roomBefore - state_->avail_out;
        std::size_t made = inflated;
        if (skipLeft_ > 0) {  // the window's first bytes, fewer than a block's
            const std::size_t drop = skipLeft_ < made ? std::size_t(skipLeft_) : made;
            std::memmove(out + produced, out + produced + drop, made - drop);
            skipLeft_ -= drop;
            made -= drop;
        }
        produced += made;
        if (contentLeft_ != UINT64_MAX) contentLeft_ -= made;
        if (rc != ISAL_DECOMP_OK) return Damaged(kIoCorruptGzip, code);
        if (state_->block_state == ISAL_BLOCK_FINISH) {
            if (!NextMember(code)) return 0;
        } else if (inflated == 0 && inputBefore == state_->avail_in) {
            // No progress: the inflater needs more bytes than it holds, or the input ended
            // inside a member.
            if (inputEnded_) return Damaged(kIoTruncatedGzip, code);
            if (!FillInput(code)) return 0;
        }
    }
    return produced;
}

std::size_t FileContent::Source::Damaged(int failure, int& code) {
    // The inflater must not be called again after it failed: the content ends here, and the
    // reads after the failure find its end.
    code = failure;
    inflating_ = false;
    return 0;
}

bool FileContent::Source::NextMember(int& code) {
    // A window ends in one member: the reading must meet it where it begins, and end inside it;
    // anything else is content that is not the part asked for.
    if (ends_) {
        const bool met = contentLeft_ != UINT64_MAX;
        if (met ? contentLeft_ > 0 : Consumed() > endMember_) {
            Damaged(kIoTruncatedGzip, code);
            return false;
        }
        if (!met && Consumed() == endMember_) contentLeft_ = endSkip_;
    }
    // After a member comes another member or the end of the file; anything else is damage.
    while (state_->avail_in < 2 && !inputEnded_)
        if (!FillInput(code)) return false;
    if (state_->avail_in == 0) {
        if (ends_ && contentLeft_ == UINT64_MAX) {
            Damaged(kIoTruncatedGzip, code);
            return false;
        }
        inflating_ = false;
        return true;
    }
    if (state_->next_in[0] == 0) return SkipTrailingZeros(code);
    if (!IsGzipMagic(reinterpret_cast<const char*>(state_->next_in), state_->avail_in)) {
        Damaged(kIoCorruptGzip, code);
        return false;
    }
    std::uint8_t* next = state_->next_in;
    const std::uint32_t avail = state_->avail_in;
    isal_inflate_reset(state_.get());
    atHeader_ = true;
    state_->crc_flag = ISAL_GZIP;
    state_->next_in = next;
    state_->avail_in = avail;
    return true;
}

bool FileContent::Source::SkipTrailingZeros(int& code) {
    // Zero bytes after the last member (a tape block's padding, as some archivers leave it) end
    // the content, as gzip -t takes them; anything else among them is damage.
    for (;;) {
        for (std::uint32_t i = 0; i < state_->avail_in; ++i)
            if (state_->next_in[i] != 0) {
                Damaged(kIoCorruptGzip, code);
                return false;
            }
        state_->avail_in = 0;
        if (inputEnded_) {
            inflating_ = false;
            return true;
        }
        if (!FillInput(code)) return false;
    }
}

}  // namespace kelmarin
