#include "run/run_controller.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

#include "input/fastq_reader.h"
#include "input/in_out_error.h"
#include "platform/processor.h"
#include "tests/input/gzip_bytes.h"
#include "tests/input/temp_file.h"
#include "tests/run/recording_view.h"

namespace kelmarin {
namespace {

using test::Lines;

class RunControllerTest : public ::testing::Test {
  protected:
    // Chooses a file through the Text, Fasta or Fastq command, as the user would.
    void Choose(ReadingMode d, const std::string& name) {
        view_.nextChoice[std::size_t(d) - 1] = name;
        if (d == ReadingMode::Text)
            ctl_.textClick();
        else if (d == ReadingMode::Fasta)
            ctl_.FastaClick();
        else
            ctl_.FastqClick();
    }
    void ChooseText(std::string_view bytes) {
        Choose(ReadingMode::Text, dir_.Write("in.txt", bytes));
    }

    std::vector<std::string> EntriesStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& e : view_.log)
            if (e.rfind(prefix, 0) == 0) out.push_back(e);
        return out;
    }
    std::string ExpectRunFailure() {
        try {
            ctl_.Button1Click();
        } catch (const EInOutError& e) {
            return e.what();
        }
        ADD_FAILURE() << "the run should have failed";
        return {};
    }

    test::TempDir dir_;
    test::RecordingView view_;
    RunController ctl_{view_};
};

TEST_F(RunControllerTest, RefreshesAsOftenAsTheViewAsksAndShowsTheFirstAtOnce) {
    ChooseText(Lines(45, "ATGAAA"));
    view_.words = {"ATG", "", "", ""};
    view_.refreshInterval = 32;
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, (std::vector<std::string>{"32", "45"}));
    EXPECT_EQ(view_.progress, (std::vector<int>{71, 100, 100}));
    EXPECT_EQ(EntriesStartingWith("show"),
              (std::vector<std::string>{"show now", "show now", "show now", "show now"}));
}

TEST_F(RunControllerTest, RefreshesEveryTwentySequencesAndAtTheEnd) {
    ChooseText(Lines(45, "ATGAAA"));
    view_.words = {"ATG", "", "", ""};
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, (std::vector<std::string>{"20", "40", "45"}));
    EXPECT_EQ(view_.progress, (std::vector<int>{44, 88, 100, 100}));
    EXPECT_EQ(view_.plainMessages, std::vector<std::string>{"END PROCESSING !"});
    EXPECT_FALSE(ctl_.DataFile().IsOpen());
    // Series 1 holds the final profile: 45 occurrences at position 1 of 6 → bucket 17.
    ASSERT_EQ(view_.series[0].size(), 100u);
    for (int b = 1; b <= 100; ++b) {
        EXPECT_EQ(view_.series[0][b - 1].x, b);
        EXPECT_EQ(view_.series[0][b - 1].y, b == 17 ? 45 : 0);
        EXPECT_EQ(view_.series[0][b - 1].color, clRed);
    }
    // The end: gauge to 100 and shown at once, the message, then pending events once more.
    const std::vector<std::string> tail(view_.log.end() - 4, view_.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"progress 100", "show now", "plain END PROCESSING !",
                                              "events"}));
}

TEST_F(RunControllerTest, OnlyTheFirstAndTheLastRefreshMustBeShownAtOnce) {
    ChooseText(Lines(100, "ACGT"));
    view_.words = {"a", "", "", ""};
    ctl_.Button1Click();
    // The cleared chart, the refreshes at 20 to 100, and the gauge at 100.
    const std::vector<std::string> whole = {"show now", "show now", "show",    "show",
                                            "show",     "show now", "show now"};
    EXPECT_EQ(EntriesStartingWith("show"), whole);
    // Each refresh lets events run before it is shown, so STOP is shown by the refresh that
    // saw it.
    view_.log.clear();
    view_.eventCalls = 0;
    view_.onEvents = [&](int call) {
        if (call == 4) ctl_.Button2Click();  // at the third refresh
    };
    ctl_.Button1Click();
    EXPECT_EQ(EntriesStartingWith("show"),
              (std::vector<std::string>{"show now", "show now", "show", "show now"}));
    EXPECT_EQ(view_.processedTexts.back(), "60");

    // A failure ends a run too.
    view_.eventCalls = 0;
    view_.onEvents = [&](int call) {
        if (call == 3) throw std::runtime_error("failure");
    };
    EXPECT_THROW(ctl_.Button1Click(), std::runtime_error);
    EXPECT_EQ(view_.log.back(), "show now");
    EXPECT_EQ(view_.processedTexts.back(), "40");
}

