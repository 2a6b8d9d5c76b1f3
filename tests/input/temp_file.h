#pragma once
// A real file in a fresh temporary folder, removed with the folder when the test ends.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace kelmarin::test {

// n copies of line, each ending in LF.
inline std::string Lines(int n, const std::string& line) {
    std::string s;
    for (int i = 0; i < n; ++i) s += line + "\n";
    return s;
}

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelmarin-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes bytes (exactly, in binary) to a file of the folder and returns its full name.
    std::string Write(const std::string& name, std::string_view bytes) const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

}  // namespace kelmarin::test
