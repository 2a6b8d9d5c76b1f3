#include "chart/line_series.h"

namespace kelmarin {

TLineSeries::TLineSeries() {
    SetLimitToAxisRange(true);
    SetKeepEdgePoint(true);
    Pointer().SetVisible(false);
}

}  // namespace kelmarin
