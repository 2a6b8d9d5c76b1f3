#pragma once
// The data of one plotted curve: parallel X values, Y values, point colours and point labels
// addressed by one index, with the add, clear, colour and repaint rules shared by every kind of
// series. Drawing is left to the kinds of series that derive from it; this class draws nothing.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "chart/chart_types.h"
#include "chart/chart_value_list.h"
#include "platform/color.h"

namespace kelmarin {

class TChartAxis;
class TChartOwner;

class TChartSeries {
  public:
    using BeforeAddHandler = std::function<bool(TChartSeries&)>;
    using AfterAddHandler = std::function<void(TChartSeries&, int)>;
    using SeriesHandler = std::function<void(TChartSeries&)>;
    // The series, the point hit, the button and the client pixel of the press.
    using ClickHandler = std::function<void(TChartSeries&, int, TMouseButton, int, int)>;

    TChartSeries();
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;
    virtual ~TChartSeries();

    // Empties every value list, the colours and the labels, without notification.
    virtual void ClearStorage();
    virtual void AfterDrawValues();
    virtual void BeforeDrawValues();
    // Draws the visible points in ascending order, one DrawPoint each. The chart's paint calls
    // it between the two hooks, clipped to the plot area, once ComputeVisibleRange found any.
    virtual void DrawPoints();
    // A chart paint begins (before the layout); nothing for most kinds of series.
    virtual void ChartPaintBegins() {}
    // Finds the first and last index to draw from the horizontal axis' current range.
    virtual void ComputeVisibleRange();
    virtual void DrawPoint(int i);
    // The point's own colour, the palette's or the series colour (defined for every index).
    virtual TColor PointColor(int i) const;
    // The point's label, or empty when it has none (defined for every index).
    virtual QString PointLabel(int i) const;
    virtual double XValueAt(int i) const { return x_values_.ValueAt(i); }
    virtual double YValueAt(int i) const { return y_values_.ValueAt(i); }
    virtual void PointAdded(int i);
    virtual void SetActive(bool on);
    virtual void SetColorEachPoint(bool on);
    // Joins chart (nullptr: leaves the current one) and resolves the axes from it.
    virtual void SetParentChart(TChartOwner* chart);
    virtual void SetSeriesColor(TColor color);
    // Arguments in this order: X, Y, label, colour. Answers the new index, -1 when vetoed.
    virtual int AddPoint(double x, double y, const QString& label, TColor color);
    virtual void ClearPoints();
    virtual double MaximumX() const { return x_values_.HighestValue(); }
    virtual double MaximumY() const { return y_values_.HighestValue(); }
    virtual double MinimumX() const { return x_values_.LowestValue(); }
    virtual double MinimumY() const { return y_values_.LowestValue(); }
    virtual int XPixel(int i) const;
    virtual int YPixel(int i) const;
    // Pixels the series wants kept free at the ends of its axes: (left, right), (top, bottom).
    virtual std::pair<int, int> HorizontalMargins() const { return {0, 0}; }
    virtual std::pair<int, int> VerticalMargins() const { return {0, 0}; }
    // The point whose drawing (marker or incoming line) covers pixel (x, y) as the last paint
    // placed it, or -1. A series that draws nothing is never hit.
    virtual int Clicked(int /*x*/, int /*y*/) const { return -1; }

    int PointCount() const { return x_values_.ValueCount(); }
    void SetPointColor(int i, TColor color);
    // Only invalidates the chart; the paint comes when the window system delivers it.
    void RequestRepaint();

    bool Active() const { return active_; }
    TColor SeriesColor() const { return series_color_; }
    bool ColorEachPoint() const { return color_each_point_; }
    TChartOwner* ParentChart() const { return chart_; }
    TChartValueList& XValues() { return x_values_; }
    const TChartValueList& XValues() const { return x_values_; }
    TChartValueList& YValues() { return y_values_; }
    const TChartValueList& YValues() const { return y_values_; }
    // The value lists in creation order: X first, Y second.
    std::vector<TChartValueList*> ValueLists() { return {&x_values_, &y_values_}; }
    // True when the Y values are the ones every point must have (X may be implied by index).
    virtual bool YMandatory() const { return true; }

    THorizAxis HorizAxis() const { return horiz_axis_; }
    void SetHorizAxis(THorizAxis a);
    TVertAxis VertAxis() const { return vert_axis_; }
    void SetVertAxis(TVertAxis a);
    void SetCustomHorizAxis(TChartAxis* axis);
    void SetCustomVertAxis(TChartAxis* axis);
    // The axes resolved when the series joined its chart; nullptr without a chart.
    TChartAxis* GetHorizAxis() const { return resolved_horiz_; }
    TChartAxis* GetVertAxis() const { return resolved_vert_; }

    // Cut the drawn range to the horizontal axis range; keep the first point beyond it.
    bool LimitToAxisRange() const { return limit_to_axis_range_; }
    void SetLimitToAxisRange(bool on) { limit_to_axis_range_ = on; }
    bool KeepEdgePoint() const { return keep_edge_point_; }
    void SetKeepEdgePoint(bool on) { keep_edge_point_ = on; }

    int FirstVisibleIndex() const { return first_visible_; }
    int LastVisibleIndex() const { return last_visible_; }
    void SetVisibleRange(int first, int last) {
        first_visible_ = first;
        last_visible_ = last;
    }

    BeforeAddHandler OnBeforeAdd;
    AfterAddHandler OnAfterAdd;
    SeriesHandler OnClearValues;
    SeriesHandler OnBeforeDrawValues;
    SeriesHandler OnAfterDrawValues;
    ClickHandler OnClick;
    ClickHandler OnDblClick;

    // Membership bookkeeping for the chart (TChartOwner); not for other callers.
    void RecordChart(TChartOwner* chart) { chart_ = chart; }
    void ForgetChart();

  private:
    void ResolveAxes();
    int FirstIndexAtLeast(int from, double x) const;

    bool active_ = true;
    TColor series_color_ = clDefault;
    bool color_each_point_ = false;
    std::vector<TColor> colors_;
    bool limit_to_axis_range_ = false;
    bool keep_edge_point_ = false;
    int first_visible_ = -1;
    int last_visible_ = -1;
    TChartAxis* resolved_horiz_ = nullptr;
    TChartAxis* resolved_vert_ = nullptr;
    std::vector<std::optional<QString>> labels_;
    TChartOwner* chart_ = nullptr;
    TChartValueList x_values_;
    TChartValueList y_values_;
    THorizAxis horiz_axis_ = aBottomAxis;
    TVertAxis vert_axis_ = aLeftAxis;
    TChartAxis* custom_horiz_ = nullptr;
    TChartAxis* custom_vert_ = nullptr;
};

}  // namespace kelmarin
