#pragma once
// The behaviour behind START, STOP and the menu commands Text, Fasta and Exit. A run reads the
// chosen file inside START's handler and shows its progress through the view every 20
// sequences (or as often as the view asks); the view's pending events run only then, so STOP
// is seen only at a refresh. The view may put a refresh on the screen later; the first and the
// last it puts at once.
// The controller owns the run's state for the whole program: the data file, the reading mode,
// the word profile and the lookahead line. Fastq chooses a FASTQ file as Fasta a FASTA one.

#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/word_profile.h"
#include "input/in_out_error.h"
#include "input/line_text_file.h"
#include "input/sequence_reader.h"
#include "input/shard_range.h"
#include "run/profile_table.h"
#include "run/run_view.h"

namespace kelmarin {

class RunController {
  public:
    explicit RunController(RunView& view);

    void Button1Click();  // START
    void Button2Click();  // STOP
    void textClick();
    void FastaClick();
    void FastqClick();
    void Exit1Click();
    // The next run takes its reading mode from the first bytes of its file (ModeOfContent)
    // rather than from the command that chose it; choosing a file again ends this.
    void TakeModeFromContent() { modeFromContent_ = true; }

    // Binds the file that the dialog names, in the dialog's reading mode, as after the dialog
    // was closed: a file dropped on the window is named in the dialog of its kind first.
    void BindChosenFile(ReadingMode dialog);

    // Shows a profile read from fileName as a run's last refresh would show it: word i of its
    // header in word box i, its row in series i, the other series empty, the counter empty and
    // the gauge at 0. The data file and reading mode stay for the next START. Refused during a
    // run.
    void ShowProfile(const ProfileTable& table, const std::string& fileName);
    // What the chart shows: the non-empty words and the counts of a run's last refresh (with
    // their expected profiles, unless asked for only after the run counted more), or an opened
    // profile; nothing
    // before either, nothing while a new run has not refreshed yet, and nothing after a run that
    // failed (its counts are not the file's) until a run ends or a profile is opened.
    std::optional<ProfileTable> ShownProfile() const;
    bool ShownRunFailed() const { return shown_ == Shown::Failed; }
    // The series of the shown profile's words (ProfilePlot draws word i in series[i]).
    std::vector<int> ShownSeries() const;
    // The sequences counted for the result shown, when it is a run's.
    std::optional<std::uint64_t> ShownProcessed() const {
        return shown_ == Shown::Run ? shownProcessed_ : std::nullopt;
    }
    // The file of the result shown (or, before any, the file bound).
    const std::string& ShownFile() const { return shownFile_; }

    // Later runs read only these bytes of the data file, as one shard of it; choosing a file
    // goes back to the whole file.
    void RestrictToRange(ByteRange range) {
        dataFile_.SetRange(range.begin, range.end, range.firstLine);
        dataFile_.SetMemberWindow(range.members);
    }

    // Whether the last run that reached its end met a 0x1A before the end of its bytes, and
    // whether its last read was the empty sequence at the end (counted as read).
    bool EndedAtMark() const { return endedAtMark_; }
    bool EndedOnEmptyRead() const { return endedOnEmptyRead_; }

    bool Running() const { return running_; }
    bool StopFlag() const { return stop_; }
    ReadingMode Mode() const { return mode_; }
    const LineTextFile& DataFile() const { return dataFile_; }
    const WordProfile& Profile() const { return profile_; }

  private:
    void Run();
    // Opens the data file, settles the reading mode and counts: the expected total.
    std::uint64_t CountingPass();
    void Refresh(const WordProfile::Words& words, std::uint64_t processed, std::uint64_t total,
                 bool atEnd);
    void CountBatch();
    // The failure to report for a run that raised failure.
    std::exception_ptr TrueCause(const EInOutError& failure);
    // After a failure: the chart keeps what the run showed, marked as failed, never an
    // earlier result.
    void ShowFailedRun();
    void ShowFile(const std::string& name, bool failed);
    void ChooseFile(ReadingMode mode);
    void BindChosen(ReadingMode mode);
    void SetRunning(bool running);
    // Exit after its confirmation: closes the data file, says so and closes the main window.
    void FinishExit();
    bool DataFileAtEnd();
    void CloseDataFile();

    RunView& view_;
    bool stop_ = false;
    bool running_ = false;
    bool exitRequested_ = false;
    bool modeFromContent_ = false;
    bool endedAtMark_ = false;
    bool endedOnEmptyRead_ = false;
    bool progressByBytes_ = false;  // read in one pass: progress is the share consumed
    ReadingMode mode_ = ReadingMode::None;
    LineTextFile dataFile_;
    SequenceReader reader_{dataFile_};
    WordProfile profile_;
    SequenceBatch batch_;       // read, not yet counted
    bool rejectStops_ = false;  // the stop codon box, as it stood at this step of the run
    // What the chart shows: the words and counts of the last refresh, or an opened profile.
    enum class Shown { Nothing, Run, Profile, Failed } shown_ = Shown::Nothing;
    bool runCleared_ = false;  // this run has cleared the chart of what was shown before
    std::string shownFile_;
    WordProfile::Words shownWords_;
    WordProfile::Rows shownRows_{};
    // The expected profile of shownRows_, worked out from the profile while it has counted
    // nothing more since (counted_ still shownCounted_).
    void KeepShownExpected() const;
    std::uint64_t counted_ = 0;  // counts made into profile_
    std::uint64_t shownCounted_ = 0;
    mutable ExpectedProfile::Rows shownExpected_{};
    mutable bool shownHasExpected_ = false;
    std::optional<std::uint64_t> shownProcessed_;
    ProfileTable shownProfile_;
};

}  // namespace kelmarin
