#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace kelmarin {

namespace {

// A failed system call, carrying its errno until the writer names the file.
struct SystemFailure {
    int error;
};

[[noreturn]] void Fail() { throw SystemFailure{errno}; }

// Where a chain of symbolic links ends; whether it passed through /proc, whose files are
// written in place like devices; and the process's own descriptor it named, if any
// (/dev/stdout → /proc/self/fd/1), which is written where it stands, after what went before.
struct Target {
    std::string path;
    bool inPlace = false;
    int descriptor = -1;
};

// The descriptor that path names as /proc/self/fd/N or /dev/fd/N, or -1.
int DescriptorNamed(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return -1;
    const std::string name = path.substr(slash + 1);
    if (name.find_first_not_of("0123456789") != std::string::npos || name.size() > 9) return -1;
    char* folder = ::realpath(slash == 0 ? "/" : path.substr(0, slash).c_str(), nullptr);
    if (folder == nullptr) return -1;
    const bool ours = std::string(folder) == "/proc/" + std::to_string(::getpid()) + "/fd";
    std::free(folder);
    return ours ? std::stoi(name) : -1;
}

Target FinalTarget(const std::string& path) {
    Target target{path};
    for (int links = 0;; ++links) {
        if (target.path.rfind("/proc/", 0) == 0) target.inPlace = true;
        if ((target.descriptor = DescriptorNamed(target.path)) >= 0) return target;
        struct stat st {};
        if (::lstat(target.path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        if (links == 40) {
            errno = ELOOP;
            Fail();
        }
        std::string link(std::size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(target.path.c_str(), link.data(), link.size());
        if (n < 0) Fail();
        link.resize(std::size_t(n));
        if (link.empty() || link[0] != '/') {
            const std::string::size_type slash = target.path.rfind('/');
            link.insert(
                0, slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1));
        }
        target.path = std::move(link);
    }
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail();
        if (n == 0) {
            errno = EIO;
            Fail();
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

// Closes fd and raises the failure that came before.
[[noreturn]] void CloseAfter(int fd, const SystemFailure& failure) {
    ::close(fd);
    throw failure;
}

void Close(int fd) {
    if (::close(fd) != 0 && errno != EINTR) Fail();
}

// A pipe without a reader refuses a non-blocking open; a reader starting at the same time (a
// pipeline's next step) gets a few seconds, and the window is never held longer.
int OpenInPlace(const std::string& path) {
    for (int tries = 0;; ++tries) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            const int flags = ::fcntl(fd, F_GETFL);
            if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
                CloseAfter(fd, SystemFailure{errno});
            return fd;
        }
        if (errno == EINTR) continue;
        if (errno != ENXIO || tries == 250) Fail();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Writes bytes to fd and closes it; a regular file reached this way is flushed to disk.
void WriteToEnd(int fd, std::string_view bytes) {
    try {
        WriteAll(fd, bytes);
        struct stat st {};
        // Only a regular file reached through a descriptor link can be flushed to disk.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd) != 0) Fail();
    } catch (const SystemFailure& failure) {
        CloseAfter(fd, failure);
    }
    Close(fd);
}

void WriteInPlace(const std::string& path, std::string_view bytes) {
    WriteToEnd(OpenInPlace(path), bytes);
}

// The old file's mode, owner and group, or the mode a new file gets under the umask. The owner
// first: changing it may clear the set-id bits that the mode then puts back.
void TakeAttributes(int fd, const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0) Fail();
        return;
    }
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) (void)::fchown(fd, uid_t(-1), st.st_gid);
    if (::fchmod(fd, st.st_mode & 07777) != 0) Fail();
}

void Replace(const std::string& target, std::string_view bytes) {
    const std::string::size_type slash = target.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    // The same ending as the target's, for anything that looks at names.
    std::string ending(1, '-');
    ending.append(target, name);
    std::string temp(target, 0, name);
    temp.append(".XXXXXX").append(ending);
    const int fd = ::mkstemps(temp.data(), int(ending.size()));
    if (fd < 0) Fail();
    try {
        try {
            WriteAll(fd, bytes);
            TakeAttributes(fd, target);
            // On disk before the rename, so that a crash cannot leave an empty file in its place.
            if (::fsync(fd) != 0) Fail();
        } catch (const SystemFailure& failure) {
            CloseAfter(fd, failure);
        }
        Close(fd);
        if (::rename(temp.c_str(), target.c_str()) != 0) Fail();
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

}  // namespace

void WriteFileSafely(const std::string& path, std::string_view bytes) {
    try {
        if (path.find('\0') != std::string::npos) {
            errno = EINVAL;
            Fail();
        }
        const Target target = FinalTarget(path);
        if (target.descriptor >= 0) {
            const int fd = ::fcntl(target.descriptor, F_DUPFD_CLOEXEC, 0);
            if (fd < 0) Fail();
            WriteToEnd(fd, bytes);
            return;
        }
        struct stat st {};
        const bool exists = ::stat(target.path.c_str(), &st) == 0;
        if (target.inPlace || (exists && !S_ISREG(st.st_mode)))
            WriteInPlace(target.path, bytes);
        else
            Replace(target.path, bytes);
    } catch (const SystemFailure& failure) {
        throw EFileWriteError(path, std::strerror(failure.error));
    }
}

}  // namespace kelmarin
