#include "ui/run_display.h"

#include <QLineEdit>
#include <QScreen>
#include <utility>

#include "chart/chart.h"
#include "gauge/gauge.h"
#include "ui/failure_scope.h"

namespace kelmarin {

RunDisplay::RunDisplay(TChart& chart, QLineEdit& counter, TGauge& gauge)
    : chart_(chart), counter_(counter), gauge_(gauge) {}

RunDisplay::Quiet::Quiet(TChart& c) : chart(c), was(c.AutoRepaint()) {
    chart.SetAutoRepaint(false);
}
RunDisplay::Quiet::~Quiet() { chart.SetAutoRepaint(was); }

void RunDisplay::Show(bool atOnce) {
    if (pacer_.Due(atOnce, FrameTime())) Put();
}

void RunDisplay::Put() {
    ++frames_;
    // A failure while painting leaves the run here, as one in the run's own code would; shown
    // inside Qt's dispatch instead, it would come back at every refresh of a long run.
    TFailureScope scope;
    // The counter is only marked: the repaints below, or the next pending events, paint it.
    if (counterText_) counter_.setText(*std::exchange(counterText_, std::nullopt));
    if (progress_) gauge_.SetProgress(*std::exchange(progress_, std::nullopt));
    if (std::exchange(seriesChanged_, false)) {
        if (beforePut_) {
            const Quiet quiet(chart_);
            beforePut_();
        }
        chart_.RequestRepaint();
        chart_.RepaintNow();
    }
    scope.RethrowIfAny();
}

RefreshPacer::Clock::duration RunDisplay::FrameTime() const {
    const QScreen* screen = chart_.screen();
    const double hertz = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60.0;
    return std::chrono::duration_cast<RefreshPacer::Clock::duration>(
        std::chrono::duration<double>(1.0 / hertz));
}

}  // namespace kelmarin
