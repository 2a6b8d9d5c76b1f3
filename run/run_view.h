#pragma once
// What the run controller needs of the window around it: the word boxes and options, the four
// series, the counter and gauge, the open dialogs, the message dialogs and the event loop.
// The main window implements it with real controls, the batch front-end on a console, tests
// with a recording fake.

#include <array>
#include <cstdint>
#include <string>

#include "input/reading_mode.h"
#include "platform/color.h"
#include "run/message_kinds.h"

namespace kelmarin {

// Word row r's points are drawn in colour r - 1 (row 2's are pure blue, not its series' own
// darker blue).
inline constexpr std::array<TColor, 4> kWordPointColors = {clRed, clBlue, clBlack, clFuchsia};

class RunView {
  public:
    virtual ~RunView() = default;

    // Word box of row 1 to 4 (Edit2 to Edit5), as typed.
    virtual std::string WordText(int row) const = 0;
    virtual bool InFrameChecked() const = 0;      // frame
    virtual bool RejectStopChecked() const = 0;   // StopBox
    virtual bool IupacChecked() const = 0;        // IupacBox
    virtual bool BothStrandsChecked() const = 0;  // StrandsBox

    // Series 1 to 4.
    virtual void ClearPoints(int series) = 0;
    virtual void AddPoint(int series, double x, double y, TColor color) = 0;

    virtual void SetProcessedText(const std::string& text) = 0;  // Edit1
    virtual void SetProgress(int percent) = 0;                   // barra

    // How many sequences a run reads between refreshes. The window refreshes every 20, as its
    // chart, counter and STOP's response depend on it; a view without a chart may ask for
    // fewer, each refresh filling four series of 100 points.
    virtual std::uint64_t RefreshInterval() const { return 20; }

    // Puts the series, the counter and the gauge on the screen as the calls above left them.
    // A view may keep them waiting until a frame of its screen has passed since it last put
    // them, and put the latest state then; atOnce puts them now (the first and the last
    // refresh of a run).
    virtual void ShowRefresh(bool atOnce) = 0;

    // Opens the dialog modally; its file name afterwards is the one just chosen, or after a
    // cancel the one it held before (empty if none was ever chosen).
    virtual void ExecuteOpenDialog(ReadingMode dialog) = 0;
    virtual std::string OpenDialogFileName(ReadingMode dialog) const = 0;
    // Whether a name may stand for a source read once ("-" for standard input, or a pipe): a run
    // then makes no counting pass. The window takes regular files only.
    virtual bool AcceptsStreams() const { return false; }
    // Whether a file is read in one pass, without a counting pass, its progress the share of
    // its bytes consumed (of the compressed ones for gzip content). The window counts first, on
    // its one thread, as its gauge is measured against the count.
    virtual bool ReadsInOnePass() const { return false; }
    // Whether a regular file read in one pass is read and inflated on a thread of its own
    // beside the run; not when the run must keep to the thread it runs on.
    virtual bool ReadsAhead() const { return ReadsInOnePass(); }

    virtual int ShowMessageDialog(const std::string& text, TMsgDlgType kind,
                                  TMsgDlgButtons buttons) = 0;
    virtual void ShowPlainMessage(const std::string& text) = 0;

    // Handles every waiting window event and returns without waiting for a new one.
    virtual void ProcessPendingEvents() = 0;
    // Closes the main window, which ends the program.
    virtual void CloseMainWindow() = 0;
    // Whether the program is ending (its main window was closed): a run stops at its next
    // refresh, as on STOP.
    virtual bool TerminationRequested() const { return false; }

    // Results shown without a run: word box of row 1 to 4 gets an opened profile's word.
    virtual void SetWordText(int /*row*/, const std::string& /*text*/) {}
    // The file whose results the chart shows: a run's file, an opened profile, or before any
    // result the file bound for the next START. failed: its run failed, and what the chart
    // shows of it is not the file's result. The window names it in its title.
    virtual void ShownFileChanged(const std::string& /*name*/, bool /*failed*/) {}
    // A run began, or ended however it ended.
    virtual void RunningChanged() {}
};

}  // namespace kelmarin
