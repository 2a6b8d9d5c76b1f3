#pragma once
// The behaviour behind START, STOP and the menu commands Text, Fasta and Exit. A run reads the
// chosen file inside START's handler and shows its progress through the view every 20
// sequences; the view's pending events run only then, so STOP is seen only at a refresh.
// The controller owns the run's state for the whole program: the data file, the reading mode,
// the word profile and the lookahead line. Fastq chooses a FASTQ file as Fasta a FASTA one.

#include <cstdint>
#include <string>

#include "analysis/word_profile.h"
#include "input/line_text_file.h"
#include "input/sequence_reader.h"
#include "input/shard_range.h"
#include "run/run_view.h"

namespace kelmarin {

class RunController {
  public:
    static constexpr std::uint64_t kRefreshInterval = 20;

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

    // Later runs read only these bytes of the data file, as one shard of it; choosing a file
    // goes back to the whole file.
    void RestrictToRange(ByteRange range) {
        dataFile_.SetRange(range.begin, range.end, range.firstLine);
    }

    bool Running() const { return running_; }
    bool StopFlag() const { return stop_; }
    const std::string& ReadingMode() const { return mode_; }
    const LineTextFile& DataFile() const { return dataFile_; }
    const WordProfile& Profile() const { return profile_; }

  private:
    void Run();
    // Opens the data file, settles the reading mode and counts: the expected total.
    std::uint64_t CountingPass();
    void Refresh(const WordProfile::Words& words, std::uint64_t processed, std::uint64_t total);
    void ChooseFile(OpenDialog dialog, std::string_view mode);
    // Exit after its confirmation: closes the data file, says so and closes the main window.
    void FinishExit();
    bool DataFileAtEnd();
    void CloseDataFile();

    RunView& view_;
    bool stop_ = false;
    bool running_ = false;
    bool exitRequested_ = false;
    bool modeFromContent_ = false;
    bool progressByBytes_ = false;  // read in one pass: progress is the share consumed
    std::string mode_;
    LineTextFile dataFile_;
    SequenceReader reader_{dataFile_};
    WordProfile profile_;
};

}  // namespace kelmarin
