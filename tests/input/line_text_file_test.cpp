#include "input/line_text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "input/in_out_error.h"
#include "tests/input/gzip_bytes.h"
#include "tests/input/temp_file.h"

namespace kelmarin {
namespace {

// Every line of a file as NextLine reads it, until AtEnd.
std::vector<std::string> ReadAllLines(LineTextFile& f) {
    std::vector<std::string> lines;
    while (!f.AtEnd()) {
        lines.push_back(f.NextLine());
        CheckIo();
    }
    CheckIo();
    return lines;
}

int IoCodeOf(void (*op)(LineTextFile&), LineTextFile& f) {
    op(f);
    try {
        CheckIo();
    } catch (const EInOutError& e) {
        return e.ErrorCode();
    }
    return 0;
}

using Lines = std::vector<std::string>;

class LineTextFileTest : public ::testing::Test {
  protected:
    void Open(std::string_view bytes, std::size_t bufferSize = 0) {
        file_.BindName(dir_.Write("data.txt", bytes));
        if (bufferSize) {
            buffer_.assign(bufferSize, '\0');
            file_.UseBuffer(buffer_.data(), buffer_.size());
        }
        file_.OpenInput();
        CheckIo();
    }
    std::vector<std::string> LinesOf(std::string_view bytes, std::size_t bufferSize = 0) {
        Open(bytes, bufferSize);
        return ReadAllLines(file_);
    }

