#pragma once
// A chart pen two pixels wide: the default of axis lines.

#include "chart/canvas/chart_pen.h"

namespace kelmarin {

class TChartAxisPen : public TChartPen {
  public:
    explicit TChartAxisPen(ChangeHandler on_change = {}) {
        // Defaults are set before the owner listens: creating a pen is not a change.
        SetWidth(2);
        SetOnChange(std::move(on_change));
    }
};

}  // namespace kelmarin