TEST_F(RunControllerTest, StartClearsAllFourSeriesThenPaintsAndLetsEventsRun) {
    ChooseText("ACGT\n");
    ctl_.Button1Click();
    const std::vector<std::string> head(view_.log.begin() + 1, view_.log.begin() + 7);
    EXPECT_EQ(head, (std::vector<std::string>{"clear 1", "clear 2", "clear 3", "clear 4",
                                              "show now", "events"}));
}

TEST_F(RunControllerTest, RejectedAndFinalEmptyReadsAreCounted) {
    view_.rejectStop = true;
    ChooseText("ATGCCC\nTAA\nGGG\n");  // the second line holds a stop codon
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"2"});
    EXPECT_EQ(view_.progress, (std::vector<int>{66, 100}));

    view_ = test::RecordingView{};
    view_.rejectStop = true;
    ChooseText("ATGCCC\nTAA\n");  // the last sequence is rejected: a final empty read
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"2"});

    view_ = test::RecordingView{};
    ChooseText("ACGT\nACGT\n\n");  // an empty last line
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"3"});
}

TEST_F(RunControllerTest, EmptyFileIsOneEmptySequence) {
    ChooseText("");
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"1"});
    EXPECT_EQ(view_.progress, (std::vector<int>{100, 100}));
    EXPECT_EQ(view_.plainMessages.size(), 1u);
}

TEST_F(RunControllerTest, OnlyRowsWithWordsGetPoints) {
    ChooseText(Lines(3, "ACGT"));
    ctl_.Button1Click();
    for (const auto& s : view_.series) EXPECT_TRUE(s.empty());
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"3"});

    view_.words = {"", "", "", "cg"};
    ctl_.Button1Click();
    for (int s = 0; s < 3; ++s) EXPECT_TRUE(view_.series[s].empty());
    ASSERT_EQ(view_.series[3].size(), 100u);
    EXPECT_EQ(view_.series[3][49].y, 3);  // cg begins at 2 of 4: bucket 50
    EXPECT_EQ(view_.series[3][49].color, clFuchsia);
}

TEST_F(RunControllerTest, PointColoursFollowTheRows) {
    ChooseText("ACGT\n");
    view_.words = {"a", "c", "g", "t"};
    ctl_.Button1Click();
    const TColor expected[] = {clRed, clBlue, clBlack, clFuchsia};
    for (int s = 0; s < 4; ++s) EXPECT_EQ(view_.series[s].front().color, expected[s]);
}

TEST_F(RunControllerTest, OptionsAreReadAnewForEverySequence) {
    ChooseText(Lines(40, "AATG"));
    view_.words = {"atg", "", "", ""};
    // Ticking in-frame reading at the first refresh leaves the later 20 sequences uncounted.
    view_.onEvents = [&](int call) {
        if (call == 2) view_.inFrame = true;
    };
    ctl_.Button1Click();
    EXPECT_EQ(view_.series[0][49].y, 20);  // atg at 2 of 4: bucket 50, not in frame
}

