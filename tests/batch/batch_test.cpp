// kelmarin-batch end to end: the real executable on real temporary files.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "batch/console_view.h"
#include "run/run_controller.h"
#include "tests/input/gzip_bytes.h"
#include "tests/input/temp_file.h"
#include "tests/run/recording_view.h"

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
        EXPECT_EQ(line.find('\r'), std::string::npos) << "lines end in LF";
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
    // prefix: what the shell runs before the command, such as "env X=1 " or "cat f | ";
    // input: the file on standard input, none for the prefix's pipe.
    Result Run(const std::vector<std::string>& args, const std::string& prefix = "",
               const std::string& input = "/dev/null") {
        std::string cmd = prefix + Quote(KELMARIN_BATCH);
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
        if (!input.empty()) cmd += " <" + Quote(input);
        const int raw = std::system(cmd.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Slurp(out);
        r.err = Slurp(err);
        return r;
    }
    // One way of giving the program its file: arguments, the shell's prefix, standard input.
    struct Way {
        std::vector<std::string> args;
        std::string prefix, input;
    };
    // Every way gives what expected shows: success, the same profile and the same messages.
    void ExpectEachWayGives(const std::vector<Way>& ways, const Result& expected) {
        for (const Way& w : ways) {
            SCOPED_TRACE(w.prefix + testing::PrintToString(w.args) + " < " + w.input);
            const Result r = Run(w.args, w.prefix, w.input);
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out, expected.out);
            EXPECT_EQ(r.err, expected.err);
        }
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

TEST_F(BatchTest, OptionNameAndContentRules) {
    // One FASTQ record, or four lines of text, or a FASTA file without a header (its last line).
    const std::string fq = "@s1\nAAAA\n+\nIIII\n";
    const std::string fa = ">s1\nAAAA\n";
    const struct {
        std::vector<std::string> options;
        const char* name;
        std::string bytes;
        bool gzip;
        const char* processed;
        int aaaa;  // occurrences of "a" in bucket 25: 1 when the record "aaaa" was read
    } cases[] = {
        {{}, "in.fq", fq, false, "1", 1},
        {{}, "IN.FASTQ", fq, false, "1", 1},
        {{}, "in.fq.gz", fq, true, "1", 1},
        {{}, "in.Fastq.GZ", fq, true, "1", 1},
        {{}, "in.fa", fq, false, "1", 0},   // the name decides: FASTA
        {{}, "in.txt", fq, false, "1", 1},  // the content decides, through gzip too
        {{}, "in", fq, true, "1", 1},
        {{}, "in.fqgz", fq, false, "1", 1},
        {{"--text"}, "in.fq", fq, false, "4", 1},
        {{"--fasta"}, "in.fq", fq, false, "1", 0},
        {{"--fastq"}, "in.fa", fq, false, "1", 1},
        {{}, "in.fa", fa, false, "1", 1},
        {{}, "in.fas", fa, false, "1", 1},
        {{}, "in.fasta", fa, false, "1", 1},
        {{}, "in.fna", fa, false, "1", 1},
        {{}, "in.ffn", fa, false, "1", 1},
        {{}, "in.frn", fa, false, "1", 1},
        {{}, "CODING.FA", fa, false, "1", 1},
        {{}, "in.Fasta", fa, false, "1", 1},
        {{}, "coding.fa.gz", fa, true, "1", 1},
        {{}, "IN.FNA.GZ", fa, true, "1", 1},
        {{}, "in.txt", fa, false, "1", 1},
        {{}, "in.gz", fa, true, "1", 1},
        {{"--text"}, "in.fa", fa, false, "2", 1},
        {{}, "in.txt", "AAAA\n@s\n+\n", false, "3", 1},
        {{}, "in.dat", "AAAA\nCCCC\n", true, "2", 1},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.push_back(dir_.Write(c.name, c.gzip ? test::Gzip(c.bytes) : c.bytes));
        args.push_back("a");
        SCOPED_TRACE(testing::PrintToString(args) + " " + testing::PrintToString(c.bytes));
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, std::string("processed ") + c.processed + "\n");
        EXPECT_EQ(Count(ParseCsv(r.out), 25, 1), c.aaaa);
    }
}

