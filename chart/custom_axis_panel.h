#pragma once
// The chart panel with series and axes: it owns the five axes, takes part in the series'
// membership (TChartOwner), runs the order of painting a frame, and draws the axes (labels,
// ticks, grid) and the series clipped to the plot area. The layout, the titles and the walls
// are hooks that the chart level fills in; this level leaves them empty.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_owner.h"
#include "chart/chart_panel_extended.h"

namespace kelmarin {

class TCustomAxisPanel : public TChartPanelExtended, public TChartOwner {
  public:
    using ChartEvent = std::function<void()>;

    explicit TCustomAxisPanel(QWidget* parent = nullptr);
    ~TCustomAxisPanel() override;

    TChartAxis& BottomAxis() { return *axes_[0]; }
    TChartAxis& TopAxis() { return *axes_[1]; }
    TChartAxis& LeftAxis() { return *axes_[2]; }
    TChartAxis& RightAxis() { return *axes_[3]; }
    TChartAxis& DepthAxis() { return *axes_[4]; }

    bool AxisVisible() const { return axis_visible_; }
    void SetAxisVisible(bool on) { Set(axis_visible_, on); }
    void SetClipPoints(bool on) { Set(clip_points_, on); }
    int MaxPointsPerPage() const { return max_points_per_page_; }
    // Refuses negative values with a ChartException; the old value stays.
    void SetMaxPointsPerPage(int n);
    int Page() const { return page_; }
    void SetPage(int page) { Set(page_, page); }
    bool ScaleLastPage() const { return scale_last_page_; }
    void SetScaleLastPage(bool on) { Set(scale_last_page_, on); }
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool on) { Set(monochrome_, on); }

    // An axis is shown when axes are on, it is visible, and it is used by an active series
    // (or no active series uses any axis); the depth axis only in 3D.
    bool IsAxisShown(const TChartAxis& axis) const;
    // The shown axis whose line, ticks or labels cover pixel (x, y) in the last paint, or
    // nullptr; its title does not count.
    TChartAxis* AxisAt(int x, int y);

    // --- TChartOwner
    void Invalidate() override { RequestRepaint(); }
    TChartAxis* Axis(TAxisPlacement placement) override;
    TChartCanvas3D& Canvas() override { return Surface(); }
    TColor ChartColor() const override { return Color(); }
    TColor BackWallColor() const override { return clDefault; }
    const TRect& ChartRect() const override { return TChartPanelBase::ChartRect(); }
    bool ClipPoints() const override { return clip_points_; }

    ChartEvent OnBeforeDrawAxes;
    ChartEvent OnBeforeDrawSeries;
    ChartEvent OnAfterDraw;

  protected:
    // Where the layout put an axis' title and labels (pixels across the axis).
    struct TAxisPlace {
        int title = 0;
        int labels = 0;
        // The outer edge of the labels' room: the axis as a target of the mouse ends there.
        int labels_outer = 0;
    };

    void InternalPaint(const TRect& bounds) override;
    virtual void LayoutAxes() {}
    virtual void ApplySeriesMargins() {}
    virtual int WallSizeFor(const TChartAxis&) const { return 0; }
    virtual void DrawTitleBlocks() {}
    virtual void PaintWalls() {}
    // A paint during a zoom drag ends with the rubber band drawn over the new picture.
    virtual bool ZoomDragging() const { return false; }
    virtual void DrawZoomRectangle() {}

    void DrawAxis(TChartAxis& axis);
    void DrawSeries();
    TAxisPlace& PlaceOf(const TChartAxis& axis) { return places_[std::size_t(axis.Placement())]; }
    std::array<std::unique_ptr<TChartAxis>, 5>& Axes() { return axes_; }
    // The axis' line on the chart rectangle's edge, moved by PositionPercent.
    int AxisPosition(const TChartAxis& axis) const;

  private:
    void DrawAxisText(const TChartAxis& axis, int x, int y, int angle, const QString& text);
    // The width of the bevels and border round the chart's edge.
    int FrameWidth() const;
    // Where a label is drawn along its axis: its value's pixel, or nearer the middle when it
    // would not show whole there.
    int LabelPixelInside(const TChartAxis& axis, const TAxisLabel& label);
    void DrawAxisTicks(TChartAxis& axis, int pos, const std::vector<int>& ticks);
    void DrawTickSet(const TChartAxis& axis, int pos, const std::vector<int>& at, int from,
                     int length);
    void DrawGrid(TChartAxis& axis, const std::vector<int>& ticks, TChartPen& pen);
    void MinorTickPositions(const TChartAxis& axis, const std::vector<int>& ticks);

    std::array<std::unique_ptr<TChartAxis>, 5> axes_;
    std::array<TAxisPlace, 5> places_{};
    std::vector<int> minor_ticks_;
    bool axis_visible_ = true, clip_points_ = true;
    int max_points_per_page_ = 0, page_ = 1;
    bool scale_last_page_ = true, monochrome_ = false;
};

}  // namespace kelmarin