TEST_F(RunControllerTest, IupacAndBothStrandsHoldForTheWholeRunAndStopsStayOnTheGivenStrand) {
    // atgtta has no stop codon at 1, but taacat, its reverse strand, has; yat meets cat at 4
    // there, and nothing on the given strand.
    ChooseText(Lines(40, "ATGTTA"));
    view_.words = {"yat", "", "", ""};
    view_.iupac = true;
    view_.bothStrands = true;
    view_.rejectStop = true;
    // Unticked at the first refresh, the later 20 sequences still count both ways.
    view_.onEvents = [&](int call) {
        if (call == 2) view_.iupac = view_.bothStrands = false;
    };
    ctl_.Button1Click();
    EXPECT_EQ(view_.series[0][66].y, 40);  // bucket 67
}

TEST_F(RunControllerTest, StopEndsTheRunAtTheRefreshAndStartRunsAfresh) {
    ChooseText(Lines(100, "ACGT"));
    view_.words = {"a", "", "", ""};
    view_.onEvents = [&](int call) {
        if (call == 3) ctl_.Button2Click();  // during the second refresh
    };
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, (std::vector<std::string>{"20", "40"}));
    EXPECT_TRUE(view_.plainMessages.empty());
    EXPECT_TRUE(ctl_.DataFile().IsOpen());
    EXPECT_EQ(view_.series[0][24].y, 40);

    view_.onEvents = nullptr;
    view_.processedTexts.clear();
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts.back(), "100");
    EXPECT_EQ(view_.series[0][24].y, 100);  // a fresh profile, not 140
    EXPECT_EQ(view_.plainMessages.size(), 1u);
}

TEST_F(RunControllerTest, StopDuringTheCountingPassEndsAfterTheFirstSequence) {
    ChooseText(Lines(100, "ACGT"));
    view_.onEvents = [&](int call) {
        if (call == 1) ctl_.Button2Click();
    };
    ctl_.Button1Click();
    EXPECT_TRUE(view_.processedTexts.empty());
    EXPECT_TRUE(view_.plainMessages.empty());
}

TEST_F(RunControllerTest, CommandsDuringARunLeaveItAlone) {
    const std::string first = dir_.Write("first.txt", Lines(60, "ACGT"));
    Choose(ReadingMode::Text, first);
    view_.words = {"a", "", "", ""};
    view_.onEvents = [&](int call) {
        if (call != 2) return;
        view_.nextChoice = {dir_.Write("other.txt", "GG\n"), dir_.Write("other.fa", ">x\nGG\n"),
                            dir_.Write("other.fq", "@x\nGG\n+\nII\n")};
        ctl_.textClick();
        ctl_.FastaClick();
        ctl_.FastqClick();
        ctl_.Button1Click();
    };
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts.back(), "60");
    EXPECT_EQ(view_.series[0][24].y, 60);
    EXPECT_EQ(ModeText(ctl_.Mode()), "testo");
    EXPECT_EQ(ctl_.DataFile().Name(), first);
    EXPECT_EQ(EntriesStartingWith("open").size(), 1u);
}

TEST_F(RunControllerTest, ExitDuringARunStopsItThenCloses) {
    ChooseText(Lines(100, "ACGT"));
    view_.onEvents = [&](int call) {
        if (call != 2) return;
        view_.answers = {mrYes};
        ctl_.Exit1Click();
        EXPECT_FALSE(view_.terminated) << "the run must let go of the file first";
    };
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"20"});
    EXPECT_TRUE(view_.plainMessages.empty());
    EXPECT_FALSE(ctl_.DataFile().IsOpen());
    EXPECT_TRUE(view_.terminated);
    ASSERT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(view_.messages[1].text, "Closing application");
}

TEST_F(RunControllerTest, ExitAsksThenSaysGoodbye) {
    view_.answers = {mrNo};
    ctl_.Exit1Click();
    EXPECT_FALSE(view_.terminated);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].text, "You are closing the program. Are you sure?");
    EXPECT_EQ(view_.messages[0].kind, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(view_.messages[0].buttons, Buttons(mbYes, mbNo));

    // After a stopped run the file is still open: Exit closes it.
    ChooseText(Lines(50, "ACGT"));
    view_.onEvents = [&](int call) {
        if (call == 2) ctl_.Button2Click();
    };
    ctl_.Button1Click();
    ASSERT_TRUE(ctl_.DataFile().IsOpen());
    view_.answers = {mrYes};
    view_.messages.clear();
    ctl_.Exit1Click();
    EXPECT_FALSE(ctl_.DataFile().IsOpen());
    ASSERT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(view_.messages[1].kind, TMsgDlgType::mtInformation);
    EXPECT_EQ(view_.messages[1].buttons, Buttons(mbOK));
    const std::vector<std::string> tail(view_.log.end() - 3, view_.log.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"dialog Closing application", "events", "terminate"}));
}