TEST_F(BatchTest, GzipMembersStandardInputAndPipesGiveTheFilesProfile) {
    std::string fa;
    for (int i = 0; i < 500; ++i)
        fa += ">r" + std::to_string(i) + "\n" + Lines(1 + i % 7, "ATGCGTAAGT");
    const std::string half = fa.substr(0, fa.find(">r250"));
    const std::string plain = dir_.Write("plain.fa", fa);
    const std::string gz = dir_.Write("in.fa.gz", test::Gzip(fa));
    const std::string members = dir_.Write(
        "bgzip.fa.gz", test::Gzip(half) + test::Gzip("") + test::Gzip(fa.substr(half.size())));
    const std::string fifo = (dir_.Path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    const Result expected = Run({plain, "atg", "taa"});
    ASSERT_EQ(expected.status, 0) << expected.err;
    const std::vector<Way> ways = {
        {{gz, "atg", "taa"}, "", "/dev/null"},
        {{members, "atg", "taa"}, "", "/dev/null"},
        {{"--fasta", "-", "atg", "taa"}, "", plain},
        {{"--fasta", "-", "atg", "taa"}, "", members},
        {{"--fasta", "-", "atg", "taa"}, "cat " + Quote(gz) + " | ", ""},
        {{"--fasta", "/dev/stdin", "atg", "taa"}, "cat " + Quote(plain) + " | ", ""},
        {{"--fasta", fifo, "atg", "taa"},
         "cat " + Quote(gz) + " >" + Quote(fifo) + " & ",
         "/dev/null"},
    };
    ExpectEachWayGives(ways, expected);
}

TEST_F(BatchTest, TheContentRuleGoesForStandardInputAndPipes) {
    std::string fq;
    for (int i = 0; i < 400; ++i)
        fq += "@r" + std::to_string(i) + "\n" + Lines(1 + i % 3, "ATGCGTAAGT") + "+\n" +
              Lines(1 + i % 3, "@+IIIIIIII");
    const std::string plain = dir_.Write("reads.fq", fq);
    const std::string gz = dir_.Write("reads.fq.gz", test::Gzip(fq));
    const std::string fifo = (dir_.Path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Result expected = Run({plain, "atg", "taa"});
    ASSERT_EQ(expected.status, 0) << expected.err;
    EXPECT_EQ(expected.err, "processed 400\n");
    const std::vector<Way> ways = {
        {{gz, "atg", "taa"}, "", "/dev/null"},
        {{"-", "atg", "taa"}, "", plain},
        {{"-", "atg", "taa"}, "", gz},
        {{"-", "atg", "taa"}, "cat " + Quote(gz) + " | ", ""},
        {{"/dev/stdin", "atg", "taa"}, "cat " + Quote(plain) + " | ", ""},
        {{fifo, "atg", "taa"}, "cat " + Quote(plain) + " >" + Quote(fifo) + " & ", "/dev/null"},
    };
    ExpectEachWayGives(ways, expected);
}

TEST_F(BatchTest, PeakMemoryStaysBelowItsLimitOnALongRead) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory is no part of the program's";
#endif
    // One read of 40 MB whose quality line is longer than the run buffer: it is measured, never
    // held, so the run keeps under 64 MiB plus twice its longest record, from a file or gzip.
    const std::size_t length = 40'000'000;
    // Written by the shell, so that this process stays small: the children's peak is measured.
    const std::string plain = (dir_.Path() / "long.fq").string();
    const std::string gz = plain + ".gz";
    const std::string n = std::to_string(length);
    const std::string make = "{ echo @long; yes ACGT | tr -d '\\n' | head -c " + n +
                             "; printf '\\n+\\n'; yes I | tr -d '\\n' | head -c " + n +
                             "; echo; } > " + Quote(plain) + " && gzip -1 -c " + Quote(plain) +
                             " > " + Quote(gz);
    ASSERT_EQ(std::system(make.c_str()), 0);
    for (const std::string& file : {plain, gz}) {
        const Result r = Run({file, "acg"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "processed 1\n");
    }
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(std::uint64_t(usage.ru_maxrss) * 1024, 64u * 1024 * 1024 + 2 * length);
}

TEST_F(BatchTest, ASequenceTooLongForMemorySaysHowMuchWasHeld) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    // 300 MB on one line, under an address space limit that cannot hold it.
    const Result r = Run({"--text", "-", "a"},
                         "ulimit -v 400000; head -c 300000000 /dev/zero | tr '\\0' a | ", "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("kelmarin-batch: -: out of memory: a sequence of more than ", 0), 0u)
        << r.err;
    EXPECT_TRUE(r.out.empty());
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

TEST_F(BatchTest, IupacAndBothStrandsOptions) {
    // CCNAGGT is ACCTNGG on the reverse strand: agg at 4 of 7 on the given strand, the letters
    // ngg at 5 on the reverse one.
    const std::string txt = dir_.Write("in.txt", "CCNAGGT\n");
    const struct {
        std::vector<std::string> options;
        std::map<int, long> counts;
    } cases[] = {
        {{}, {}},
        {{"--iupac"}, {{57, 1}}},
        {{"--both-strands"}, {{71, 1}}},
        {{"--iupac", "--both-strands"}, {{57, 1}, {71, 1}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {txt, "NGG"});
        const Result r = Run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const Rows rows = ParseCsv(r.out);
        std::map<int, long> counts;
        for (int b = 1; b <= 100; ++b)
            if (Count(rows, b, 1)) counts[b] = Count(rows, b, 1);
        EXPECT_EQ(counts, c.counts) << testing::PrintToString(c.options);
    }
}

TEST_F(BatchTest, QuotedWordsInTheHeader) {
    const Result r = Run({dir_.Write("in.txt", "ACGT\n"), "a,c", "Say \"g\""});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "bucket,\"a,c\",\"say \"\"g\"\"\"");
}

TEST_F(BatchTest, FailuresNameTheFileAndExitWithOneAndNoOutput) {
    const std::string gz = test::Gzip(Lines(2000, "ACGTACGTTT"));
    std::string corrupt = gz;
    for (std::size_t i = 30; i < 40; ++i) corrupt[i] = char(~corrupt[i]);
    const std::string fastq = Lines(1000, "@r\nACGT\n+\nIIII");
    std::string damaged = fastq;
    damaged[damaged.find('+', fastq.size() / 2)] = '-';
    struct Case {
        std::string file, reason;
    };
    std::vector<Case> cases = {
        {(dir_.Path() / "missing.fa").string(), "no such file"},
        {dir_.Path().string(), "is a folder"},
        {"/dev/null", "not a regular file or a pipe"},
        {"/proc/self/mem", "I/O error 5"},  // EIO, which is no denied access
        {dir_.Write("corrupt.fa.gz", corrupt), "corrupt gzip stream"},
        {dir_.Write("cut.txt", gz.substr(0, gz.size() / 2)), "corrupt gzip stream"},
        {dir_.Write("long.fq", "@r\nAC\n+\nIII\n"),
         "line 4: expected a quality as long as its sequence, 2 letters, not 3"},
        {dir_.Write("cut.fq.gz", test::Gzip("@r\nACGT\n+\nII\n")),
         "line 1: the file ends inside this record: expected 2 more quality letters"},
        // Damage that inflates to bytes breaking a record before the checksum tells it.
        {dir_.Write("damaged.fq.gz", test::GzipStored(damaged, fastq)), "corrupt gzip stream"},
        {dir_.Write("reads.fastq", "@r\nAC\n@s\n"),
         "line 3: expected a '+' line before the next record"},
        {dir_.Write("reads.txt", "@r\nAC\n+\nII\nAC\n"),
         "line 5: expected '@' at the start of a record"},
    };
    if (geteuid() != 0) {  // root reads anything
        const std::string locked = dir_.Write("locked.txt", "ACGT\n");
        chmod(locked.c_str(), 0);
        cases.push_back({locked, "permission denied"});
    }
    for (const auto& c : cases) {
        const Result r = Run({c.file, "atg"});
        EXPECT_EQ(r.status, 1) << c.file;
        EXPECT_EQ(r.err.rfind("kelmarin-batch: " + c.file + ": " + c.reason, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty()) << c.file;
    }
}

TEST_F(BatchTest, BadArgumentsExitWithTwoAndTheirReason) {
    const std::string txt = dir_.Write("in.txt", "ACGT\n");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {txt},
        {txt, "a", "c", "g", "t", "n"},
        {"--bogus", txt, "a"},
        {"-x", txt, "a"},
        {"--fasta", "--text", txt, "a"},
        {"--fastq", "--fasta", txt, "a"},
        {"--size", "682", txt, "a"},
        {"--size", "0x10", txt, "a"},
        {txt, "a", "--png"},
        {txt, "a", "--svg"},
        {"--pdf", "", txt, "a"},
        {txt, ""},
        {txt, "", "", "", ""},
        {"", "a"},
        {"--shard", "0/2", txt, "a"},
        {"--shard", "3/2", txt, "a"},
        {"--shard", "1/", txt, "a"},
        {"--merge"},
        {"--merge", "--frame", txt},
        {"--shard", "1/2", "--merge", txt},
    };
    for (const auto& args : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        // One line of reason, then the usage.
        const auto eol = r.err.find('\n');
        EXPECT_EQ(r.err.rfind("kelmarin-batch: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.compare(eol + 1, 21, "usage: kelmarin-batch"), 0) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(BatchTest, HelpAndVersionGoToStandardOutput) {
    const std::string txt = dir_.Write("in.txt", "ACGT\n");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h", txt, "a"}, {txt, "a", "--help"}}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind("usage: kelmarin-batch", 0), 0u) << r.out;
        EXPECT_TRUE(r.err.empty());
    }
    const Result r = Run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "kelmarin-batch " KELMARIN_VERSION "\n");
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
        return std::abs(qRed(c) - r) <= 2 && std::abs(qGreen(c) - g) <= 2 &&
               std::abs(qBlue(c) - b) <= 2;
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

    // The same chart as SVG and PDF, beside or instead of the PNG.
    const std::string svg = (dir_.Path() / "chart.svg").string();
    const std::string pdf = (dir_.Path() / "chart.pdf").string();
    r = Run({"--svg", svg, "--pdf", pdf, "--size", "400x300", txt, "atg"});
    ASSERT_EQ(r.status, 0) << r.err;
    QFile svg_file(QString::fromStdString(svg)), pdf_file(QString::fromStdString(pdf));
    ASSERT_TRUE(svg_file.open(QIODevice::ReadOnly) && pdf_file.open(QIODevice::ReadOnly));
    const QByteArray svg_text = svg_file.readAll();
    EXPECT_TRUE(svg_text.contains("viewBox=\"0 0 400 300\"")) << svg_text.left(400).data();
    EXPECT_TRUE(svg_text.contains(">Normalized length<"));
    EXPECT_TRUE(pdf_file.read(5) == "%PDF-");

    // A picture that cannot be written fails the run before anything reaches standard output.
    for (const char* option : {"--png", "--svg", "--pdf"}) {
        r = Run({option, (dir_.Path() / "no" / "such").string(), txt, "atg"});
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find("cannot write the picture: No such file or directory"),
                  std::string::npos)
            << option;
    }
    // A full disk is a failure with its reason, and no encoder's own text; a device is written
    // where it is.
    for (const char* option : {"--png", "--svg", "--pdf"}) {
        r = Run({option, "/dev/full", txt, "atg"});
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err,
                  "kelmarin-batch: /dev/full: cannot write the picture: No space left on "
                  "device\n");
    }
    r = Run({"--png", "/dev/stdout", txt, "atg"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(1, 3), "PNG") << "the picture, then the profile";
    const std::string err = (dir_.Path() / "full.err").string();
    const int status = std::system(
        (Quote(KELMARIN_BATCH) + " " + Quote(txt) + " atg >/dev/full 2>" + Quote(err)).c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Slurp(err),
              "kelmarin-batch: cannot write the profile to standard output: No space left on "
              "device\n");
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

TEST_F(BatchTest, ShardsMergeIntoTheWholeFilesProfile) {
    // FASTA: CR LF and lone CRs, lines before the first header, a record longer than a shard.
    const std::string fa =
        dir_.Write("in.fa", "tt\r\n>a\r\nAT\rGC\r\n>b\n" + Lines(8, "CATGCATGCA") + ">c\nATG\n");
    // FASTQ, known by its content: qualities that begin with '@' or '+' (a quality "@I" with
    // the short records after it would pass for a record of four bases), CR LF, empty lines
    // between records, a multi-line record longer than a shard.
    const std::string fq =
        dir_.Write("reads.dat", "@a\nCATG\n+\n@III\n@b\r\nATGCA\r\n+b\r\n+@@@@\r\n\n@c\n" +
                                    Lines(8, "CATGCATGCA") + "+\n" + Lines(8, "@+IIIIIII@") +
                                    Lines(12, "@x\nCA\n+\n@I") + "@d\nATG\n+\n@@@\n");
    const std::vector<std::string> words = {"atg", "ca", "t"};
    for (const std::string& file : {fa, fq}) {
        std::vector<std::string> whole = {"--frame", file};
        whole.insert(whole.end(), words.begin(), words.end());
        const Result all = Run(whole);
        ASSERT_EQ(all.status, 0) << all.err;
        for (const int n : {1, 3, 7, 20}) {
            std::vector<std::string> merge = {"--merge"};
            for (int k = 1; k <= n; ++k) {
                std::vector<std::string> args = {"--frame", "--shard",
                                                 std::to_string(k) + "/" + std::to_string(n), file};
                args.insert(args.end(), words.begin(), words.end());
                const Result part = Run(args);
                ASSERT_EQ(part.status, 0) << part.err;
                merge.push_back(dir_.Write("part" + std::to_string(k) + ".csv", part.out));
            }
            const Result merged = Run(merge);
            ASSERT_EQ(merged.status, 0) << merged.err;
            EXPECT_EQ(merged.out, all.out) << n << " shards of " << file;
        }
    }
    // Neither a gzip file nor standard input can seek to a shard.
    for (const std::string& file :
         {dir_.Write("in.fa.gz", test::Gzip(">a\nATG\n")), std::string("-")}) {
        const Result r = Run({"--shard", "1/2", file, "atg"}, "", fa);
        EXPECT_EQ(r.status, 2) << file;
        EXPECT_EQ(r.err.rfind("kelmarin-batch: " + file + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("cannot seek"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << file;
    }
}

TEST_F(BatchTest, TwoThreadsGiveWhatOneGives) {
    // Files large enough to be read in parts: FASTA, and FASTQ plain, gzip and bgzip.
    std::mt19937 rng(11);
    const auto bases = [&rng](std::size_t n) {
        std::string s(n, 'a');
        for (char& c : s) c = "ACGT"[rng() % 4];
        return s;
    };
    std::string fasta, fastq;
    for (int i = 0; fasta.size() < (9 << 20); ++i)
        fasta += ">g" + std::to_string(i) + "\n" + Lines(1 + rng() % 30, bases(60));
    for (int i = 0; fastq.size() < (9 << 20); ++i)
        fastq +=
            "@r" + std::to_string(i) + "\n" + bases(150) + "\n+\n" + std::string(150, 'I') + "\n";
    const std::string fa = dir_.Write("big.fa", fasta), fq = dir_.Write("big.fq", fastq);
    const std::string gz = dir_.Write("big.fq.gz", test::Gzip(fastq));
    const std::string bgz = dir_.Write("blocks.fq.gz", test::Bgzip(fastq));
    const std::string stats = (dir_.Path() / "stats.tsv").string();
    const std::string json = (dir_.Path() / "run.json").string();
    const std::vector<std::vector<std::string>> runs = {
        {fa, "atg", "taa", "tag", "gaattc"},
        {"--iupac", "--both-strands", fa, "drach", "ngg"},
        {"--shard", "2/3", "--frame", "--reject-stop", fa, "atg"},
        {"--stats", stats, "--json", json, fq, "atg", "ca"},
        {"--reject-stop", gz, "atg", "ca"},
        {"--stats", stats, "--json", json, bgz, "atg", "ca"},
    };
    for (const auto& args : runs) {
        SCOPED_TRACE(testing::PrintToString(args));
        std::vector<Result> results;
        std::vector<std::string> files;
        for (const char* threads : {"1", "2"}) {
            std::vector<std::string> with = {"--threads", threads};
            with.insert(with.end(), args.begin(), args.end());
            results.push_back(Run(with));
            EXPECT_EQ(results.back().status, 0) << results.back().err;
            files.push_back(args[0] == "--stats" ? Slurp(stats) + Slurp(json) : "");
        }
        EXPECT_EQ(results[1].out, results[0].out);
        EXPECT_EQ(results[1].err, results[0].err);
        EXPECT_EQ(files[1], files[0]);
    }
}

// A statistics table as word -> rows of its fields after the word, bucket 1 first.
std::map<std::string, Rows> ParseStats(const std::string& tsv) {
    std::map<std::string, Rows> words;
    std::stringstream in(tsv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "word\tbucket\tobserved\texpected\tratio\tp\tq");
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream ls(line);
        std::string f;
        while (std::getline(ls, f, '\t')) fields.push_back(f);
        EXPECT_EQ(fields.size(), 7u) << line;
        words[fields[0]].push_back(std::vector<std::string>(fields.begin() + 1, fields.end()));
    }
    return words;
}

TEST_F(BatchTest, StatisticsOfAHandWorkedFile) {
    // Length 6, word of 3, in frame: valid starts 1 (bucket 17) and 4 (bucket 67) on each
    // strand. s1 three times: atg at 1. s2 begins with the stop taa: rejected. s3: atg on the
    // reverse strand at 1. s4: atg at 2 is out of frame; on the reverse strand at 4.
    const std::string fa =
        dir_.Write("in.fa",
                   ">s1\natgaaa\n>s1\natgaaa\n>s1\natgaaa\n>s2\ntaacat\n>s3\naaacat\n>s4\n"
                   "catgcc\n>empty\n\n");
    const std::string stats = (dir_.Path() / "s.tsv").string();
    const std::string json = (dir_.Path() / "s.json").string();
    const Result r = Run({"--frame", "--reject-stop", "--both-strands", "--stats", stats, "--json",
                          json, fa, "atg", "", "ccc"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto table = ParseStats(Slurp(stats));
    ASSERT_EQ(table.size(), 2u);
    const Rows& atg = table.at("atg");
    ASSERT_EQ(atg.size(), 100u);
    // N = 5 with half of each occurrence expected in either bucket: X ~ Binomial(5, 1/2).
    // Bucket 17: 4 seen, P(X >= 4) = 6/32; bucket 67: 1 seen, P(X <= 1) = 6/32; p = 12/32 for
    // both, and q too (m = 2). chi2 = 2 * 1.5^2 / 2.5 = 1.8 with df 1.
    for (int b = 1; b <= 100; ++b) {
        const auto& row = atg[std::size_t(b - 1)];
        EXPECT_EQ(row[0], std::to_string(b));
        if (b == 17 || b == 67) {
            EXPECT_EQ(row[1], b == 17 ? "4" : "1");
            EXPECT_EQ(std::stod(row[2]), 2.5);
            EXPECT_DOUBLE_EQ(std::stod(row[3]), b == 17 ? 1.6 : 0.4);
            EXPECT_NEAR(std::stod(row[4]), 0.375, 1e-12);
            EXPECT_NEAR(std::stod(row[5]), 0.375, 1e-12);
        } else {
            EXPECT_EQ(row[1] + row[2] + row[3] + row[4] + row[5], "00NA11") << b;
        }
    }
    for (const auto& row : table.at("ccc")) EXPECT_EQ(row[1] + row[2] + row[3], "00NA");
    const std::string text = Slurp(json);
    for (const char* key :
         {"\"program\":\"kelmarin-batch\"", "\"mode\":\"fasta\"", "\"frame\":true",
          "\"words\":[\"atg\",\"ccc\"]", "\"processed\":6", "\"df\":1", "\"chi2\":1.8"})
        EXPECT_NE(text.find(key), std::string::npos) << key << " in " << text;
    // P(chi-squared with 1 df >= 1.8) = erfc(sqrt(0.9)).
    const auto at = text.find("\"p_uniform\":");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(std::stod(text.substr(at + 12)), std::erfc(std::sqrt(0.9)), 1e-12);
    // The CSV on standard output is the counts alone, as without the statistics.
    EXPECT_EQ(r.out, Run({"--frame", "--reject-stop", "--both-strands", fa, "atg", "", "ccc"}).out);
}

TEST_F(BatchTest, MergedShardStatisticsAreTheWholeFilesAndMixingKindsIsRefused) {
    std::string fa;
    for (int i = 0; i < 60; ++i)
        fa += ">r\n" +
              Lines(1 + i % 5, "CATGCATGCAATGGGTTTAAATGCCC").substr(0, std::size_t(7 + i * 3)) +
              "\n";
    const std::string file = dir_.Write("in.fa", fa);
    const std::string whole = (dir_.Path() / "whole.tsv").string();
    ASSERT_EQ(Run({"--stats", whole, file, "atg", "ca"}).status, 0);
    std::vector<std::string> merge = {"--merge"};
    for (int k = 1; k <= 4; ++k) {
        merge.push_back((dir_.Path() / ("part" + std::to_string(k) + ".tsv")).string());
        ASSERT_EQ(
            Run({"--shard", std::to_string(k) + "/4", "--stats", merge.back(), file, "atg", "ca"})
                .status,
            0);
    }
    const Result merged = Run(merge);
    ASSERT_EQ(merged.status, 0) << merged.err;
    const auto sum = ParseStats(merged.out), all = ParseStats(Slurp(whole));
    ASSERT_EQ(sum.size(), 2u);
    for (const auto& [word, rows] : all)
        for (std::size_t b = 0; b < rows.size(); ++b) {
            const auto& got = sum.at(word)[b];
            EXPECT_EQ(got[1], rows[b][1]) << word << " " << b + 1;  // observed
            for (std::size_t f = 2; f < 6; ++f) {
                if (rows[b][f] == "NA") {
                    EXPECT_EQ(got[f], "NA");
                    continue;
                }
                // The shards' expected profiles add up as doubles: equal but for the last bits.
                const double want = std::stod(rows[b][f]);
                EXPECT_NEAR(std::stod(got[f]), want, 1e-12 * std::max(1.0, want));
            }
        }
    const std::string csv = dir_.Write("whole.csv", Run({file, "atg", "ca"}).out);
    const Result mixed = Run({"--merge", whole, csv});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_NE(mixed.err.find(csv), std::string::npos) << mixed.err;
    EXPECT_TRUE(mixed.out.empty());
}

TEST_F(BatchTest, SamplesSideBySide) {
    const std::string a = dir_.Write("a.fa", ">s\nATGAAATAGATG\n>t\nCCATG\n");
    const std::string b = dir_.Write("reads_1.fq.gz", test::Gzip("@r\nATGATG\n+\nIIIIII\n"));
    const std::string c = dir_.Write("c.txt", "GGATGTAA\n");
    const std::string out = (dir_.Path() / "out").string();
    // Each sample's files in --outdir are the one-file run's, byte for byte.
    const Result r = Run(
        {"-w", "atg", "--word", "", "-w", "TAA", "--outdir", out, "--stats", "--frame", a, b, c});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    for (const auto& [file, sample] : {std::pair{a, "a"}, {b, "reads_1"}, {c, "c"}}) {
        EXPECT_EQ(Slurp(out + "/" + sample + ".csv"), Run({"--frame", file, "atg", "", "TAA"}).out)
            << sample;
        const std::string stats = (dir_.Path() / "one.tsv").string();
        Run({"--frame", "--stats", stats, file, "atg", "", "TAA"});
        EXPECT_EQ(Slurp(out + "/" + sample + ".stats.tsv"), Slurp(stats)) << sample;
        EXPECT_NE(r.err.find(file + ": processed "), std::string::npos) << r.err;
    }
    // Without --outdir, one CSV: the samples in the order given, whatever the threads.
    const Result one = Run({"--threads", "1", "-w", "atg", "-w", "taa", a, b, c});
    ASSERT_EQ(one.status, 0) << one.err;
    const Rows rows = ParseCsv(one.out);
    ASSERT_EQ(rows.size(), 301u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"sample", "bucket", "atg", "taa"}));
    EXPECT_EQ(rows[1][0] + rows[101][0] + rows[201][0], "areads_1c");
    EXPECT_EQ(rows[200], (std::vector<std::string>{"reads_1", "100", "0", "0"}));
    EXPECT_EQ(Run({"--threads", "3", "-w", "atg", "-w", "taa", a, b, c}).out, one.out);

    // A file that fails stops nothing else; two files of one sample name stop everything.
    const Result failing =
        Run({"-w", "atg", "-w", "taa", a, dir_.Write("bad.fq", "@r\nACGT\n"), c});
    EXPECT_EQ(failing.status, 1);
    EXPECT_NE(failing.err.find("kelmarin-batch: " + (dir_.Path() / "bad.fq").string() + ": "),
              std::string::npos)
        << failing.err;
    EXPECT_EQ(ParseCsv(failing.out).size(), 201u);
    const Result same = Run({"-w", "atg", a, dir_.Write("a.fasta", ">x\nA\n")});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("both give the sample name 'a'"), std::string::npos) << same.err;
    EXPECT_TRUE(same.out.empty());
    EXPECT_EQ(Run({"-w", "atg", "--stats", a}).status, 2) << "--stats needs --outdir with -w";
}

TEST_F(BatchTest, MergeFailuresExitWithOneNamingTheFile) {
    const std::string txt = dir_.Write("in.txt", "ACGT\n");
    const std::string a = dir_.Write("a.csv", Run({txt, "a", "c"}).out);
    const std::string other = dir_.Write("other.csv", Run({txt, "c", "a"}).out);
    std::string big = Run({txt, "a", "c"}).out;
    big.replace(big.find("\n100,"), std::string::npos, "\n100,18446744073709551615,0\n");
    const std::string huge = dir_.Write("huge.csv", big);
    const std::string cut = dir_.Write("cut.csv", big.substr(0, big.find("\n60,") + 1));
    const std::string missing = (dir_.Path() / "missing.csv").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{a, other}, other},     {{a, cut}, cut}, {{a, huge, huge}, huge},
        {{a, missing}, missing}, {{txt}, txt},
    };
    for (const auto& [files, culprit] : cases) {
        std::vector<std::string> args = {"--merge"};
        args.insert(args.end(), files.begin(), files.end());
        const Result r = Run(args);
        EXPECT_EQ(r.status, 1) << culprit;
        EXPECT_EQ(r.err.rfind("kelmarin-batch: " + culprit + ": ", 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty()) << culprit;
    }
}

TEST(ConsoleViewTest, ProgressOfASourceReadOnceIsTheCountAlone) {
    // A pipe has no expected total: the line shows the count and no percentage.
    for (const std::string file : {"-", "in.fa"}) {
        BatchOptions options;
        options.file = file;
        std::FILE* err = std::tmpfile();
        ASSERT_NE(err, nullptr);
        {
            ConsoleView view(options, err, true);
            view.SetProcessedText("40");
            view.SetProgress(0);
            view.ShowRefresh(true);
        }
        std::rewind(err);
        char text[256] = {};
        const std::size_t n = std::fread(text, 1, sizeof text - 1, err);
        std::fclose(err);
        const std::string line(text, n);
        EXPECT_NE(line.find("40 sequences"), std::string::npos) << line;
        EXPECT_EQ(line.find('%') == std::string::npos, file == "-") << line;
    }
}

}  // namespace
}  // namespace kelmarin
