#include "batch/profile_merge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "batch/profile_table.h"

namespace kelmarin {

namespace {

// Far above any profile (four words given on a command line and 100 rows), so that a data
// file named by mistake is refused instead of read whole.
constexpr off_t kMaxProfileBytes = 16 << 20;

// The whole file, or the reason it cannot be read.
std::variant<std::string, std::string> ReadSmallFile(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::variant<std::string, std::string>(std::in_place_index<1>, std::strerror(errno));
    std::string bytes;
    std::string failure;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxProfileBytes) {
        failure = "too large to be a profile";
    } else {
        char block[65536];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                failure = std::strerror(errno);
                break;
            }
            if (n == 0) break;
            bytes.append(block, std::size_t(n));
            if (bytes.size() > std::size_t(kMaxProfileBytes)) {
                failure = "too large to be a profile";
                break;
            }
        }
    }
    ::close(fd);
    if (!failure.empty())
        return std::variant<std::string, std::string>(std::in_place_index<1>, failure);
    return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(bytes));
}

}  // namespace

std::variant<std::string, MergeFailure> MergeProfileFiles(const std::vector<std::string>& files) {
    ProfileTable sum;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto bytes = ReadSmallFile(files[i]);
        if (bytes.index() == 1) return MergeFailure{files[i], std::get<1>(bytes)};
        auto read = ReadProfileTable(std::get<0>(bytes));
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
