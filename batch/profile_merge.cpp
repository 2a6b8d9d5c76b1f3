#include "batch/profile_merge.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "batch/input_problem.h"
#include "batch/profile_table.h"

namespace kelmarin {

namespace {

// Far above any profile (four words given on a command line and 100 rows), so that a data
// file named by mistake is refused instead of read whole.
constexpr std::size_t kMaxProfileBytes = 16 << 20;

// Reads the whole file ("-": standard input) into bytes; false with the reason when it cannot.
bool ReadSmallFile(const std::string& name, std::string& bytes, std::string& reason) {
    reason = InputProblem(name);
    if (!reason.empty()) return false;
    const bool standardInput = name == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) reason = std::strerror(errno);
        if (n <= 0) break;
        bytes.append(block, std::size_t(n));
        if (bytes.size() > kMaxProfileBytes) {
            reason = "too large to be a profile";
            break;
        }
    }
    if (!standardInput) ::close(fd);
    return reason.empty();
}

}  // namespace

std::variant<std::string, MergeFailure> MergeProfileFiles(const std::vector<std::string>& files) {
    ProfileTable sum;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string bytes, reason;
        if (!ReadSmallFile(files[i], bytes, reason)) return MergeFailure{files[i], reason};
        auto read = ReadProfileTable(bytes);
        if (const auto* error = std::get_if<ProfileError>(&read))
            return MergeFailure{files[i], error->Message()};
        auto& table = std::get<ProfileTable>(read);
        if (i == 0) {
            sum = std::move(table);
            continue;
        }
        switch (AddProfileTable(sum, table)) {
            case AddResult::Added:
                break;
            case AddResult::HeaderDiffers:
                return MergeFailure{files[i], "its header differs from that of " + files[0]};
            case AddResult::Overflow:
                return MergeFailure{files[i], "a sum of counts would not fit in 64 bits"};
        }
    }
    return ProfileTableCsv(sum);
}

}  // namespace kelmarin
