// A whole run of the real main window, offscreen unless a platform is named, over a file:
// START with the words atg, taa, tag and gaattc, the end message answered. Prints the run's
// seconds, the frames put on the screen and the share of the run spent showing refreshes. With
// --view, the chart draws the ratio to the expected profile, the expected lines and the biased
// buckets all through the run.
//
// usage: window_run_bench [--view] FILE

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/application.h"
#include "ui/form1.h"
#include "ui/message_form.h"
#include "ui/view_menu.h"
#include "ui_form1.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window with the showing of its refreshes timed.
class TimedForm : public kelmarin::TForm1 {
  public:
    double showSeconds = 0;
    void ShowRefresh(bool atOnce) override {
        const auto start = Clock::now();
        TForm1::ShowRefresh(atOnce);
        showSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    void ShowPlainMessage(const std::string&) override {}  // the end message needs nobody
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    kelmarin::TApplication app(argc, argv);
    const bool view = argc > 2 && std::string(argv[1]) == "--view";
    if (argc < 2 + int(view)) {
        std::fprintf(stderr, "usage: window_run_bench [--view] FILE\n");
        return 2;
    }
    TimedForm form;
    form.show();
    if (view) {
        form.View().ScaleItem(kelmarin::ProfileScale::Ratio).trigger();
        form.View().ExpectedProfile1().trigger();
        form.View().MarkBiased1().trigger();
    }
    const QString file = QString::fromLocal8Bit(argv[1 + int(view)]);
    form.Aprifilelettura2().SetExecutor([file](kelmarin::TOpenDialog& d) {
        d.SetFileName(file);
        return true;
    });
    form.FastaClick();
    const char* words[] = {"atg", "taa", "tag", "gaattc"};
    for (int i = 0; i < 4; ++i) form.Edit(i + 2).setText(QString::fromLatin1(words[i]));

    const auto start = Clock::now();
    form.Button1Click();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long frames = form.Display().FramesShown();
    std::printf(
        "window run: %.3f s, %ld frames drawn, showing refreshes took %.3f s (%.0f %% of the "
        "run), %.0f us a frame; processed %s\n",
        seconds, frames, form.showSeconds, 100 * form.showSeconds / seconds,
        1e6 * form.showSeconds / double(frames), form.Edit(1).text().toStdString().c_str());
    return 0;
}
