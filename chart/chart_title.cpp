#include "chart/chart_title.h"

namespace kelmarin {

TChartTitle::TChartTitle(ChangeHandler on_change) : on_change_(std::move(on_change)) {
    brush_.SetColor(clDefault);
    font_.SetOnChange(on_change_);
    frame_.SetOnChange(on_change_);
    brush_.SetOnChange(on_change_);
}

}  // namespace kelmarin