TEST_F(RunControllerTest, NoRunBeginsOnceTheExitIsConfirmed) {
    ChooseText(Lines(30, "ACGT"));
    view_.answers = {mrYes};
    // START reaches the controller in the events handled before the window closes.
    view_.onEvents = [&, once = true](int) mutable {
        if (std::exchange(once, false)) ctl_.Button1Click();
    };
    ctl_.Exit1Click();
    EXPECT_TRUE(view_.processedTexts.empty());
    EXPECT_TRUE(view_.plainMessages.empty());
    EXPECT_EQ(view_.messages.size(), 2u) << "the goodbye is said once";
    EXPECT_TRUE(view_.terminated);
}

// Closes the descriptor of the open file behind its owner's back, so that its close fails.
bool CloseBehindItsBack(const std::string& name) {
    const std::filesystem::path target = std::filesystem::canonical(name);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) == target)
            return ::close(std::stoi(fd.path().filename().string())) == 0;
    }
    return false;
}

TEST_F(RunControllerTest, AnExitWhoseCloseFailsCanBeAskedForAgain) {
    const std::string name = dir_.Write("in.txt", Lines(50, "ACGT"));
    Choose(ReadingMode::Text, name);
    view_.onEvents = [&](int call) {
        if (call == 2) ctl_.Button2Click();
    };
    ctl_.Button1Click();
    ASSERT_TRUE(ctl_.DataFile().IsOpen());
    ASSERT_TRUE(CloseBehindItsBack(name));
    view_.answers = {mrYes};
    EXPECT_THROW(ctl_.Exit1Click(), EInOutError);
    EXPECT_FALSE(view_.terminated);

    // A finished run does not end the program by itself ...
    view_.onEvents = nullptr;
    ctl_.Button1Click();
    EXPECT_EQ(view_.plainMessages.size(), 1u);
    EXPECT_FALSE(view_.terminated);
    // ... and Exit asks again, then closes.
    view_.messages.clear();
    view_.answers = {mrYes};
    ctl_.Exit1Click();
    ASSERT_EQ(view_.messages.size(), 2u);
    EXPECT_EQ(view_.messages[0].text, "You are closing the program. Are you sure?");
    EXPECT_TRUE(view_.terminated);
}

TEST_F(RunControllerTest, FileChoiceFailures) {
    ctl_.Button1Click();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].text, "Reading file not selected!");
    EXPECT_EQ(view_.messages[0].kind, TMsgDlgType::mtError);
    EXPECT_EQ(view_.messages[0].buttons, Buttons(mbAbort));
    EXPECT_FALSE(ctl_.Running());

    // A name that does not exist: the error, and neither a binding nor a mode.
    Choose(ReadingMode::Fasta, (dir_.Path() / "missing.fa").string());
    EXPECT_EQ(view_.messages.back().text, "Reading fil does not exist!");
    EXPECT_EQ(view_.messages.back().buttons, Buttons(mbOK));
    EXPECT_EQ(ModeText(ctl_.Mode()), "");
    ctl_.Button1Click();
    EXPECT_EQ(view_.messages.back().text, "Reading file not selected!");

    // A folder is not a file, and a pipe cannot be read twice.
    Choose(ReadingMode::Text, dir_.Path().string());
    EXPECT_EQ(view_.messages.back().text, "Reading fil does not exist!");
    const std::string fifo = (dir_.Path() / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    view_.messages.clear();
    Choose(ReadingMode::Text, fifo);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].text, "Reading fil does not exist!");
    Choose(ReadingMode::Text, "-");  // standard input is the batch's alone
    EXPECT_EQ(view_.messages.size(), 2u);

    // A file removed after it was chosen.
    const std::string name = dir_.Write("gone.txt", "ACGT\n");
    Choose(ReadingMode::Text, name);
    std::remove(name.c_str());
    EXPECT_EQ(ExpectRunFailure(), "File not found");
    EXPECT_FALSE(ctl_.Running());
}