    test::TempDir dir_;
    LineTextFile file_;
    std::vector<char> buffer_;
};

TEST_F(LineTextFileTest, LineEndsAndEndOfFile) {
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"\r\n", {""}},
        {"abc", {"abc"}},
        {"abc\r\n", {"abc"}},
        {"abc\r\n\r\n", {"abc", ""}},
        {"a\nb\r\nc", {"a", "b", "c"}},
        {"x\ry\n", {"xy"}},
        {"a\rb\rc\r", {"abc"}},    // lone CRs never end a line
        {"a\r\r\nb", {"a", "b"}},  // the CR before CR LF is dropped
        {"ab\x1A"
         "cd\nef",
         {"ab"}},  // the end mark ends line and file
        {"\x1A"
         "abc",
         {}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(LinesOf(c.bytes), c.lines);
    }
}

TEST_F(LineTextFileTest, EmptyFileIsAtEndAndReadsOneEmptyLine) {
    Open("");
    EXPECT_TRUE(file_.AtEnd());
    EXPECT_EQ(file_.NextLine(), "");
    EXPECT_TRUE(file_.AtEnd());
    EXPECT_NO_THROW(CheckIo());
}

TEST_F(LineTextFileTest, UnreadLineEndIsNotTheEnd) {
    Open("last\r\n");
    std::string line;
    file_.ReadText(line);
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(file_.AtEnd());
    file_.SkipLine();
    EXPECT_TRUE(file_.AtEnd());
}

TEST_F(LineTextFileTest, LongLinesComeBackWhole) {
    for (std::size_t len : {255u, 256u, 510u, 600u, 100'000u}) {
        const std::string line(len, 'g');
        EXPECT_EQ(LinesOf(line + "\r\n" + "tail"), (Lines{line, "tail"})) << len;
    }
}

TEST_F(LineTextFileTest, TinyBufferReadsLikeLargeOne) {
    // Line ends, CRs and the end mark fall on every buffer boundary in turn.
    std::mt19937 rng(7);
    const std::string alphabet = "acgt\r\n\n>";
    std::string bytes;
    for (int i = 0; i < 3000; ++i) bytes += alphabet[rng() % alphabet.size()];
    bytes +=
        "\x1A"
        "never";
    const Lines expected = LinesOf(bytes);
    for (std::size_t size : {1u, 2u, 3u, 7u, 64u})
        EXPECT_EQ(LinesOf(bytes, size), expected) << size;
}

TEST_F(LineTextFileTest, BufferedBytesFollowConsumingAndRefills) {
    Open("ab\ncd\n", 4);
    EXPECT_EQ(file_.BufferedBytes(), "");  // it reads nothing itself
    file_.PeekByte();
    EXPECT_EQ(file_.BufferedBytes(), "ab\nc");
    file_.Consume(3);
    EXPECT_EQ(file_.NextLine(), "cd");
    EXPECT_EQ(file_.BufferedBytes(), "");
    EXPECT_TRUE(file_.AtEnd());
    EXPECT_EQ(file_.BufferedBytes(), "\x1A");  // the end mark, where a reader stops
    CheckIo();
}

TEST_F(LineTextFileTest, RandomBinaryBytesMatchTheLineRules) {
    std::mt19937 rng(11);
    std::string bytes;
    for (int i = 0; i < 50'000; ++i) bytes += char(rng() % 256);
    // The same rules written plainly: text up to the first 0x1A, split at LF, CRs removed.
    const std::string text = bytes.substr(0, bytes.find('\x1A'));
    Lines expected{""};
    for (char c : text) {
        if (c == '\n')
            expected.emplace_back();
        else if (c != '\r')
            expected.back() += c;
    }
    if (!text.empty() && text.back() == '\n') expected.pop_back();
    if (text.empty()) expected.clear();
    EXPECT_EQ(LinesOf(bytes, 100), expected);
}

TEST_F(LineTextFileTest, CountingLinesMatchesReadingThem) {
    std::mt19937 rng(3);
    const std::string alphabet = "ac>\r\n\n\x1A";
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const int len = round < 20 ? round : int(rng() % 300);
        for (int i = 0; i < len; ++i)
            bytes += alphabet[rng() % (round % 3 ? alphabet.size() - 1 : alphabet.size())];
        for (std::size_t size : {1u, 3u, 16u, 4096u}) {
            SCOPED_TRACE(testing::PrintToString(bytes) + " buffer " + std::to_string(size));
            // The counting pass written plainly: read before testing, until the end.
            Open(bytes, size);
            std::uint64_t lines = 0, headers = 0;
            do {
                const std::string line = file_.NextLine();
                ++lines;
                headers += line.find('>') != std::string::npos;
            } while (!file_.AtEnd());
            Open(bytes, size);
            EXPECT_EQ(file_.CountLinesHolding('>'), headers);
            EXPECT_TRUE(file_.AtEnd());
            Open(bytes, size);
            EXPECT_EQ(file_.CountLines(), lines);
            EXPECT_TRUE(file_.AtEnd());
        }
    }
}

TEST_F(LineTextFileTest, ReadingAheadReadsAsReadingInTurn) {
    // Several of the reading thread's blocks, lines across their edges, CRs and a late end mark.
    std::mt19937 rng(5);
    std::string bytes;
    while (bytes.size() < 3'500'000) {
        bytes.append(rng() % 300, "acgt"[rng() % 4]);
        bytes += rng() % 8 ? "\n" : "\r\n";
    }
    bytes += "tail\x1A never";
    const Lines expected = LinesOf(bytes, 4096);
    for (const bool gzip : {false, true}) {
        SCOPED_TRACE(gzip ? "gzip" : "plain");
        file_.ReadAhead(true);
        Open(gzip ? test::Gzip(bytes) : bytes, 4096);
        // A look at the first bytes before the reads, as a run asks for the mode.
        EXPECT_EQ(file_.PeekContent(6), bytes.substr(0, 6));
        CheckIo();
        Lines lines;
        int percent = 0;
        while (!file_.AtEnd()) {
            lines.push_back(file_.NextLine());
            CheckIo();
            EXPECT_GE(file_.PercentConsumed(), percent);
            percent = file_.PercentConsumed();
        }
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(percent, gzip ? 100 : 99);  // the end mark leaves a plain file's tail unread
        file_.CloseInput();
        CheckIo();
    }
    // A range is read up to its end and no further.
    file_.BindName(dir_.Write("range.txt", bytes));
    file_.ReadAhead(true);
    const std::size_t begin = bytes.find('\n', 1'000'000) + 1,
                      end = bytes.find('\n', 2'500'000) + 1;
    file_.SetRange(begin, end);
    file_.OpenInput();
    const Lines range = ReadAllLines(file_);
    EXPECT_EQ(range, LinesOf(bytes.substr(begin, end - begin), 4096));
}

TEST_F(LineTextFileTest, ReopeningStartsAgainAtTheFirstByte) {
    Open("one\ntwo\nthree\n");
    EXPECT_EQ(file_.NextLine(), "one");
    file_.OpenInput();
    CheckIo();
    EXPECT_EQ(ReadAllLines(file_), (Lines{"one", "two", "three"}));
}

TEST_F(LineTextFileTest, StateErrorsCarryTheFilesOwnCodes) {
    LineTextFile unbound;
    EXPECT_EQ(IoCodeOf([](LineTextFile& f) { f.OpenInput(); }, unbound), 102);
    EXPECT_EQ(IoCodeOf([](LineTextFile& f) { f.NextLine(); }, unbound), 104);
    EXPECT_EQ(IoCodeOf([](LineTextFile& f) { f.CloseInput(); }, unbound), 103);

    Open("abc");
    file_.CloseInput();
    CheckIo();
    EXPECT_TRUE(file_.AtEnd());
    EXPECT_THROW(CheckIo(), EInOutError);
    EXPECT_EQ(IoCodeOf([](LineTextFile& f) { f.CloseInput(); }, file_), 103);
    try {
        file_.NextLine();
        CheckIo();
        FAIL() << "reading a closed file must fail";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "I/O error 104");
    }
    EXPECT_NO_THROW(CheckIo()) << "raising clears the pending result";
}

TEST_F(LineTextFileTest, OpenFailuresGiveTheirMessages) {
    const std::string secret = dir_.Write("secret.txt", "x");
    chmod(secret.c_str(), 0);
    struct Case {
        std::string name;
        std::string message;
    };
    std::vector<Case> cases = {
        {(dir_.Path() / "missing.txt").string(), "File not found"},
        {dir_.Path().string(), "File access denied"},
        {dir_.Write("plain", "x") + "/below", "Invalid filename"},
        {std::string("bad\0name", 8), "Invalid filename"},
        {"", "File not found"},
    };
    if (geteuid() != 0) cases.push_back({secret, "File access denied"});  // root reads anything
    for (const auto& c : cases) {
        LineTextFile f;
        f.BindName(c.name);
        f.OpenInput();
        try {
            CheckIo();
            ADD_FAILURE() << "opening " << c.name << " must fail";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.what(), c.message) << c.name;
        }
        EXPECT_EQ(f.GetState(), LineTextFile::State::Closed);
    }
}

