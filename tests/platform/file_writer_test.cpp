// The one way files are written: nothing lost on a failure, devices and pipes written in place,
// links followed to their end, the replaced file's mode kept.
#include "platform/file_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/input/temp_file.h"

namespace kelmarin {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string FailureOf(const std::string& path, const std::string& bytes) {
    try {
        WriteFileSafely(path, bytes);
    } catch (const EFileWriteError& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_EQ(std::string(e.what()), "Cannot save " + path + ": " + e.Reason());
        return e.Reason();
    }
    return "no failure";
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

class FileWriterTest : public ::testing::Test {
  protected:
    std::size_t Entries() const {
        return std::size_t(std::distance(fs::directory_iterator(dir_.Path()), {}));
    }
    test::TempDir dir_;
};

TEST_F(FileWriterTest, AFailedWriteLeavesTheOldFileAndNothingElse) {
    const std::string old = dir_.Write("chart.svg", "old content\n");
    // The disk fills up part way: the file size limit fails the write as a full disk would.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{8192, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    const std::string reason = FailureOf(old, std::string(100'000, 'x'));
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(reason, "File too large");
    EXPECT_EQ(Slurp(old), "old content\n");
    EXPECT_EQ(Entries(), 1u) << "no temporary file is left";

    // A device that is full, written in place.
    EXPECT_EQ(FailureOf("/dev/full", "bytes"), "No space left on device");
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/full")));
    // A folder, or a folder that does not exist.
    EXPECT_EQ(FailureOf(dir_.Path().string(), "x"), "Is a directory");
    EXPECT_EQ(FailureOf((dir_.Path() / "no" / "f.csv").string(), "x"), "No such file or directory");
    EXPECT_EQ(Entries(), 1u);

    WriteFileSafely(old, "new\n");
    EXPECT_EQ(Slurp(old), "new\n");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileWriterTest, DevicesAndPipesAreWrittenInPlace) {
    WriteFileSafely("/dev/null", "nothing");
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));

    const std::string fifo = (dir_.Path() / "pipe.png").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes(300'000, 'p');  // more than a pipe holds
    std::string read;
    std::thread reader([&] { read = Slurp(fifo); });
    WriteFileSafely(fifo, bytes);
    reader.join();
    EXPECT_EQ(read, bytes);
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileWriterTest, LinksAreFollowedToTheFileTheyFinallyName) {
    const fs::path root = dir_.Path();
    fs::create_directories(root / "l");
    fs::create_directories(root / "t");
    const std::string end = dir_.Write("t/r3.png", "old");
    fs::create_symlink("r3.png", root / "t" / "mid.png");
    fs::create_symlink("../t/mid.png", root / "l" / "chain.png");
    WriteFileSafely((root / "l" / "chain.png").string(), "new");
    EXPECT_EQ(Slurp(end), "new");
    EXPECT_TRUE(fs::is_symlink(root / "t" / "mid.png"));
    EXPECT_TRUE(fs::is_symlink(root / "l" / "chain.png"));
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "t"), {}), 2);

    // A link to a file not made yet makes it.
    fs::create_symlink(root / "t" / "later.csv", root / "dangling.csv");
    WriteFileSafely((root / "dangling.csv").string(), "made");
    EXPECT_EQ(Slurp((root / "t" / "later.csv").string()), "made");
    EXPECT_TRUE(fs::is_symlink(root / "dangling.csv"));

    fs::create_symlink("loop", root / "loop");
    EXPECT_EQ(FailureOf((root / "loop").string(), "x"), "Too many levels of symbolic links");
}

TEST_F(FileWriterTest, TheReplacedFileKeepsItsModeAndANewOneTheUsualMode) {
    const std::string kept = dir_.Write("kept.csv", "old");
    ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
    WriteFileSafely(kept, "new");
    EXPECT_EQ(ModeOf(kept) & 07777, 0640u);

    const mode_t mask = ::umask(027);
    const std::string made = (dir_.Path() / "made.csv").string();
    WriteFileSafely(made, "new");
    ::umask(mask);
    EXPECT_EQ(ModeOf(made) & 07777, 0640u);
}

}  // namespace
}  // namespace kelmarin
