#include "chart/chart_series_list.h"

#include <algorithm>

#include "chart/chart_series.h"

namespace kelmarin {

int TChartSeriesList::IndexOf(const TChartSeries* s) const {
    const auto it = std::find(items_.begin(), items_.end(), s);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

int TChartSeriesList::ActiveCount() const {
    return int(std::count_if(items_.begin(), items_.end(),
                             [](const TChartSeries* s) { return s->Active(); }));
}

void TChartSeriesList::Remove(const TChartSeries* s) {
    const auto it = std::find(items_.begin(), items_.end(), s);
    if (it != items_.end()) items_.erase(it);
}

}  // namespace kelmarin
