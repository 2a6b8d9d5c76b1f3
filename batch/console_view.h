#pragma once
// The run controller's view for kelmarin-batch: words and options from the command line, the
// file handed to the open dialog of its format, notices and failures on standard error, and
// a progress bar there while the run goes when standard error is a terminal. A source read
// once (standard input, a pipe) has no expected total: its progress is the count alone.

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "run/refresh_pacer.h"
#include "run/run_view.h"

namespace kelmarin {

class ConsoleView : public RunView {
  public:
    // Progress goes to err when showProgress is set.
    ConsoleView(const BatchOptions& options, std::FILE* err, bool showProgress);

    std::string WordText(int row) const override;
    bool InFrameChecked() const override { return options_.inFrame; }
    bool RejectStopChecked() const override { return options_.rejectStop; }
    bool IupacChecked() const override { return options_.iupac; }
    bool BothStrandsChecked() const override { return options_.bothStrands; }

    // The pictures are drawn from the run's result, not from the refreshes.
    void ClearPoints(int) override {}
    void AddPoint(int, double, double, TColor) override {}

    // Its progress line is drawn at most ten times a second and keeps no chart unless a picture
    // was asked for: refreshing every 1,024 sequences still moves it that often on all but
    // very long records, at a small share of the cost of a refresh every 20.
    std::uint64_t RefreshInterval() const override { return 1024; }
    void SetProcessedText(const std::string& text) override { processed_ = text; }
    void SetProgress(int percent) override { percent_ = percent; }
    void ShowRefresh(bool atOnce) override;

    void ExecuteOpenDialog(ReadingMode) override {}
    std::string OpenDialogFileName(ReadingMode dialog) const override;
    bool AcceptsStreams() const override { return true; }
    bool ReadsInOnePass() const override { return true; }
    bool ReadsAhead() const override { return options_.threads != 1; }

    int ShowMessageDialog(const std::string& text, TMsgDlgType kind,
                          TMsgDlgButtons buttons) override;
    void ShowPlainMessage(const std::string& text) override;

    void ProcessPendingEvents() override {}
    void CloseMainWindow() override {}

    // The last processed count the run showed, and whether it reached the end of the file.
    const std::string& ProcessedText() const { return processed_; }
    bool Finished() const { return finished_; }
    // An error the run reported through a dialog (the file could not be chosen).
    bool Failed() const { return failed_; }
    void ClearProgressLine();

  private:
    void DrawProgress(int percent);

    BatchOptions options_;
    std::FILE* err_;
    bool showProgress_;
    bool totalKnown_;
    RefreshPacer pacer_;
    bool progressDrawn_ = false;
    std::string processed_;
    int percent_ = 0;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace kelmarin
