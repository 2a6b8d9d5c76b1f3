#pragma once
// The pen every chart element that draws lines owns: a surface pen that can also be switched
// off (Visible) or drawn with every other pixel (SmallDots). Each change is reported to the
// owner, which turns it into a repaint request of the chart.

#include "chart/canvas/canvas_pen.h"

namespace kelmarin {

class TChartPen : public TCanvasPen {
  public:
    using TCanvasPen::TCanvasPen;

    bool Visible() const { return visible_; }
    void SetVisible(bool on) { Set(visible_, on); }
    bool SmallDots() const { return small_dots_; }
    void SetSmallDots(bool on) { Set(small_dots_, on); }

    void Assign(const TCanvasPen& source) override;

  private:
    bool visible_ = true;
    bool small_dots_ = false;
};

}  // namespace kelmarin
