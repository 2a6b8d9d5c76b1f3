#include "input/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "input/in_out_error.h"

namespace kelmarin {

FileHandle::~FileHandle() { Close(); }

void FileHandle::Bind(std::string name, bool once) {
    Close();
    name_ = std::move(name);
    once_ = once;
    SetRange(0, UINT64_MAX);
}

void FileHandle::SetRange(std::uint64_t begin, std::uint64_t end, std::uint64_t firstLine) {
    rangeBegin_ = begin;
    rangeEnd_ = end < begin ? begin : end;
    firstLine_ = firstLine;
    window_.reset();
}

int FileHandle::Open() {
    Close();
    // The system would open a name cut at its NUL byte.
    if (name_.find('\0') != std::string::npos) return kIoInvalidName;
    // Non-blocking so that a FIFO without a writer cannot hang the open, unless a pipe was
    // asked for: then the writer is awaited, as any reader of a pipe does.
    const int fd = once_ && name_ == "-" ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                   : once_               ? ::open(name_.c_str(), O_RDONLY | O_CLOEXEC)
                                         : ::open(name_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return IoCodeFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return IoCodeFromErrno(err);
    }
    if (rangeBegin_ > 0 && ::lseek(fd, off_t(rangeBegin_), SEEK_SET) < 0) {
        const int err = errno;
        ::close(fd);
        return IoCodeFromErrno(err);
    }
    fd_ = fd;
    rangeLeft_ = rangeEnd_ - rangeBegin_;
    const auto size = std::uint64_t(st.st_size);
    sourceSize_ = !S_ISREG(st.st_mode) || size <= rangeBegin_ ? 0
                  : size - rangeBegin_ < rangeLeft_           ? size - rangeBegin_
                                                              : rangeLeft_;
    if (window_) {
        // The part's own compressed bytes, as far as they are known, measure its progress.
        if (window_->ends && window_->endMember > rangeBegin_ &&
            window_->endMember - rangeBegin_ < sourceSize_)
            sourceSize_ = window_->endMember - rangeBegin_;
        content_.StartMembers(fd, rangeBegin_, *window_);
    } else if (rangeBegin_ > 0 || rangeEnd_ != UINT64_MAX)
        // A range is a part of the file's own bytes: its first bytes are no gzip magic.
        content_.StartPlain(fd, rangeLeft_);
    else
        content_.Start(fd);
    return 0;
}

int FileHandle::Close() {
    content_.Stop();  // nothing may read the descriptor once it is closed
    sourceSize_ = 0;
    if (fd_ < 0) return 0;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc != 0 && errno != EINTR ? IoCodeFromErrno(errno) : 0;
}

FileIdentity FileHandle::Identity() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return {};
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::uint64_t(st.st_size), true};
}

bool FileHandle::IsSameFile(const FileIdentity& seen) const {
    if (!seen.known || once_) return true;
    const FileIdentity now = Identity();
    struct stat named {};
    // A name that is gone took nothing from what was read; one that names another file did.
    const bool renamed =
        ::stat(name_.c_str(), &named) == 0 &&
        (std::uint64_t(named.st_dev) != seen.device || std::uint64_t(named.st_ino) != seen.inode);
    return now.known && now.device == seen.device && now.inode == seen.inode &&
           now.size >= seen.size && !renamed;
}

std::size_t FileHandle::Read(char* out, std::size_t size, int& code) {
    const std::size_t want = rangeLeft_ < size ? std::size_t(rangeLeft_) : size;
    const std::size_t n = want == 0 ? 0 : content_.Read(out, want, code);
    rangeLeft_ -= n;
    return n;
}

std::string_view FileHandle::Lend(int& code) {
    const std::string_view lent = content_.Lend(code);
    rangeLeft_ -= lent.size();
    return lent;
}

}  // namespace kelmarin
