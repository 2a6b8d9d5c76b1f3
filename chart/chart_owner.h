#pragma once
// What a series and an axis need from the chart they belong to: repaint requests, the axes,
// the drawing surface for text metrics, and the membership of series. The chart widget
// implements the abstract part; the series bookkeeping (joining, leaving, free colours) is
// the same for every chart and lives here. It does not paint and knows nothing of layout.

#include "chart/canvas/chart_rect.h"
#include "chart/chart_series_list.h"
#include "chart/chart_types.h"
#include "platform/color.h"

namespace kelmarin {

class TChartAxis;
class TChartCanvas3D;
class TChartSeries;

class TChartOwner {
  public:
    TChartOwner() = default;
    TChartOwner(const TChartOwner&) = delete;
    TChartOwner& operator=(const TChartOwner&) = delete;
    virtual ~TChartOwner();

    // A repaint request: only marks the picture stale and schedules a paint.
    virtual void Invalidate() = 0;
    // The chart's axis at a placement; nullptr when the chart has none there.
    virtual TChartAxis* Axis(TAxisPlacement placement) = 0;
    // The surface whose font measures the labels.
    virtual TChartCanvas3D& Canvas() = 0;
    // The chart's own colour and its back wall's colour: series colours avoid both.
    virtual TColor ChartColor() const = 0;
    virtual TColor BackWallColor() const = 0;
    // The plot area of the last layout, which series clip to and enter from.
    virtual const TRect& ChartRect() const;
    // Whether series drawing is clipped to the plot area.
    virtual bool ClipPoints() const { return true; }

    bool IsDestroying() const { return destroying_; }

    TChartSeriesList& SeriesList() { return series_; }
    const TChartSeriesList& SeriesList() const { return series_; }

    // Adds s at the end of the series list, giving it a free colour when it has none.
    void AttachSeries(TChartSeries& s);
    // Removes s from the series list, if it is there.
    void DetachSeries(TChartSeries& s);
    // The first palette colour that no series, nor the chart or its back wall, uses.
    TColor FreeSeriesColor() const;
    bool IsColorFree(TColor color) const;

  protected:
    // Called first by the chart's destructor: series stop asking it for repaints.
    void BeginDestroy() { destroying_ = true; }

  private:
    TChartSeriesList series_;
    bool destroying_ = false;
};

}  // namespace kelmarin
