#pragma once
// A view for the run controller that records what a run shows and answers its dialogs; a hook
// can act at every ProcessPendingEvents, as a user clicking between two refreshes would.

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "run/run_view.h"

namespace kelmarin::test {

class RecordingView : public RunView {
  public:
    struct Point {
        double x, y;
        TColor color;
        bool operator==(const Point&) const = default;
    };
    struct Message {
        std::string text;
        TMsgDlgType kind;
        TMsgDlgButtons buttons;
    };

    // Settings the controller reads.
    std::array<std::string, 4> words;
    bool inFrame = false;
    bool rejectStop = false;
    bool iupac = false;
    bool bothStrands = false;
    bool readsInOnePass = false;             // as kelmarin-batch reads
    std::uint64_t refreshInterval = 0;       // 0: the interval every view has unless it asks
    std::array<std::string, 3> fileNames;    // what each dialog holds
    std::array<std::string, 3> nextChoice;   // chosen at the next Execute; empty = cancel
    std::deque<int> answers;                 // dialog results; OK when none is queued
    std::function<void(int call)> onEvents;  // called at each ProcessPendingEvents

    // What the controller did.
    std::array<std::vector<Point>, 4> series;
    std::vector<std::string> log;  // one entry per call, in order
    std::vector<std::string> processedTexts;
    std::vector<int> progress;
    std::vector<Message> messages;
    std::vector<std::string> plainMessages;
    int eventCalls = 0;
    bool terminated = false;

    std::string WordText(int row) const override { return words[row - 1]; }
    bool InFrameChecked() const override { return inFrame; }
    bool RejectStopChecked() const override { return rejectStop; }
    bool IupacChecked() const override { return iupac; }
    bool BothStrandsChecked() const override { return bothStrands; }

    void ClearPoints(int s) override {
        series[s - 1].clear();
        log.push_back("clear " + std::to_string(s));
    }
    void AddPoint(int s, double x, double y, TColor color) override {
        series[s - 1].push_back({x, y, color});
    }
    void SetProcessedText(const std::string& text) override {
        processedTexts.push_back(text);
        log.push_back("edit1 " + text);
    }
    void SetProgress(int percent) override {
        progress.push_back(percent);
        log.push_back("progress " + std::to_string(percent));
    }
    void ShowRefresh(bool atOnce) override { log.push_back(atOnce ? "show now" : "show"); }

    void ExecuteOpenDialog(ReadingMode d) override {
        const auto i = std::size_t(d) - 1;
        if (!nextChoice[i].empty()) fileNames[i] = nextChoice[i];
        nextChoice[i].clear();
        log.push_back(i == 0 ? "open text" : i == 1 ? "open fasta" : "open fastq");
    }
    std::string OpenDialogFileName(ReadingMode d) const override {
        return fileNames[std::size_t(d) - 1];
    }
    bool ReadsInOnePass() const override { return readsInOnePass; }
    std::uint64_t RefreshInterval() const override {
        return refreshInterval ? refreshInterval : RunView::RefreshInterval();
    }

    int ShowMessageDialog(const std::string& text, TMsgDlgType kind,
                          TMsgDlgButtons buttons) override {
        messages.push_back({text, kind, buttons});
        log.push_back("dialog " + text);
        if (answers.empty()) return mrOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowPlainMessage(const std::string& text) override {
        plainMessages.push_back(text);
        log.push_back("plain " + text);
    }

    void ProcessPendingEvents() override {
        ++eventCalls;
        log.push_back("events");
        if (onEvents) onEvents(eventCalls);
    }
    void CloseMainWindow() override {
        terminated = true;
        log.push_back("terminate");
    }
    void SetWordText(int row, const std::string& text) override { words[row - 1] = text; }
};

}  // namespace kelmarin::test
