// Merges fuzzed profile files (the input split at NUL bytes, up to three files). Whatever is
// merged is a profile in its plain form: merging it alone again must give it back unchanged.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "batch/profile_merge.h"

namespace {

// Files in memory with names that open() takes.
std::string Written(std::size_t slot, const std::string& bytes) {
    static int fds[4] = {-1, -1, -1, -1};
    if (fds[slot] < 0) fds[slot] = memfd_create("profile", 0);
    if (fds[slot] < 0 || ftruncate(fds[slot], 0) != 0 ||
        pwrite(fds[slot], bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
        std::abort();
    return "/proc/self/fd/" + std::to_string(fds[slot]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> contents(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && contents.size() < 3)
            contents.emplace_back();
        else
            contents.back() += char(data[i]);
    }
    std::vector<std::string> files;
    for (std::size_t i = 0; i < contents.size(); ++i) files.push_back(Written(i, contents[i]));
    const auto merged = kelmarin::MergeProfileFiles(files);
    if (!std::holds_alternative<std::string>(merged)) return 0;
    const std::string& sum = std::get<std::string>(merged);
    const auto again = kelmarin::MergeProfileFiles({Written(3, sum)});
    if (!std::holds_alternative<std::string>(again) || std::get<std::string>(again) != sum) {
        std::fprintf(stderr, "MISMATCH: a merged profile merged alone again is %s\n",
                     std::holds_alternative<std::string>(again) ? "different" : "refused");
        std::abort();
    }
    return 0;
}
