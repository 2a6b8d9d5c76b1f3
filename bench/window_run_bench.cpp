// A whole run of the real main window, offscreen, over a file: START with the words atg, taa,
// tag and gaattc, every refresh painting the chart at once, the end message answered. Prints
// the run's seconds and the share of them spent painting the chart.
//
// usage: window_run_bench FILE

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ui/application.h"
#include "ui/form1.h"
#include "ui/message_form.h"
#include "ui_form1.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window with its chart repaints timed.
class TimedForm : public kelmarin::TForm1 {
  public:
    double paintSeconds = 0;
    long paints = 0;
    void RepaintChartNow() override {
        const auto start = Clock::now();
        TForm1::RepaintChartNow();
        paintSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        ++paints;
    }
    void ShowPlainMessage(const std::string&) override {}  // the end message needs nobody
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    kelmarin::TApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_run_bench FILE\n");
        return 2;
    }
    TimedForm form;
    form.show();
    const QString file = QString::fromLocal8Bit(argv[1]);
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
    std::printf(
        "window run: %.3f s, %ld chart paints taking %.3f s (%.0f %% of the run), "
        "%.0f us a paint; processed %s\n",
        seconds, form.paints, form.paintSeconds, 100 * form.paintSeconds / seconds,
        1e6 * form.paintSeconds / double(form.paints), form.Edit(1).text().toStdString().c_str());
    return 0;
}