TEST_F(RunControllerTest, GzipFilesRunAsTheirContentInBothModes) {
    std::string fa;
    for (int i = 0; i < 50; ++i) fa += ">r\n" + Lines(1 + i % 3, "ATGAAACCCATG");
    view_.words = {"ATG", "", "", ""};
    for (ReadingMode dialog : {ReadingMode::Text, ReadingMode::Fasta}) {
        Choose(dialog, dir_.Write("plain", fa));
        ctl_.Button1Click();
        const test::RecordingView plain = view_;
        view_ = test::RecordingView{};
        view_.words = plain.words;
        Choose(dialog, dir_.Write("data.gz", test::Gzip(fa)));
        ctl_.Button1Click();
        EXPECT_EQ(view_.processedTexts, plain.processedTexts);
        EXPECT_EQ(view_.progress, plain.progress);
        ASSERT_EQ(view_.series[0].size(), 100u);
        for (int b = 0; b < 100; ++b) EXPECT_EQ(view_.series[0][b].y, plain.series[0][b].y) << b;
        view_ = test::RecordingView{};
        view_.words = plain.words;
    }
}

TEST_F(RunControllerTest, FastqThroughItsOwnDialog) {
    // 45 records of ATGAAA whose qualities hold the words' letters: only the bases count.
    Choose(ReadingMode::Fastq, dir_.Write("in.fq", Lines(45, "@r\nATGAAA\n+\natgatg")));
    EXPECT_EQ(view_.log.back(), "open fastq");
    EXPECT_EQ(ModeText(ctl_.Mode()), "fastq");
    view_.words = {"ATG", "", "", ""};
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, (std::vector<std::string>{"20", "40", "45"}));
    EXPECT_EQ(view_.progress, (std::vector<int>{44, 88, 100, 100}));
    EXPECT_EQ(view_.series[0][16].y, 45);
    double total = 0;
    for (const auto& p : view_.series[0]) total += p.y;
    EXPECT_EQ(total, 45);

    // A malformed file fails the run in its counting pass, naming the line; the previous
    // result leaves the chart rather than stand under this file's name, and nothing is offered.
    Choose(ReadingMode::Fastq, dir_.Write("bad.fq", "@r\nATG\n+\nII\n@s\nA\n+\nI\n"));
    view_.log.clear();
    EXPECT_EQ(ExpectRunFailure(),
              "line 5: expected a quality as long as its sequence, 3 letters, not 4");
    EXPECT_EQ(EntriesStartingWith("clear").size(), 4u);
    EXPECT_TRUE(view_.series[0].empty());
    EXPECT_FALSE(ctl_.ShownProfile());
    EXPECT_TRUE(ctl_.ShownRunFailed());
}

