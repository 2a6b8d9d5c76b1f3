#include "run/file_exists.h"

#include <sys/stat.h>

namespace kelmarin {

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
