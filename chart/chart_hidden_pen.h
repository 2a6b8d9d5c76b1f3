#pragma once
// A chart pen that starts switched off (minor grid, title frames).

#include "chart/canvas/chart_pen.h"

namespace kelmarin {

class TChartHiddenPen : public TChartPen {
  public:
    explicit TChartHiddenPen(ChangeHandler on_change = {}) {
        // Defaults are set before the owner listens: creating a pen is not a change.
        SetVisible(false);
        SetOnChange(std::move(on_change));
    }
};

}  // namespace kelmarin
