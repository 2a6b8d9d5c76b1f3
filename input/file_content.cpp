#include "input/file_content.h"

#include <isa-l/igzip_lib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

bool IsGzipMagic(const char* p, std::size_t size) {
    return size >= 2 && static_cast<unsigned char>(p[0]) == 0x1F &&
           static_cast<unsigned char>(p[1]) == 0x8B;
}

FileContent::FileContent() = default;
FileContent::~FileContent() = default;

void FileContent::Start() {
    mode_ = Mode::Sniff;
    inputEnded_ = false;
}

void FileContent::StartPlain() {
    mode_ = Mode::Plain;
    inputEnded_ = false;
}

std::size_t FileContent::Read(int fd, char* out, std::size_t size, int& code) {
    switch (mode_) {
        case Mode::Sniff:
            return Sniff(fd, out, size, code);
        case Mode::Plain: {
            const ssize_t n = ReadSome(fd, out, size, code);
            return n < 0 ? 0 : std::size_t(n);
        }
        case Mode::Gzip:
            return Inflate(fd, out, size, code);
        case Mode::Done:
            break;
    }
    return 0;
}

std::size_t FileContent::Sniff(int fd, char* out, std::size_t size, int& code) {
    // The first block goes to the caller's buffer, as a plain file's blocks all do; only gzip
    // content is moved to the input buffer. A pipe may deliver the magic's bytes one at a time.
    std::size_t got = 0;
    do {
        const ssize_t n = ReadSome(fd, out + got, size - got, code);
        if (n < 0) return 0;
        if (n == 0) break;
        got += std::size_t(n);
    } while (got == 1 && static_cast<unsigned char>(out[0]) == 0x1F);
    if (!IsGzipMagic(out, got)) {
        mode_ = Mode::Plain;
        return got;
    }
    if (!state_) state_ = std::make_unique<inflate_state>();
    if (inputSize_ < got || !input_) {
        inputSize_ = got > kInputSize ? got : kInputSize;
        input_ = std::make_unique<std::uint8_t[]>(inputSize_);
    }
    std::memcpy(input_.get(), out, got);
    isal_inflate_init(state_.get());
    state_->crc_flag = ISAL_GZIP;
    state_->next_in = input_.get();
    state_->avail_in = std::uint32_t(got);
    mode_ = Mode::Gzip;
    return Inflate(fd, out, size, code);
}

bool FileContent::FillInput(int fd, int& code) {
    // Unread compressed bytes move to the front; the block after them is read.
    std::memmove(input_.get(), state_->next_in, state_->avail_in);
    state_->next_in = input_.get();
    const ssize_t n =
        ReadSome(fd, input_.get() + state_->avail_in, inputSize_ - state_->avail_in, code);
    if (n < 0) return false;
    if (n == 0) inputEnded_ = true;
    state_->avail_in += std::uint32_t(n);
    return true;
}

std::size_t FileContent::Inflate(int fd, char* out, std::size_t size, int& code) {
    std::size_t produced = 0;
    while (produced < size && mode_ == Mode::Gzip) {
        if (state_->avail_in == 0 && !inputEnded_ && !FillInput(fd, code)) return 0;
        const std::size_t room = size - produced;
        state_->next_out = reinterpret_cast<std::uint8_t*>(out + produced);
        state_->avail_out = room > UINT32_MAX ? UINT32_MAX : std::uint32_t(room);
        const std::uint32_t roomBefore = state_->avail_out;
        const std::uint32_t inputBefore = state_->avail_in;
        const int rc = isal_inflate(state_.get());
        const std::size_t made = roomBefore - state_->avail_out;
        produced += made;
        if (rc != ISAL_DECOMP_OK) return Damaged(kIoCorruptGzip, code);
        if (state_->block_state == ISAL_BLOCK_FINISH) {
            if (!NextMember(fd, code)) return 0;
        } else if (made == 0 && inputBefore == state_->avail_in) {
            // No progress: the inflater needs more bytes than it holds, or the input ended
            // inside a member.
            if (inputEnded_) return Damaged(kIoTruncatedGzip, code);
            if (!FillInput(fd, code)) return 0;
        }
    }
    return produced;
}

std::size_t FileContent::Damaged(int failure, int& code) {
    // The inflater must not be called again after it failed: the content ends here, and the
    // reads after the failure find its end.
    code = failure;
    mode_ = Mode::Done;
    return 0;
}

bool FileContent::NextMember(int fd, int& code) {
    // After a member comes another member or the end of the file; anything else is damage.
    while (state_->avail_in < 2 && !inputEnded_)
        if (!FillInput(fd, code)) return false;
    if (state_->avail_in == 0) {
        mode_ = Mode::Done;
        return true;
    }
    if (!IsGzipMagic(reinterpret_cast<const char*>(state_->next_in), state_->avail_in)) {
        Damaged(kIoCorruptGzip, code);
        return false;
    }
    std::uint8_t* next = state_->next_in;
    const std::uint32_t avail = state_->avail_in;
    isal_inflate_reset(state_.get());
    state_->crc_flag = ISAL_GZIP;
    state_->next_in = next;
    state_->avail_in = avail;
    return true;
}

}  // namespace kelmarin
