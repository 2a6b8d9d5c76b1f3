#pragma once
// A grey chart pen: the default of ticks.

#include "chart/canvas/chart_pen.h"

namespace kelmarin {

class TDarkGrayPen : public TChartPen {
  public:
    explicit TDarkGrayPen(ChangeHandler on_change = {}) {
        // Defaults are set before the owner listens: creating a pen is not a change.
        SetColor(clGray);
        SetOnChange(std::move(on_change));
    }
};

}  // namespace kelmarin
