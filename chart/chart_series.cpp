#include "chart/chart_series.h"

#include <algorithm>

#include "chart/chart_axis.h"
#include "chart/chart_owner.h"
#include "chart/series_palette.h"

namespace kelmarin {

TChartSeries::TChartSeries()
    : x_values_(this, QStringLiteral("X")), y_values_(this, QStringLiteral("Y")) {
    x_values_.SetOrder(loAscending);
}

TChartSeries::~TChartSeries() {
    // The base-class versions run here; a chart being destroyed gets no repaint request.
    ClearPoints();
    if (chart_) chart_->DetachSeries(*this);
}

void TChartSeries::ClearStorage() {
    for (TChartValueList* list : ValueLists()) list->RemoveAll();
    std::vector<TColor>().swap(colors_);
    std::vector<std::optional<QString>>().swap(labels_);
}

void TChartSeries::AfterDrawValues() {
    if (OnAfterDrawValues) OnAfterDrawValues(*this);
}

void TChartSeries::BeforeDrawValues() {
    if (OnBeforeDrawValues) OnBeforeDrawValues(*this);
}

void TChartSeries::DrawPoints() {
    if (first_visible_ < 0) return;
    for (int i = first_visible_; i <= last_visible_; ++i) DrawPoint(i);
}

void TChartSeries::DrawPoint(int) {}

int TChartSeries::FirstIndexAtLeast(int from, double x) const {
    // The X values are in ascending order here, so the first match is found by halving.
    int lo = from, hi = PointCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (XValueAt(mid) >= x)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void TChartSeries::ComputeVisibleRange() {
    first_visible_ = last_visible_ = -1;
    const int count = PointCount();
    if (count == 0) return;
    if (!limit_to_axis_range_ || x_values_.Order() == loNone || !resolved_horiz_ || !chart_) {
        first_visible_ = 0;
        last_visible_ = count - 1;
        return;
    }
    const TRect& r = chart_->ChartRect();
    const bool inv = resolved_horiz_->Inverted();
    const double lo = resolved_horiz_->PixelToValue(inv ? r.right : r.left);
    const double hi = resolved_horiz_->PixelToValue(inv ? r.left : r.right);
    const int first = FirstIndexAtLeast(0, lo);
    if (first >= count) return;
    first_visible_ = first;
    if (XValueAt(count - 1) <= hi) {
        last_visible_ = count - 1;
        return;
    }
    int last = std::min(FirstIndexAtLeast(first, hi), count - 1);
    if (!keep_edge_point_ && XValueAt(last) > hi) --last;
    last_visible_ = last;
}

TColor TChartSeries::PointColor(int i) const {
    if (i < 0 || std::size_t(i) >= colors_.size()) return series_color_;
    const TColor c = colors_[std::size_t(i)];
    if (c != clDefault) return c;
    return color_each_point_ ? SeriesPaletteColor(i) : series_color_;
}

QString TChartSeries::PointLabel(int i) const {
    if (i < 0 || std::size_t(i) >= labels_.size() || !labels_[std::size_t(i)]) return QString();
    return *labels_[std::size_t(i)];
}

void TChartSeries::PointAdded(int i) {
    if (OnAfterAdd) OnAfterAdd(*this, i);
    if (active_) RequestRepaint();
}

void TChartSeries::SetActive(bool on) {
    if (on == active_) return;
    active_ = on;
    RequestRepaint();
}

void TChartSeries::SetColorEachPoint(bool on) {
    if (on != color_each_point_) {
        color_each_point_ = on;
        RequestRepaint();
    }
    if (!on)
        for (int i = 0; i < int(colors_.size()); ++i) SetPointColor(i, clDefault);
}

void TChartSeries::SetParentChart(TChartOwner* chart) {
    if (chart == chart_) return;
    if (chart_) chart_->DetachSeries(*this);
    chart_ = chart;
    ResolveAxes();
    if (chart_) chart_->AttachSeries(*this);
}

void TChartSeries::ResolveAxes() {
    resolved_horiz_ = resolved_vert_ = nullptr;
    if (!chart_) return;
    if (horiz_axis_ == aTopAxis)
        resolved_horiz_ = chart_->Axis(TAxisPlacement::Top);
    else if (horiz_axis_ == aCustomHorizAxis && custom_horiz_)
        resolved_horiz_ = custom_horiz_;
    else
        resolved_horiz_ = chart_->Axis(TAxisPlacement::Bottom);
    if (vert_axis_ == aRightAxis)
        resolved_vert_ = chart_->Axis(TAxisPlacement::Right);
    else if (vert_axis_ == aCustomVertAxis && custom_vert_)
        resolved_vert_ = custom_vert_;
    else
        resolved_vert_ = chart_->Axis(TAxisPlacement::Left);
}

void TChartSeries::SetSeriesColor(TColor color) {
    if (color == series_color_) return;
    series_color_ = color;
    RequestRepaint();
}

int TChartSeries::AddPoint(double x, double y, const QString& label, TColor color) {
    x_values_.SetPendingValue(x);
    y_values_.SetPendingValue(y);
    if (OnBeforeAdd && !OnBeforeAdd(*this)) return -1;
    const int i = x_values_.InsertOrdered(x);
    y_values_.InsertAt(i, y);
    // Colours and labels may be shorter than the values; pad so that index i lines up.
    if (colors_.size() < std::size_t(i)) colors_.resize(std::size_t(i), clDefault);
    colors_.insert(colors_.begin() + i, color);
    if (labels_.size() < std::size_t(i)) labels_.resize(std::size_t(i));
    labels_.insert(labels_.begin() + i,
                   label.isEmpty() ? std::nullopt : std::optional<QString>(label));
    PointAdded(i);
    return i;
}

void TChartSeries::ClearPoints() {
    ClearStorage();
    // The range the last paint drew no longer exists: a click before the next paint finds
    // nothing of this series rather than points that are gone.
    SetVisibleRange(-1, -1);
    if (OnClearValues) OnClearValues(*this);
    if (active_ && chart_ && !chart_->IsDestroying()) RequestRepaint();
}

int TChartSeries::XPixel(int i) const {
    return resolved_horiz_ ? resolved_horiz_->ValueToPixel(XValueAt(i)) : 0;
}

int TChartSeries::YPixel(int i) const {
    return resolved_vert_ ? resolved_vert_->ValueToPixel(YValueAt(i)) : 0;
}

void TChartSeries::SetPointColor(int i, TColor color) {
    if (i < 0 || i >= PointCount()) return;
    if (colors_.size() <= std::size_t(i)) colors_.resize(std::size_t(i) + 1, clDefault);
    colors_[std::size_t(i)] = color;
    RequestRepaint();
}

void TChartSeries::RequestRepaint() {
    if (chart_) chart_->Invalidate();
}

void TChartSeries::SetHorizAxis(THorizAxis a) {
    if (a == horiz_axis_) return;
    horiz_axis_ = a;
    ResolveAxes();
    RequestRepaint();
}

void TChartSeries::SetVertAxis(TVertAxis a) {
    if (a == vert_axis_) return;
    vert_axis_ = a;
    ResolveAxes();
    RequestRepaint();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis* axis) {
    custom_horiz_ = axis;
    ResolveAxes();
}

void TChartSeries::SetCustomVertAxis(TChartAxis* axis) {
    custom_vert_ = axis;
    ResolveAxes();
}

void TChartSeries::ForgetChart() {
    chart_ = nullptr;
    resolved_horiz_ = resolved_vert_ = nullptr;
}

}  // namespace kelmarin
