#include "chart/custom_axis_panel.h"

#include <algorithm>

#include "chart/chart_exceptions.h"
#include "chart/chart_series.h"

namespace kelmarin {

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent) : TChartPanelExtended(parent) {
    for (int i = 0; i < 5; ++i)
        axes_[std::size_t(i)] = std::make_unique<TChartAxis>(this, TAxisPlacement(i));
}

TCustomAxisPanel::~TCustomAxisPanel() { BeginDestroy(); }

void TCustomAxisPanel::SetMaxPointsPerPage(int n) {
    if (n < 0) throw ChartException("MaxPointsPerPage must be >= 0");
    Set(max_points_per_page_, n);
}

TChartAxis* TCustomAxisPanel::Axis(TAxisPlacement placement) {
    return axes_[std::size_t(placement)].get();
}

bool TCustomAxisPanel::IsAxisShown(const TChartAxis& axis) const {
    if (!axis_visible_ || !axis.Visible()) return false;
    if (axis.Placement() == TAxisPlacement::Depth) return View3D();
    bool any_user = false;
    for (const TChartSeries* s : SeriesList()) {
        if (!s->Active()) continue;
        if (axis.IsAttached(*s)) return true;
        any_user = true;
    }
    return !any_user;
}

int TCustomAxisPanel::AxisPosition(const TChartAxis& axis) const {
    const TRect& r = TChartPanelBase::ChartRect();
    const int across = axis.Horizontal() ? ChartHeight() : ChartWidth();
    const int shift = int(axis.PositionPercent() * across / 100.0);
    switch (axis.Placement()) {
        case TAxisPlacement::Bottom:
            return r.bottom - shift;
        case TAxisPlacement::Top:
            return r.top + shift;
        case TAxisPlacement::Right:
            return r.right - shift;
        default:
            return r.left + shift;
    }
}

TChartAxis* TCustomAxisPanel::AxisAt(int x, int y) {
    // Slack on either side, as for a series' line.
    constexpr int kReach = 3;
    for (auto& axis : axes_) {
        if (!IsAxisShown(*axis)) continue;
        const int pos = AxisPosition(*axis), outer = PlaceOf(*axis).labels_outer;
        const int along = axis->Horizontal() ? x : y, across = axis->Horizontal() ? y : x;
        const int lo = std::min(axis->StartPixel(), axis->EndPixel());
        const int hi = std::max(axis->StartPixel(), axis->EndPixel());
        if (along < lo || along > hi) continue;
        if (across >= std::min(pos, outer) - kReach && across <= std::max(pos, outer) + kReach)
            return axis.get();
    }
    return nullptr;
}

void TCustomAxisPanel::InternalPaint(const TRect& bounds) {
    PaintPanel(bounds);
    for (TChartSeries* s : SeriesList())
        if (s->Active()) s->ChartPaintBegins();
    DrawTitleBlocks();
    LayoutAxes();
    ApplySeriesMargins();
    PaintWalls();
    if (axis_visible_) {
        if (OnBeforeDrawAxes) OnBeforeDrawAxes();
        for (auto& axis : axes_)
            if (IsAxisShown(*axis)) DrawAxis(*axis);
    }
    if (OnBeforeDrawSeries) OnBeforeDrawSeries();
    DrawSeries();
    if (ZoomDragging()) DrawZoomRectangle();
    Surface().ResetDrawingState();
    if (OnAfterDraw) OnAfterDraw();
}

namespace {

// The plot-area clip around one series' points, removed however their drawing ends.
class PlotAreaClip {
  public:
    PlotAreaClip(TChartCanvas3D& canvas, const TRect& plot_area, bool on)
        : canvas_(on ? &canvas : nullptr) {
        if (canvas_) canvas_->ClipToPlotArea(plot_area, 0, 0);
    }
    PlotAreaClip(const PlotAreaClip&) = delete;
    PlotAreaClip& operator=(const PlotAreaClip&) = delete;
    ~PlotAreaClip() {
        if (canvas_) canvas_->RemoveClip();
    }

  private:
    TChartCanvas3D* canvas_;
};

}  // namespace

void TCustomAxisPanel::DrawSeries() {
    for (TChartSeries* s : SeriesList()) {
        if (!s->Active()) continue;
        s->ComputeVisibleRange();
        if (s->FirstVisibleIndex() < 0) continue;
        s->BeforeDrawValues();
        {
            const PlotAreaClip clip(Surface(), TChartPanelBase::ChartRect(), clip_points_);
            s->DrawPoints();
        }
        s->AfterDrawValues();
    }
}

}  // namespace kelmarin
