#pragma once
// A white chart pen: the default of arrows.

#include "chart/canvas/chart_pen.h"

namespace kelmarin {

class TChartArrowPen : public TChartPen {
  public:
    explicit TChartArrowPen(ChangeHandler on_change = {}) {
        // Defaults are set before the owner listens: creating a pen is not a change.
        SetColor(clWhite);
        SetOnChange(std::move(on_change));
    }
};

}  // namespace kelmarin
