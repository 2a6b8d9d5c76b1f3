#pragma once
// The brush a chart element owns (walls, titles, point markers): colour and style with the
// platform brush's rules, reporting each real change to the element, which turns it into a
// repaint request. Brush bitmaps are not supported.

#include "chart/canvas/canvas_brush.h"

namespace kelmarin {

class TChartBrush : public TCanvasBrush {
  public:
    TChartBrush() = default;
    explicit TChartBrush(ChangeHandler on_change) : TCanvasBrush(std::move(on_change)) {}
    // Set before the owner listens: creating an element is not a change.
    TChartBrush(TColor color, TBrushStyle style, ChangeHandler on_change) {
        SetColor(color);
        SetStyle(style);
        SetOnChange(std::move(on_change));
    }
};

}  // namespace kelmarin
