#include "batch/input_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "input/file_content.h"

namespace kelmarin {

std::string ShardProblem(const std::string& file) {
    const std::string why = " cannot seek, so it cannot be read in shards";
    if (file == "-") return "standard input" + why;
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return "a pipe" + why;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};  // the run says why it cannot be read
    char magic[2];
    ssize_t n;
    do {
        n = ::read(fd, magic, sizeof magic);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 && IsGzipMagic(magic, std::size_t(n)) ? "a gzip file" + why : std::string();
}

std::string FailureReason(const EInOutError& error) {
    switch (error.IoResult()) {
        case kIoFileNotFound:
            return "no such file";
        case kIoAccessDenied:
            return "permission denied";
        case kIoCorruptGzip:
            return "corrupt gzip stream";
        case kIoTruncatedGzip:
            return "corrupt gzip stream: it ends before its last member does";
        case kIoFileChanged:
            return "the file changed while it was read";
        default:
            return error.what();
    }
}

std::string BatchMessage(const std::string& text) { return "kelmarin-batch: " + text; }

}  // namespace kelmarin