TEST_F(RunControllerTest, ReadsTakenFromTheBufferRunAsReadsReadOneByOne) {
    // Random FASTQ with the shapes that are read line by line among plain records: blank lines,
    // CR LF, split sequences, empty sequences, a last line without LF; stop codons to reject.
    std::mt19937 rng(9);
    for (int round = 0; round < 80; ++round) {
        std::string fq;
        for (int r = int(rng() % 60); r > 0; --r) {
            const std::string eol = rng() % 12 ? "\n" : "\r\n";
            if (rng() % 10 == 0) fq += eol;
            std::string seq;
            for (int n = int(rng() % 45); n > 0; --n) seq += "ACGTacgtN"[rng() % 9];
            std::string lines = seq;
            if (seq.size() > 2 && rng() % 10 == 0) lines.insert(seq.size() / 2, eol);
            fq += "@r" + eol + lines + eol + "+" + eol;
            for (std::size_t q = 0; q < seq.size(); ++q) fq += "I@+#"[rng() % 4];
            fq += eol;
        }
        if (rng() % 4 == 0 && !fq.empty()) fq.pop_back();
        SCOPED_TRACE(testing::PrintToString(fq));
        const std::string name = dir_.Write("in.fq", fq);
        test::RecordingView setup;
        setup.words = {"atg", "taa", "n", "acgtac"};
        setup.rejectStop = round % 2;
        setup.readsInOnePass = round % 3 == 0;
        setup.refreshInterval = 1 + rng() % 9;
        const auto runWith = [&](FastPaths paths) {
            SetFastPaths(paths);
            view_ = setup;
            view_.onEvents = [this](int call) { view_.inFrame = call % 3 == 0; };
            Choose(ReadingMode::Fastq, name);
            ctl_.Button1Click();
            return std::make_pair(view_.log, view_.series);
        };
        const auto oneByOne = runWith(FastPaths::None);
        EXPECT_EQ(runWith(FastPaths::Vector), oneByOne);
        EXPECT_EQ(runWith(FastPaths::Plain), oneByOne);
    }
    SetFastPaths(FastPaths::Vector);
}

TEST_F(RunControllerTest, TheContentDecidesTheModeWhenAskedTo) {
    const std::string fq = dir_.Write("reads", "@r\nACGT\n+\n@@@@\n@s\nGG\n+\n++\n");
    Choose(ReadingMode::Text, fq);
    ctl_.TakeModeFromContent();
    ctl_.Button1Click();
    EXPECT_EQ(ModeText(ctl_.Mode()), "fastq");
    EXPECT_EQ(view_.processedTexts, std::vector<std::string>{"2"});
    // Choosing a file again goes back to the command's own mode.
    Choose(ReadingMode::Text, fq);
    ctl_.Button1Click();
    EXPECT_EQ(ModeText(ctl_.Mode()), "testo");
    EXPECT_EQ(view_.processedTexts.back(), "8");
}

TEST_F(RunControllerTest, GzipReadOnceShowsTheShareOfCompressedBytesConsumed) {
    // Random bases, so that the gzip copy stays large: about 300 KB over many input blocks.
    std::string fq;
    unsigned seed = 7;
    for (int r = 0; r < 8000; ++r) {
        std::string seq(150, 'A');
        for (char& c : seq) {
            seed = seed * 1103515245u + 12345u;
            c = "ACGT"[(seed >> 16) & 3];
        }
        fq += "@r" + std::to_string(r) + "\n" + seq + "\n+\n" + std::string(150, '@') + "\n";
    }
    const std::string gz = dir_.Write("reads.fq.gz", test::Gzip(fq));
    view_.words = {"atg", "", "", "gaattc"};
    Choose(ReadingMode::Fastq, gz);
    ctl_.Button1Click();
    const test::RecordingView counted = view_;
    ASSERT_EQ(counted.processedTexts.back(), "8000");

    view_ = test::RecordingView{};
    view_.words = counted.words;
    view_.fileNames = counted.fileNames;
    view_.readsInOnePass = true;
    ctl_.Button1Click();
    EXPECT_EQ(view_.processedTexts, counted.processedTexts);
    EXPECT_EQ(view_.series, counted.series);
    // The gauge follows the compressed bytes: it never goes back, passes through the middle,
    // and ends at 100.
    ASSERT_EQ(view_.progress.size(), counted.progress.size());
    EXPECT_TRUE(std::is_sorted(view_.progress.begin(), view_.progress.end()));
    EXPECT_EQ(view_.progress.back(), 100);
    EXPECT_TRUE(std::any_of(view_.progress.begin(), view_.progress.end(),
                            [](int p) { return p > 20 && p < 80; }));
}

