#include "chart/canvas/chart_pen.h"

namespace kelmarin {

void TChartPen::Assign(const TCanvasPen& source) {
    if (const auto* chart_pen = dynamic_cast<const TChartPen*>(&source)) {
        SetVisible(chart_pen->Visible());
        SetSmallDots(chart_pen->SmallDots());
    }
    TCanvasPen::Assign(source);
}

}  // namespace kelmarin
