#include "batch/console_view.h"

#include "batch/input_problem.h"
#include "run/file_exists.h"

namespace kelmarin {

ConsoleView::ConsoleView(const BatchOptions& options, std::FILE* err, bool showProgress)
    : options_(options),
      err_(err),
      showProgress_(showProgress),
      totalKnown_(!IsStreamName(options.file)) {}

std::string ConsoleView::WordText(int row) const { return options_.words[row - 1]; }

std::string ConsoleView::OpenDialogFileName(ReadingMode dialog) const {
    // The file sits in the dialog of its mode; one the content decides, in Text's.
    const ReadingMode own = options_.mode == ReadingMode::None ? ReadingMode::Text : options_.mode;
    return dialog == own ? options_.file : std::string();
}

int ConsoleView::ShowMessageDialog(const std::string& text, TMsgDlgType kind, TMsgDlgButtons) {
    ClearProgressLine();
    if (kind == TMsgDlgType::mtError) {
        // The only error a run raises this way is a file it cannot take: say why, by name.
        failed_ = true;
        std::string problem = InputProblem(options_.file);
        if (problem.empty()) problem = "not a regular file";
        std::fprintf(err_, "%s\n", BatchMessage(options_.file + ": " + problem).c_str());
    } else {
        std::fprintf(err_, "%s\n", BatchMessage(text).c_str());
    }
    return mrOk;
}

void ConsoleView::ShowPlainMessage(const std::string&) {
    // The end message of a run: the batch reports the end by its exit status instead.
    finished_ = true;
}

void ConsoleView::ShowRefresh(bool atOnce) {
    // At most ten times a second, and always for the first and the last refresh.
    if (showProgress_ && pacer_.Due(atOnce, std::chrono::milliseconds(100))) DrawProgress(percent_);
}

void ConsoleView::DrawProgress(int percent) {
    // Among several files, the line names the one being read.
    const std::string name = options_.wordsByOption ? options_.file + " " : std::string();
    if (!totalKnown_) {
        std::fprintf(err_, "\r%s%s sequences", name.c_str(), processed_.c_str());
        std::fflush(err_);
        progressDrawn_ = true;
        return;
    }
    constexpr int kWidth = 40;
    const int clamped = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    const int filled = clamped * kWidth / 100;
    std::fprintf(err_, "\r%s[%s%s] %3d%%  %s sequences", name.c_str(),
                 std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(kWidth - filled), ' ').c_str(), clamped,
                 processed_.c_str());
    std::fflush(err_);
    progressDrawn_ = true;
}

void ConsoleView::ClearProgressLine() {
    if (!progressDrawn_) return;
    std::fprintf(err_, "\r\033[K");
    progressDrawn_ = false;
}

}  // namespace kelmarin
