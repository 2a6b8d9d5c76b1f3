#pragma once
// The chart, the counter and the gauge as a run shows them. A run refreshes them thousands of
// times a second, far more often than a screen shows a new picture: each refresh's changes are
// kept here without asking for a paint, and put on the screen together when the pacer says so,
// at most once per frame of the window's screen (60 Hz when the screen does not say). Paints
// that the run does not cause (a zoom, an expose, a resize) go on as ever.

#include <QString>
#include <functional>
#include <optional>

#include "run/refresh_pacer.h"

class QLineEdit;

namespace kelmarin {

class TChart;
class TGauge;

class RunDisplay {
  public:
    RunDisplay(TChart& chart, QLineEdit& counter, TGauge& gauge);

    // Runs a change of the chart's series that requests no paint of its own.
    template <typename Change>
    void ChangeSeries(Change&& change) {
        const Quiet quiet(chart_);
        change();
        seriesChanged_ = true;
    }
    void SetCounterText(const QString& text) { counterText_ = text; }
    void SetProgress(int percent) { progress_ = percent; }

    // Puts what changed since the last put on the screen, at once or when a frame has passed.
    // A failure while painting comes back here.
    void Show(bool atOnce);

    // Called before changed series are put on the screen, with the chart's repaint off: what
    // the window draws from the series goes with them.
    void SetBeforePut(std::function<void()> draw) { beforePut_ = std::move(draw); }

    // Frames put on the screen so far.
    long FramesShown() const { return frames_; }
    void SetClock(RefreshPacer::ClockRead clock) { pacer_ = RefreshPacer(std::move(clock)); }

  private:
    // The chart's automatic repaint is off for as long as it lives.
    struct Quiet {
        explicit Quiet(TChart& chart);
        ~Quiet();
        TChart& chart;
        bool was;
    };

    void Put();
    RefreshPacer::Clock::duration FrameTime() const;

    TChart& chart_;
    QLineEdit& counter_;
    TGauge& gauge_;
    RefreshPacer pacer_;
    bool seriesChanged_ = false;
    std::function<void()> beforePut_;
    std::optional<QString> counterText_;
    std::optional<int> progress_;
    long frames_ = 0;
};

}  // namespace kelmarin
