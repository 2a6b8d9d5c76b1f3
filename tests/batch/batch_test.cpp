// kelmarin-batch end to end: the real executable on real temporary files.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/input/temp_file.h"
#include "tests/ui/recording_view.h"
#include "ui/run_controller.h"

namespace kelmarin {
namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

using test::Lines;

std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

using Rows = std::vector<std::vector<std::string>>;

// The CSV as rows of fields; none of these tests' fields hold quotes or commas.
Rows ParseCsv(const std::string& csv) {
    Rows rows;
    std::stringstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_FALSE(line.empty() || line.back() != '\r') << "lines end in CR LF";
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::stringstream ls(line);
        std::string f;
        while (std::getline(ls, f, ',')) fields.push_back(f);
        rows.push_back(fields);
    }
    return rows;
}

class BatchTest : public ::testing::Test {
protected:
    // env: a prefix of the command that sets its environment, such as "env X=1 ".
    Result Run(const std::vector<std::string>& args, const std::string& env = "") {
        std::string cmd = env + Quote(KELMARIN_BATCH);
        for (const auto& a : args) {
            cmd += ' ';
            cmd += Quote(a);
        }
        const std::string out = (dir_.Path() / "stdout").string();
        const std::string err = (dir_.Path() / "stderr").string();
        cmd += " >";
        cmd += Quote(out);
        cmd += " 2>";
        cmd += Quote(err);
        cmd += " </dev/null";
        const int raw = std::system(cmd.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Slurp(out);
        r.err = Slurp(err);
        return r;
    }
    // The count of bucket b (1-based) in column c (1-based after "bucket").
    static long Count(const Rows& rows, int b, int c) { return std::stol(rows.at(b).at(c)); }

    test::TempDir dir_;
};

TEST_F(BatchTest, FastaProfileAsCsv) {
    // atg at 1 of 10 (bucket 10) and 1 of 5 (bucket 20); taa at 8 of 10 (bucket 80).
    const std::string fa = dir_.Write("in.fa", ">s1\nATGCC\nCCTAA\n>s2 x\natgcc\n");
    const Result r = Run({fa, "ATG", "", "taa"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Rows rows = ParseCsv(r.out);
    ASSERT_EQ(rows.size(), 101u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"bucket", "atg", "taa"}));
    for (int b = 1; b <= 100; ++b) {
        ASSERT_EQ(rows[b].size(), 3u);
        EXPECT_EQ(rows[b][0], std::to_string(b));
        EXPECT_EQ(Count(rows, b, 1), b == 10 || b == 20 ? 1 : 0) << b;
        EXPECT_EQ(Count(rows, b, 2), b == 80 ? 1 : 0) << b;
    }
    EXPECT_EQ(r.err, "processed 2\n");
}

TEST_F(BatchTest, PlainTextAndTheExtensionRule) {
    const std::string bytes = ">s1\nAAAA\n";
    // A .txt name is plain text: the header line is a sequence of its own.
    Result r = Run({dir_.Write("in.txt", bytes), "a"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "processed 2\n");
    EXPECT_EQ(Count(ParseCsv(r.out), 25, 1), 1);

    for (const char* name : {"in.fa", "in.fas", "in.fasta", "in.fna"}) {
        r = Run({dir_.Write(name, bytes), "a"});
        EXPECT_EQ(r.err, "processed 1\n") << name;
    }
    r = Run({"--text", dir_.Write("in.fa", bytes), "a"});
    EXPECT_EQ(r.err, "processed 2\n");
    r = Run({"--fasta", dir_.Write("in.txt", bytes), "a"});
    EXPECT_EQ(r.err, "processed 1\n");
}

TEST_F(BatchTest, FrameAndStopCodonOptions) {
    const std::string txt = dir_.Write("in.txt", "AATGAAATGA\nATGTAGCCCCGG\n");
    Result r = Run({txt, "atg"});
    const Rows all = ParseCsv(r.out);
    EXPECT_EQ(Count(all, 20, 1) + Count(all, 70, 1) + Count(all, 8, 1), 3);

    r = Run({"--frame", txt, "atg"});  // atg at 7 of the first line and at 1 of the second
    const Rows framed = ParseCsv(r.out);
    EXPECT_EQ(Count(framed, 8, 1), 1);
    EXPECT_EQ(Count(framed, 70, 1), 1);
    EXPECT_EQ(Count(framed, 20, 1), 0);

    r = Run({"--reject-stop", txt, "atg"});  // the second line has tag at 4 of 12
    const Rows kept = ParseCsv(r.out);
    EXPECT_EQ(Count(kept, 8, 1), 0);
    EXPECT_EQ(Count(kept, 20, 1) + Count(kept, 70, 1), 2);
}

TEST_F(BatchTest, QuotedWordsInTheHeader) {
    const Result r = Run({dir_.Write("in.txt", "ACGT\n"), "a,c", "Say \"g\""});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "bucket,\"a,c\",\"say \"\"g\"\"\"\r");
}

TEST_F(BatchTest, FileFailuresExitWithOneAndNoOutput) {
    struct Case {
        std::string file, message;
    };
    std::vector<Case> cases = {
        {(dir_.Path() / "missing.fa").string(), "Reading fil does not exist!\n"},
        {dir_.Path().string(), "Reading fil does not exist!\n"},
    };
    if (geteuid() != 0) {  // root reads anything
        const std::string locked = dir_.Write("locked.txt", "ACGT\n");
        chmod(locked.c_str(), 0);
        cases.push_back({locked, "File access denied.\n"});
    }
    for (const auto& c : cases) {
        const Result r = Run({c.file, "atg"});
        EXPECT_EQ(r.status, 1) << c.file;
        EXPECT_EQ(r.err, c.message) << c.file;
        EXPECT_TRUE(r.out.empty()) << c.file;
    }
}

TEST_F(BatchTest, BadArgumentsExitWithTwo) {
    const std::string txt = dir_.Write("in.txt", "ACGT\n");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {txt},
        {txt, "a", "c", "g", "t", "n"},
        {"--bogus", txt, "a"},
        {"--fasta", "--text", txt, "a"},
        {"--size", "682", txt, "a"},
        {"--size", "0x10", txt, "a"},
        {txt, "a", "--png"},
    };
    for (const auto& args : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_NE(r.err.find("usage: kelmarin-batch"), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(BatchTest, ChartPictureAsTheWindowShowsIt) {
    const std::string txt = dir_.Write("in.txt", Lines(30, "ATGCCC"));
    const std::string png = (dir_.Path() / "chart.png").string();
    Result r = Run({"--png", png, "--size", "400x300", txt, "atg"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "processed 30\n");
    const QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(400, 300));
    // The background runs from yellow at the bottom to pink at the top, in 256 bands.
    const auto near = [](QRgb c, int r, int g, int b) {
        return std::abs(qRed(c) - r) <= 2 && std::abs(qGreen(c) - g) <= 2 && std::abs(qBlue(c) - b) <= 2;
    };
    EXPECT_TRUE(near(image.pixel(2, 298), 0xFF, 0xFF, 0x00)) << std::hex << image.pixel(2, 298);
    EXPECT_TRUE(near(image.pixel(2, 1), 0xFF, 0x80, 0xFF)) << std::hex << image.pixel(2, 1);

    r = Run({"--png", png, txt, "atg"});
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(682, 524));

    // A platform named in the environment that has no display does not stop the picture.
    std::remove(png.c_str());
    r = Run({"--png", png, txt, "atg"}, "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(682, 524));

    // A picture that cannot be written fails the run before anything reaches standard output.
    r = Run({"--png", (dir_.Path() / "no" / "such.png").string(), txt, "atg"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("Cannot write the picture"), std::string::npos);
}

TEST_F(BatchTest, SameRowsAsTheWindowsRun) {
    std::string fa;
    unsigned seed = 5;
    for (int r = 0; r < 300; ++r) {
        fa += ">r" + std::to_string(r) + "\n";
        const int len = 50 + r % 400;
        for (int i = 0; i < len; ++i) {
            seed = seed * 1103515245u + 12345u;
            fa += "ACGT"[(seed >> 16) & 3];
            if (i % 60 == 59) fa += '\n';
        }
        fa += '\n';
    }
    const std::string name = dir_.Write("gen.fa", fa);
    const std::array<std::string, 4> words = {"ATG", "taa", "tag", "gaattc"};

    test::RecordingView view;
    RunController window(view);
    view.words = words;
    view.rejectStop = true;
    view.nextChoice[1] = name;
    window.FastaClick();
    window.Button1Click();

    const Result r = Run({"--reject-stop", name, "ATG", "taa", "tag", "gaattc"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Rows rows = ParseCsv(r.out);
    EXPECT_EQ(r.err, "processed " + view.processedTexts.back() + "\n");
    for (int s = 1; s <= 4; ++s) {
        ASSERT_EQ(view.series[s - 1].size(), 100u);
        for (int b = 1; b <= 100; ++b)
            EXPECT_EQ(Count(rows, b, s), long(view.series[s - 1][b - 1].y)) << s << "," << b;
    }
}

}  // namespace
}  // namespace kelmarin
