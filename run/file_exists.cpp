#include "run/file_exists.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kelmarin {

namespace {

std::string ErrnoReason(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return "no such file";
        case EACCES:
        case EPERM:
            return "permission denied";
        default:
            return std::strerror(err);
    }
}

}  // namespace

std::string InputProblem(const std::string& file) {
    if (file == "-") return {};
    if (file.find('\0') != std::string::npos) return "invalid file name";
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return ErrnoReason(errno);
    if (S_ISDIR(st.st_mode)) return "is a folder";
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) return "not a regular file or a pipe";
    if (::access(file.c_str(), R_OK) != 0) return ErrnoReason(errno);
    return {};
}

bool FileExists(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) return false;
    struct stat st {};
    // A run reads its file twice: a pipe or a device could not give the same bytes again, so
    // only regular files count.
    return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsStreamName(const std::string& name) {
    if (name == "-") return true;
    struct stat st {};
    return !name.empty() && name.find('\0') == std::string::npos &&
           ::stat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

}  // namespace kelmarin
