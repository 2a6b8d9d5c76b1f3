#include "chart/chart_owner.h"

#include "chart/chart_series.h"
#include "chart/series_palette.h"

namespace kelmarin {

TChartOwner::~TChartOwner() {
    // Series outlive the chart only in odd teardown orders; they must not keep a dangling chart.
    for (TChartSeries* s : series_) s->ForgetChart();
}

const TRect& TChartOwner::ChartRect() const {
    static const TRect none;
    return none;
}

void TChartOwner::AttachSeries(TChartSeries& s) {
    if (series_.Contains(&s)) return;
    // Called directly (the form loader): joining through the series resolves its axes too.
    if (s.ParentChart() != this) {
        s.SetParentChart(this);
        return;
    }
    if (s.SeriesColor() == clDefault) s.SetSeriesColor(FreeSeriesColor());
    series_.Append(&s);
    Invalidate();
}

void TChartOwner::DetachSeries(TChartSeries& s) {
    if (!series_.Contains(&s)) return;
    s.ForgetChart();
    series_.Remove(&s);
    Invalidate();
}

TColor TChartOwner::FreeSeriesColor() const {
    for (int i = 0; i < kSeriesPaletteSize; ++i)
        if (IsColorFree(SeriesPaletteColor(i))) return SeriesPaletteColor(i);
    return SeriesPaletteColor(0);
}

bool TChartOwner::IsColorFree(TColor color) const {
    for (const TChartSeries* s : series_)
        if (s->SeriesColor() == color) return false;
    return color != ChartColor() && color != BackWallColor();
}

}  // namespace kelmarin
