#pragma once
// When a refresh of a run goes on the screen. A run refreshes thousands of times a second, far
// more often than a screen shows a new picture; a refresh is drawn when it must be (the first
// and the last of a run), or once a frame's time has passed since the last one drawn. The
// others leave their changes waiting, and the next drawn refresh shows the latest state. The
// clock is read at each refresh: no timer and no thread.

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

namespace kelmarin {

class RefreshPacer {
  public:
    using Clock = std::chrono::steady_clock;
    using ClockRead = std::function<Clock::time_point()>;

    explicit RefreshPacer(ClockRead clock = &Clock::now) : clock_(std::move(clock)) {}

    // Whether this refresh is drawn: when atOnce, the first one, or one at least a frame after
    // the last one drawn. Reads the clock once.
    bool Due(bool atOnce, Clock::duration frame);

  private:
    ClockRead clock_;
    std::optional<Clock::time_point> lastDrawn_;
};

}  // namespace kelmarin
