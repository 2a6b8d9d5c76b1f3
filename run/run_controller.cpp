#include "run/run_controller.h"

#include <algorithm>
#include <array>
#include <exception>

#include "input/in_out_error.h"
#include "input/sequence_source.h"
#include "run/file_exists.h"
#include "run/profile_csv.h"

namespace kelmarin {

namespace {

// Row r's counts into series r, replacing its points.
void FillSeries(RunView& view, int r, const WordProfile::Row& row) {
    view.ClearPoints(r);
    for (int b = 1; b <= WordProfile::kBuckets; ++b)
        view.AddPoint(r, double(b), double(row[b - 1]), kWordPointColors[std::size_t(r - 1)]);
}

int ProgressPercent(std::uint64_t processed, std::uint64_t total) {
    // 64-bit so that the product cannot wrap; no expected total leaves the gauge at 0 until
    // the end of the file sets 100.
    return total == 0 ? 0 : int(processed * 100 / total);
}

}  // namespace

RunController::RunController(RunView& view) : view_(view) {}

void RunController::Button1Click() {
    if (running_) return;  // the run in progress keeps its file, words and series
    // Once an exit is confirmed the program only closes: a START handled among the events
    // before the window goes would run a whole file, then say goodbye again.
    if (exitRequested_) return;
    // Without a reading mode (no Text, Fasta or Fastq yet) nothing could be read: as no file.
    if (mode_ == ReadingMode::None || (view_.OpenDialogFileName(ReadingMode::Text).empty() &&
                                       view_.OpenDialogFileName(ReadingMode::Fasta).empty() &&
                                       view_.OpenDialogFileName(ReadingMode::Fastq).empty())) {
        view_.ShowMessageDialog("Reading file not selected!", TMsgDlgType::mtError,
                                Buttons(mbAbort));
        return;
    }
    stop_ = false;
    runCleared_ = false;
    endedAtMark_ = false;
    endedOnEmptyRead_ = false;
    SetRunning(true);
    std::exception_ptr failure;
    try {
        Run();
    } catch (const EInOutError& e) {
        failure = TrueCause(e);
        ShowFailedRun();
    } catch (...) {
        failure = std::current_exception();
        ShowFailedRun();
    }
    SetRunning(false);
    // An Exit confirmed during the run waited for the run to let go of the file, however the
    // run ended; a failure of the exit itself takes the place of the run's.
    if (exitRequested_) FinishExit();
    if (failure) std::rethrow_exception(failure);
}

void RunController::Run() {
    const std::uint64_t total = CountingPass();
    for (int s = 1; s <= WordProfile::kRows; ++s) view_.ClearPoints(s);
    shown_ = Shown::Nothing;
    runCleared_ = true;
    ShowFile(dataFile_.Name(), false);
    view_.ShowRefresh(true);
    view_.ProcessPendingEvents();

    std::uint64_t processed = 0;
    const std::uint64_t interval = view_.RefreshInterval();
    std::uint64_t untilRefresh = interval;
    WordProfile::Words words;
    for (int r = 0; r < WordProfile::kRows; ++r) {
        words[r] = view_.WordText(r + 1);
        LowerCaseAscii(words[r]);
    }
    // Unlike frame and StopBox, these hold for the whole run, as its words do: prepared once.
    profile_.SetWords(words, {view_.IupacChecked(), view_.BothStrandsChecked()});
    profile_.ClearProfile();

    const std::unique_ptr<SequenceSource> source =
        MakeSequenceSource(mode_, reader_, RejectRule(rejectStops_));
    std::string seq;
    batch_.Clear();
    for (;;) {
        // The options as they stand: only the events of a refresh change them.
        const bool inFrame = view_.InFrameChecked();
        rejectStops_ = view_.RejectStopChecked();
        const std::uint64_t read = source->Read(batch_, inFrame, untilRefresh, seq);
        if (!SequenceBatch::Takes(seq)) {
            profile_.CountSequence(seq, inFrame);
            ++counted_;
        }
        processed += read;
        const bool atEnd = DataFileAtEnd();
        // Counted down rather than divided: reads come by the million.
        untilRefresh -= read;
        const bool due = untilRefresh == 0;
        if (due) untilRefresh = interval;
        const bool refresh = due || atEnd;
        // Every sequence read is counted before a refresh shows the counts.
        if (refresh || batch_.Full()) CountBatch();
        if (refresh) Refresh(words, processed, total, atEnd);
        // STOP, Exit or the closing of the main window: the file stays open, and the next run
        // starts it afresh.
        if (stop_ || view_.TerminationRequested()) {
            CountBatch();
            return;
        }
        if (atEnd) break;
    }
    endedAtMark_ = dataFile_.EndedAtMark();
    endedOnEmptyRead_ = reader_.LastWasEndOfFile();
    reader_.CheckFileUnchanged();  // an end that came early is no end of the file counted
    view_.SetProgress(100);
    view_.ShowRefresh(true);
    view_.ShowPlainMessage("END PROCESSING !");
    CloseDataFile();
    view_.ProcessPendingEvents();
}

void RunController::Refresh(const WordProfile::Words& words, std::uint64_t processed,
                            std::uint64_t total, bool atEnd) {
    for (int r = 1; r <= WordProfile::kRows; ++r)
        if (!words[r - 1].empty()) FillSeries(view_, r, profile_.ProfileRow(r));
    // The counts shown are kept apart: a run that fails later has counted more than it showed.
    if (shown_ != Shown::Run) shownWords_ = words;
    shownRows_ = profile_.ProfileRows();
    shownProcessed_ = processed;
    // The expected profile is worked out when asked for, at most as often as the screen shows
    // a picture, while nothing more is counted: see ShownProfile.
    shownHasExpected_ = false;
    shownCounted_ = counted_;
    shown_ = Shown::Run;
    view_.SetProcessedText(std::to_string(processed));
    view_.SetProgress(progressByBytes_ ? dataFile_.PercentConsumed()
                                       : ProgressPercent(processed, total));
    view_.ProcessPendingEvents();
    const bool stopping = stop_ || view_.TerminationRequested();
    // A stopped run counts what it read after its last refresh: the profile is kept now. At
    // the end nothing more is counted, and it is worked out when asked for.
    if (stopping) KeepShownExpected();
    // The first and the last refresh of a run are shown at once, the others as often as the
    // screen shows a new picture.
    const bool last = atEnd || stopping;
    view_.ShowRefresh(processed <= view_.RefreshInterval() || last);
}

void RunController::KeepShownExpected() const {
    if (shownHasExpected_ || shownCounted_ != counted_) return;
    shownExpected_ = profile_.ExpectedRows();
    shownHasExpected_ = true;
}

void RunController::CountBatch() {
    ++counted_;
    profile_.CountBatch(batch_);
    batch_.Clear();
}

std::exception_ptr RunController::TrueCause(const EInOutError& failure) {
    // A record cut short by a file that shrank while it was read, or damaged gzip content that
    // inflated to bytes breaking the layout before the inflater noticed: the change, or the
    // damage further on, is the cause to report.
    if (failure.IoResult() == kIoMalformedFastq) {
        try {
            reader_.CheckFileUnchanged();
            dataFile_.ReadRestOfGzip();
            CheckIo();
        } catch (const EInOutError&) {
            return std::current_exception();
        }
    }
    return std::make_exception_ptr(failure);
}

void RunController::ShowFailedRun() {
    // Its counts are not the file's, so nothing of it may be saved, and the title says so. One
    // that failed before it cleared the chart would leave an earlier result under its name.
    // Should showing fail as well, the run's own failure is the one to report.
    try {
        if (!runCleared_) {
            for (int s = 1; s <= WordProfile::kRows; ++s) view_.ClearPoints(s);
            view_.SetProcessedText(std::string());
            view_.SetProgress(0);
        }
        shown_ = Shown::Failed;
        ShowFile(dataFile_.Name(), true);
        view_.ShowRefresh(true);
    } catch (...) {
    }
}

void RunController::ShowFile(const std::string& name, bool failed) {
    shownFile_ = name;
    view_.ShownFileChanged(name, failed);
}

std::uint64_t RunController::CountingPass() {
    const bool once = view_.ReadsInOnePass();
    dataFile_.ReadAhead(once && view_.ReadsAhead());
    reader_.Open();
    if (modeFromContent_) mode_ = reader_.ModeByContent();
    progressByBytes_ = once && !dataFile_.ReadsOnce();
    return once ? 0 : reader_.Count(mode_);
}

void RunController::Button2Click() { stop_ = true; }

void RunController::textClick() { ChooseFile(ReadingMode::Text); }

void RunController::FastaClick() { ChooseFile(ReadingMode::Fasta); }

void RunController::FastqClick() { ChooseFile(ReadingMode::Fastq); }

void RunController::ChooseFile(ReadingMode mode) {
    if (running_) return;  // the running run relies on its file and reading mode
    view_.ExecuteOpenDialog(mode);
    BindChosen(mode);
}

void RunController::BindChosenFile(ReadingMode mode) {
    if (running_) return;
    BindChosen(mode);
}

void RunController::BindChosen(ReadingMode mode) {
    const std::string name = view_.OpenDialogFileName(mode);
    if (view_.AcceptsStreams() && IsStreamName(name)) {
        dataFile_.BindStream(name);
    } else if (FileExists(name)) {
        dataFile_.BindName(name);
    } else {
        // The mode belongs to the file still bound: reading it in another would count headers
        // as sequences and still end as a success.
        view_.ShowMessageDialog("Reading fil does not exist!", TMsgDlgType::mtError, Buttons(mbOK));
        return;
    }
    reader_.ForgetLookahead();
    // The title names the result shown; only an empty chart is named after the next run's file.
    if (shown_ == Shown::Nothing) ShowFile(name, false);
    mode_ = mode;
    modeFromContent_ = false;
}

void RunController::ShowProfile(const ProfileTable& table, const std::string& fileName) {
    if (running_) return;  // the chart and word boxes are the run's
    for (int r = 1; r <= WordProfile::kRows; ++r) {
        const bool has = std::size_t(r) <= table.words.size();
        view_.SetWordText(r, has ? table.words[r - 1] : std::string());
        if (has)
            FillSeries(view_, r, table.rows[r - 1]);
        else
            view_.ClearPoints(r);
    }
    shownProfile_ = table;
    shownProcessed_.reset();
    shown_ = Shown::Profile;
    ShowFile(fileName, false);
    view_.SetProcessedText(std::string());
    view_.SetProgress(0);
    view_.ShowRefresh(true);
}

std::optional<ProfileTable> RunController::ShownProfile() const {
    switch (shown_) {
        case Shown::Run: {
            KeepShownExpected();
            if (shownHasExpected_) return RunProfileTable(shownWords_, shownRows_, shownExpected_);
            return RunProfileTable(shownWords_, shownRows_);
        }
        case Shown::Profile:
            return shownProfile_;
        case Shown::Nothing:
        case Shown::Failed:
            break;
    }
    return std::nullopt;
}

std::vector<int> RunController::ShownSeries() const {
    if (shown_ == Shown::Run) return WordSeries(shownWords_);
    std::vector<int> series;
    for (std::size_t i = 1; i <= shownProfile_.words.size(); ++i) series.push_back(int(i));
    return series;
}

void RunController::SetRunning(bool running) {
    running_ = running;
    view_.RunningChanged();
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
