#pragma once
// A result drawn on the grafico chart as the VIEW menu and kelmarin-batch's --scale and
// --expected ask: each word's profile in one of four scales, its expected profile dashed in its
// colour, filled triangles on the buckets whose bias is significant, and at the ratio scale a
// line at 1. At Counts with nothing else asked, the chart is the plain profile chart.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "chart/grafico_config.h"
#include "chart/line_series.h"
#include "run/profile_table.h"
#include "run/profile_view.h"

namespace kelmarin {

// The left axis caption of a scale.
QString ScaleCaption(ProfileScale scale);

// The series drawn over the four word series: they join the chart after them, and leave it
// with this object.
class GraficoOverlays {
  public:
    explicit GraficoOverlays(TChart& chart);
    ~GraficoOverlays();
    GraficoOverlays(const GraficoOverlays&) = delete;
    GraficoOverlays& operator=(const GraficoOverlays&) = delete;

    void Clear();
    // The series by index: expected 1 to 4, marks 1 to 4, the line at 1, the compared profile
    // 1 to 4.
    int SeriesCount() const { return 13; }
    TLineSeries& Series(int i);

  private:
    friend void PlotProfile(TChart&, const ProfileTable&, const std::vector<int>&,
                            std::optional<std::uint64_t>, const ProfileView&, const TGraficoSeries&,
                            GraficoOverlays*, const ProfileTable*);
    std::array<TLineSeries, 4> expected_;
    std::array<TLineSeries, 4> compare_;
    std::array<TLineSeries, 4> marks_;
    std::array<std::array<bool, 100>, 4> up_{};  // per mark: above (enriched) or below
    TLineSeries one_;
};

// Draws the result: word i of the table in series series[i] (1 to 4; series without a word are
// cleared), and the overlays the view asks for, when there are overlays; compare, a profile of
// the same words, dashed with hollow points over it. The chart's left axis takes the scale's
// caption.
void PlotProfile(TChart& chart, const ProfileTable& shown, const std::vector<int>& series,
                 std::optional<std::uint64_t> processed, const ProfileView& view,
                 const TGraficoSeries& words, GraficoOverlays* overlays,
                 const ProfileTable* compare = nullptr);

}  // namespace kelmarin
