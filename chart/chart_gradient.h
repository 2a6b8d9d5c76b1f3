#pragma once
// The settings of the chart's gradient background: direction, the two colours and whether it
// is shown. Each real change is reported to the chart. It does not paint: the drawing surface
// fills the bands (FillGradient).

#include <functional>

#include "chart/canvas/chart_canvas_3d.h"
#include "platform/assign_if_changed.h"
#include "platform/color.h"

namespace kelmarin {

class TChartGradient {
  public:
    using ChangeHandler = std::function<void()>;

    explicit TChartGradient(ChangeHandler on_change = {}) : on_change_(std::move(on_change)) {}

    TGradientDirection Direction() const { return direction_; }
    void SetDirection(TGradientDirection d) { Set(direction_, d); }
    TColor StartColor() const { return start_; }
    void SetStartColor(TColor c) { Set(start_, c); }
    TColor EndColor() const { return end_; }
    void SetEndColor(TColor c) { Set(end_, c); }
    bool Visible() const { return visible_; }
    void SetVisible(bool on) { Set(visible_, on); }

    void SetOnChange(ChangeHandler h) { on_change_ = std::move(h); }

  private:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] {
            if (on_change_) on_change_();
        });
    }

    TGradientDirection direction_ = gdTopBottom;
    TColor start_ = clWhite;
    TColor end_ = clYellow;
    bool visible_ = false;
    ChangeHandler on_change_;
};

}  // namespace kelmarin
