#pragma once
// A grey dotted chart pen: the default of grid lines.

#include "chart/canvas/chart_pen.h"

namespace kelmarin {

class TDottedGrayPen : public TChartPen {
  public:
    explicit TDottedGrayPen(ChangeHandler on_change = {}) {
        // Defaults are set before the owner listens: creating a pen is not a change.
        SetColor(clGray);
        SetStyle(psDot);
        SetOnChange(std::move(on_change));
    }
};

}  // namespace kelmarin