TEST_F(LineTextFileTest, NamesLongerThanTheOldLimitWork) {
    const std::string name = dir_.Write(std::string(250, 'n'), "long\n");
    ASSERT_GT(name.size(), 259u);
    file_.BindName(name);
    file_.OpenInput();
    CheckIo();
    EXPECT_EQ(ReadAllLines(file_), Lines{"long"});
}

TEST_F(LineTextFileTest, RebindingAnOpenFileReleasesItsHandle) {
    auto openDescriptors = [] {
        int n = 0;
        for (int fd = 0; fd < 1024; ++fd) n += fcntl(fd, F_GETFD) != -1;
        return n;
    };
    const int before = openDescriptors();
    Open("abc\n");
    EXPECT_EQ(openDescriptors(), before + 1);
    file_.BindName(dir_.Write("other.txt", "x"));
    EXPECT_EQ(openDescriptors(), before);
}

TEST(InOutMessageTest, OperatingSystemErrorsKeepTheirOwnNumber) {
    const std::vector<std::pair<int, std::string>> table = {
        {ENOENT, "File not found"},
        {ENOTDIR, "Invalid filename"},
        {ENAMETOOLONG, "Invalid filename"},
        {EMFILE, "Too many open files"},
        {ENFILE, "Too many open files"},
        {EACCES, "File access denied"},
        {EPERM, "File access denied"},
        {EISDIR, "File access denied"},
        // errno values that are table codes too must not borrow their messages.
        {EIO, "I/O error 5"},
        {ENETDOWN, "I/O error 100"},
        {ENETUNREACH, "I/O error 101"},
        {EISCONN, "I/O error 106"},
        {EAGAIN, "I/O error 11"},
    };
    for (const auto& [err, message] : table) {
        const EInOutError e(IoCodeFromErrno(err));
        EXPECT_EQ(e.what(), message) << err;
        // The code is the number the message shows, never one shifted out of the table's way.
        if (message.rfind("I/O error ", 0) == 0) {
            EXPECT_EQ(e.ErrorCode(), err);
        }
    }
}

TEST(InOutMessageTest, TableAndFallback) {
    const std::vector<std::pair<int, std::string>> table = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {32, "I/O error 32"},
        {102, "I/O error 102"},
    };
    for (const auto& [code, message] : table) EXPECT_EQ(InOutMessage(code), message);
}

TEST(FileHandleTest, ReadsItsRangeAndHandsBackItsFailures) {
    test::TempDir dir;
    FileHandle handle;
    handle.Bind(dir.Write("digits", "0123456789"), false);
    handle.SetRange(3, 8);
    ASSERT_EQ(handle.Open(), 0);
    std::string got;
    char block[2];
    int code = 0;
    while (const std::size_t n = handle.Read(block, sizeof block, code)) got.append(block, n);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(got, "34567");
    EXPECT_EQ(handle.SourceSize(), 5u);
    const FileIdentity seen = handle.Identity();
    EXPECT_TRUE(seen.known);
    EXPECT_EQ(seen.size, 10u);
    EXPECT_TRUE(handle.IsSameFile(seen));
    EXPECT_EQ(handle.Close(), 0);
    EXPECT_FALSE(handle.IsSameFile(seen));
    // A failure is the caller's to raise: the thread's I/O result stays as it was.
    handle.Bind((dir.Path() / "missing").string(), false);
    EXPECT_EQ(handle.Open(), kIoFileNotFound);
    EXPECT_NO_THROW(CheckIo());
}

}  // namespace
}  // namespace kelmarin