TEST_F(RunControllerTest, ANameWithoutAReadingModeStartsNoRun) {
    // Only Text and Fasta set the reading mode; a name that reached a dialog some other way
    // must not start a run that could never read.
    view_.fileNames[0] = dir_.Write("in.txt", "ACGT\n");
    ctl_.Button1Click();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].text, "Reading file not selected!");
    EXPECT_FALSE(ctl_.Running());
    EXPECT_TRUE(view_.processedTexts.empty());
}

TEST_F(RunControllerTest, AFailedChoiceKeepsTheBoundFileWithItsMode) {
    const std::string fasta = dir_.Write("in.fa", ">s1\nAC\n>s2\nGT\n");
    const std::string fifo = (dir_.Path() / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    view_.words = {">", "ac", "", ""};
    // Cancelled on its first opening, a name typed that does not exist, a pipe.
    for (const std::string& name : {std::string(), (dir_.Path() / "nope").string(), fifo}) {
        Choose(ReadingMode::Fasta, fasta);
        Choose(ReadingMode::Text, name);
        EXPECT_EQ(view_.messages.back().text, "Reading fil does not exist!");
        EXPECT_EQ(ModeText(ctl_.Mode()), "fasta") << name;
        ctl_.Button1Click();
        EXPECT_EQ(view_.processedTexts.back(), "2") << name;  // records, not lines
        EXPECT_EQ(view_.series[0][32].y, 0) << name;          // no header read as a sequence
    }
}

TEST_F(RunControllerTest, ANewFileStartsWithNothingOfTheLastOne) {
    view_.words = {"gt", "", "", ""};
    Choose(ReadingMode::Fasta, dir_.Write("in.fa", ">s1\nAC\n>s2\nGT\n"));
    ctl_.Button1Click();
    Choose(ReadingMode::Fasta, dir_.Write("empty.fa", ""));
    ctl_.Button1Click();
    EXPECT_EQ(view_.plainMessages.size(), 2u);
    for (const auto& point : view_.series[0]) EXPECT_EQ(point.y, 0) << point.x;
}

TEST_F(RunControllerTest, AFileThatShrankOrWasReplacedDuringTheRunFails) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "ACGTACGT\n";
    const std::string name = (dir_.Path() / "in.txt").string();
    const std::vector<std::function<void()>> changes = {
        [&] { ASSERT_EQ(truncate(name.c_str(), 40), 0); },
        [&] { ASSERT_EQ(std::rename(dir_.Write("new.txt", text).c_str(), name.c_str()), 0); },
    };
    const auto runChangingAtTheFirstRefresh = [&](const std::function<void()>& change) {
        const int first = view_.eventCalls + 2;  // the first after the chart was cleared
        view_.onEvents = [change, first](int call) {
            if (call == first) change();
        };
        view_.plainMessages.clear();
    };
    for (const auto& change : changes) {
        Choose(ReadingMode::Text, dir_.Write("in.txt", text));
        runChangingAtTheFirstRefresh(change);
        EXPECT_EQ(ExpectRunFailure(), "File changed while it was read");
        EXPECT_TRUE(view_.plainMessages.empty());  // no "END PROCESSING !"
    }
    // A FASTQ cut short beyond the buffered bytes: the change is the cause, not the record cut.
    std::string fq;
    for (int i = 0; i < 100'000; ++i)
        fq += "@r\nACGTACGTACGTACGTACGTACGTACGT\n+\n" + std::string(28, 'I') + "\n";
    const std::string cut = dir_.Write("cut.fq", fq);
    Choose(ReadingMode::Fastq, cut);
    runChangingAtTheFirstRefresh([&] { ASSERT_EQ(truncate(cut.c_str(), 1'000'003), 0); });
    EXPECT_EQ(ExpectRunFailure(), "File changed while it was read");
    // A file that only grows is read to its new end, as before.
    Choose(ReadingMode::Text, dir_.Write("grows.txt", text));
    runChangingAtTheFirstRefresh([&] { dir_.Write("grows.txt", text + "ACGT\n"); });
    ctl_.Button1Click();
    EXPECT_EQ(view_.plainMessages, std::vector<std::string>{"END PROCESSING !"});
    EXPECT_EQ(view_.processedTexts.back(), "101");
}

TEST_F(RunControllerTest, FastaWithoutHeadersRunsWithTheGaugeAtZero) {
    Choose(ReadingMode::Fasta, dir_.Write("in.fa", Lines(30, "ACGT")));
    ctl_.Button1Click();
    EXPECT_EQ(view_.progress, (std::vector<int>{0, 100}));
    EXPECT_EQ(view_.plainMessages.size(), 1u);
}

TEST_F(RunControllerTest, AFileExistsWhateverItsDate) {
    const std::string name = dir_.Write("dated.txt", "ACGT\n");
    // The epoch itself (1969 west of Greenwich), before 1980, and after 2107.
    for (const time_t stamp : {time_t(0), time_t(-1), time_t(300'000'000), time_t(4'400'000'000)}) {
        const timespec times[2] = {{stamp, 0}, {stamp, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
        view_.messages.clear();
        Choose(ReadingMode::Text, name);
        EXPECT_TRUE(view_.messages.empty()) << stamp;
        EXPECT_EQ(ctl_.DataFile().Name(), name) << stamp;
    }
}

}  // namespace
}  // namespace kelmarin

namespace kelmarin {
namespace {

TEST_F(RunControllerTest, ShowsTheLastRefreshOrAnOpenedProfile) {
    EXPECT_FALSE(ctl_.ShownProfile());
    ChooseText(Lines(45, "ATGAAA"));
    view_.words = {"ATG", "", "A", ""};
    ProfileTable opened{{"gc"}, {ProfileTable::Row{}}};
    opened.rows[0][4] = 3;
    // STOP at the first refresh; an opened profile is refused while the run goes.
    view_.onEvents = [&](int call) {
        if (call != 2) return;
        ctl_.ShowProfile(opened, "p.csv");
        ctl_.Button2Click();
    };
    ctl_.Button1Click();
    view_.words[0] = "later edit";
    const auto run = ctl_.ShownProfile();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->words, (std::vector<std::string>{"atg", "a"}));
    EXPECT_EQ(run->rows[0][16], 20u) << "the counts of the refresh after 20 sequences";
    EXPECT_EQ(std::accumulate(run->rows[1].begin(), run->rows[1].end(), 0u), 80u);
    // With the expected profiles of those counts, and the sequences they came from.
    ASSERT_EQ(run->expected.size(), 2u);
    EXPECT_DOUBLE_EQ(std::accumulate(run->expected[0].begin(), run->expected[0].end(), 0.0), 20);
    EXPECT_DOUBLE_EQ(run->expected[1][16], 80.0 / 6) << "80 a, each at any of 6 starts";
    EXPECT_EQ(ctl_.ShownProcessed(), 20u);

    view_.onEvents = nullptr;
    ctl_.ShowProfile(opened, "p.csv");
    EXPECT_EQ(view_.words, (WordProfile::Words{"gc", "", "", ""}));
    ASSERT_EQ(view_.series[0].size(), 100u);
    EXPECT_EQ(view_.series[0][4].y, 3);
    EXPECT_EQ(view_.series[0][4].color, clRed);
    EXPECT_TRUE(view_.series[2].empty());
    EXPECT_EQ(view_.processedTexts.back(), "");
    EXPECT_EQ(view_.progress.back(), 0);
    EXPECT_EQ(ctl_.ShownProfile()->words, opened.words);
    EXPECT_EQ(ctl_.ShownProfile()->rows, opened.rows);
    EXPECT_FALSE(ctl_.ShownProcessed()) << "an opened profile does not say";
    // The next run starts from nothing shown, on the file still bound.
    ctl_.Button1Click();
    EXPECT_EQ(ctl_.ShownProfile()->words, std::vector<std::string>{"gc"});
    EXPECT_EQ(view_.processedTexts.back(), "45");
}

}  // namespace
}  // namespace kelmarin
