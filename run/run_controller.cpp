#include "run/run_controller.h"

#include <array>
#include <exception>

#include "analysis/stop_codon.h"
#include "input/in_out_error.h"
#include "run/file_exists.h"

namespace kelmarin {

namespace {

// Row r is plotted in series r with this point colour (row 2's points are pure blue, not the
// series' own darker blue).
constexpr std::array<TColor, WordProfile::kRows> kPointColors = {clRed, clBlue, clBlack, clFuchsia};

int ProgressPercent(std::uint64_t processed, std::uint64_t total) {
    // 64-bit so that the product cannot wrap; no expected total leaves the gauge at 0 until
    // the end of the file sets 100.
    return total == 0 ? 0 : int(processed * 100 / total);
}

}  // namespace

RunController::RunController(RunView& view) : view_(view) {}

void RunController::Button1Click() {
    if (running_) return;  // the run in progress keeps its file, words and series
    // Without a reading mode (no Text, Fasta or Fastq yet) nothing could be read: as no file.
    const bool noMode = mode_ != kTextMode && mode_ != kFastaMode && mode_ != kFastqMode;
    if (noMode || (view_.OpenDialogFileName(OpenDialog::Text).empty() &&
                   view_.OpenDialogFileName(OpenDialog::Fasta).empty() &&
                   view_.OpenDialogFileName(OpenDialog::Fastq).empty())) {
        view_.ShowMessageDialog("Reading file not selected!", TMsgDlgType::mtError,
                                Buttons(mbAbort));
        return;
    }
    stop_ = false;
    running_ = true;
    std::exception_ptr failure;
    try {
        Run();
    } catch (...) {
        failure = std::current_exception();
    }
    running_ = false;
    // An Exit confirmed during the run waited for the run to let go of the file, however the
    // run ended; a failure of the exit itself takes the place of the run's.
    if (exitRequested_) FinishExit();
    if (failure) std::rethrow_exception(failure);
}

void RunController::Run() {
    const std::uint64_t total = CountingPass();
    for (int s = 1; s <= WordProfile::kRows; ++s) view_.ClearPoints(s);
    view_.RepaintChartNow();
    view_.ProcessPendingEvents();

    std::uint64_t processed = 0;
    WordProfile::Words words;
    for (int r = 0; r < WordProfile::kRows; ++r) {
        words[r] = view_.WordText(r + 1);
        LowerCaseAscii(words[r]);
    }
    profile_.ClearProfile();

    const SequenceReader::RejectTest reject = [this](const std::string& seq) {
        return view_.RejectStopChecked() && HasStopCodon(seq);
    };
    std::string seq;
    for (;;) {
        reader_.NextSequence(mode_, reject, seq);
        ++processed;
        profile_.CountSequence(seq, words, view_.InFrameChecked());
        if (processed % kRefreshInterval == 0 || DataFileAtEnd()) Refresh(words, processed, total);
        // STOP, Exit or the closing of the main window: the file stays open, and the next run
        // starts it afresh.
        if (stop_ || view_.TerminationRequested()) return;
        if (DataFileAtEnd()) break;
    }
    view_.SetProgress(100);
    view_.RepaintGaugeNow();
    view_.ShowPlainMessage("END PROCESSING !");
    CloseDataFile();
    view_.ProcessPendingEvents();
}

void RunController::Refresh(const WordProfile::Words& words, std::uint64_t processed,
                            std::uint64_t total) {
    for (int r = 1; r <= WordProfile::kRows; ++r) {
        if (words[r - 1].empty()) continue;
        const WordProfile::Row& row = profile_.ProfileRow(r);
        view_.ClearPoints(r);
        for (int b = 1; b <= WordProfile::kBuckets; ++b)
            view_.AddPoint(r, double(b), double(row[b - 1]), kPointColors[r - 1]);
    }
    view_.RepaintChartNow();
    view_.SetProcessedText(std::to_string(processed));
    view_.SetProgress(progressByBytes_ ? dataFile_.PercentConsumed()
                                       : ProgressPercent(processed, total));
    view_.ProcessPendingEvents();
}

std::uint64_t RunController::CountingPass() {
    const bool once = view_.ReadsInOnePass();
    dataFile_.InflateAhead(once);
    reader_.Open();
    if (modeFromContent_) mode_ = std::string(reader_.ModeByContent());
    progressByBytes_ = once && !dataFile_.ReadsOnce();
    return once ? 0 : reader_.Count(mode_);
}

void RunController::Button2Click() { stop_ = true; }

void RunController::textClick() { ChooseFile(OpenDialog::Text, kTextMode); }

void RunController::FastaClick() { ChooseFile(OpenDialog::Fasta, kFastaMode); }

void RunController::FastqClick() { ChooseFile(OpenDialog::Fastq, kFastqMode); }

void RunController::ChooseFile(OpenDialog dialog, std::string_view mode) {
    if (running_) return;  // the running run relies on its file and reading mode
    view_.ExecuteOpenDialog(dialog);
    const std::string name = view_.OpenDialogFileName(dialog);
    if (view_.AcceptsStreams() && IsStreamName(name))
        dataFile_.BindStream(name);
    else if (FileExists(name))
        dataFile_.BindName(name);
    else
        view_.ShowMessageDialog("Reading fil does not exist!", TMsgDlgType::mtError, Buttons(mbOK));
    mode_ = std::string(mode);
    modeFromContent_ = false;
}

void RunController::Exit1Click() {
    if (exitRequested_) return;
    if (view_.ShowMessageDialog("You are closing the program. Are you sure?",
                                TMsgDlgType::mtConfirmation, Buttons(mbYes, mbNo)) != mrYes)
        return;
    exitRequested_ = true;
    if (running_)
        stop_ = true;  // the run ends at its next step, then finishes the exit
    else
        FinishExit();
}

void RunController::FinishExit() {
    try {
        CloseDataFile();
        view_.ShowMessageDialog("Closing application", TMsgDlgType::mtInformation, Buttons(mbOK));
        view_.ProcessPendingEvents();
    } catch (...) {
        // The exit failed and the program goes on: a later Exit asks again, and the end of a
        // later run must not close the program unasked.
        exitRequested_ = false;
        throw;
    }
    view_.CloseMainWindow();
}

bool RunController::DataFileAtEnd() {
    const bool atEnd = dataFile_.AtEnd();
    CheckIo();
    return atEnd;
}

void RunController::CloseDataFile() {
    if (!dataFile_.IsOpen()) return;
    dataFile_.CloseInput();
    CheckIo();
}

}  // namespace kelmarin
