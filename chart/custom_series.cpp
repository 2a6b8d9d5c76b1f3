#include "chart/custom_series.h"

#include <algorithm>
#include <cmath>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/chart_axis.h"
#include "chart/chart_owner.h"

namespace kelmarin {

namespace {

bool Drawable(int p) { return p >= -32766 && p <= 32766; }

}  // namespace

TCustomSeries::TCustomSeries() : pointer_(this) {
    line_pen_.SetOnChange([this] { RequestRepaint(); });
}

void TCustomSeries::SetStairs(bool on) {
    if (on == stairs_) return;
    stairs_ = on;
    RequestRepaint();
}

void TCustomSeries::SetLineHeight(int px) {
    if (px == line_height_) return;
    line_height_ = px;
    RequestRepaint();
}

void TCustomSeries::SetDark3D(bool on) {
    if (on == dark_3d_) return;
    dark_3d_ = on;
    RequestRepaint();
}

TChartCanvas3D* TCustomSeries::Surface() const {
    return ParentChart() ? &ParentChart()->Canvas() : nullptr;
}

std::pair<int, int> TCustomSeries::HorizontalMargins() const {
    int left = 0, right = 0;
    if (pointer_.Visible() && pointer_.InflateMargins()) left = right = pointer_.HorizSize() + 1;
    if (stairs_) left = right = std::max(left, line_pen_.Width());
    return {left, right};
}

std::pair<int, int> TCustomSeries::VerticalMargins() const {
    int top = 0, bottom = 0;
    if (pointer_.Visible() && pointer_.InflateMargins()) top = bottom = pointer_.VertSize() + 1;
    if (stairs_) {
        top = std::max(top, line_pen_.Width());
        bottom = std::max(bottom, line_pen_.Width() + 1);
    }
    if (line_height_ > 0) bottom = std::max(bottom, line_height_);
    return {top, bottom};
}

bool TCustomSeries::IsPointInMarker(int i, int x, int y) const {
    if (i < 0 || i >= PointCount()) return false;
    const int px = XPixel(i), py = YPixel(i);
    return std::abs(x - px) <= pointer_.HorizSize() && std::abs(y - py) <= pointer_.VertSize();
}

bool TCustomSeries::IsPixelDrawn(int x, int y) const {
    const TChartOwner* chart = ParentChart();
    if (!chart || !chart->ClipPoints()) return true;
    // The same area the drawing is clipped to.
    const TRect& r = chart->ChartRect();
    return x > r.left && x < r.right && y > r.top && y < r.bottom - 1;
}

bool TCustomSeries::IsOnLineInto(int i, int x, int y) const {
    if (i < 1 || !line_pen_.Visible() || PointColor(i) == clNone) return false;
    const double x0 = XPixel(i - 1), y0 = YPixel(i - 1);
    const double dx = XPixel(i) - x0, dy = YPixel(i) - y0;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0;
    const double ex = x - (x0 + t * dx), ey = y - (y0 + t * dy);
    // A few pixels of slack: nobody can put the mouse on a one-pixel line exactly.
    const double reach = 3 + line_pen_.Width() / 2.0;
    return ex * ex + ey * ey <= reach * reach;
}

int TCustomSeries::Clicked(int x, int y) const {
    const int first = FirstVisibleIndex(), last = LastVisibleIndex();
    if (!ParentChart() || first < 0 || !IsPixelDrawn(x, y)) return -1;
    if (pointer_.Visible())
        for (int i = first; i <= last; ++i)
            if (PointColor(i) != clNone && IsPointInMarker(i, x, y)) return i;
    for (int i = std::max(first, 1); i <= last; ++i) {
        // The line into the first visible point comes from the plot area's edge, on the way
        // from the point before it.
        if (i == first && PointColor(i - 1) == clNone) continue;
        if (IsOnLineInto(i, x, y)) return i;
    }
    return -1;
}

void TCustomSeries::DrawPoints() {
    // Each paint starts afresh: no position left by an earlier paint may be joined.
    previous_color_ = clNone;
    if (!DrawPointsAtOnce()) TChartSeries::DrawPoints();
}

bool TCustomSeries::DrawPointsAtOnce() {
    TChartCanvas3D* c = Surface();
    const int first = FirstVisibleIndex(), last = LastVisibleIndex();
    // From the first point on, no line comes in from the plot area's edge.
    if (!c || first != 0 || last < first || !line_pen_.Visible() || !pointer_.Visible() ||
        pointer_.Style() != psCircle || OnGetPointerStyle)
        return false;
    auto& points = at_once_points_;
    auto& lines = at_once_lines_;
    auto& looks = at_once_looks_;
    points.clear();
    lines.clear();
    looks.clear();
    // The line and marker looks are what the point-by-point drawing would set the surface to,
    // taken from the surface itself once per colour.
    TColor look_color = clNone;
    QRgb line_rgb = 0;
    TChartCanvas3D::EllipseLook look{};
    for (int i = first; i <= last; ++i) {
        const TColor color = PointColor(i);
        const int x = XPixel(i), y = YPixel(i);
        if (color == clNone || !Drawable(x) || !Drawable(y)) return false;
        if (color != look_color) {
            PrepareLinePen(color);
            const std::optional<QRgb> line = c->DirectLineRgb();
            PrepareMarkerCanvas(color);
            const std::optional<TChartCanvas3D::EllipseLook> marker = c->DirectEllipseLook();
            if (!line || !marker) return false;
            look_color = color;
            line_rgb = *line;
            look = *marker;
        }
        points.emplace_back(x, y);
        lines.push_back(line_rgb);
        looks.push_back(look);
    }
    // The surface is left as the last marker leaves it.
    PrepareMarkerCanvas(look_color);
    if (!c->DrawMarkedLine(points, lines, looks, pointer_.HorizSize(), pointer_.VertSize()))
        return false;
    previous_x_ = points.back().x();
    previous_y_ = points.back().y();
    previous_color_ = look_color;
    return true;
}

void TCustomSeries::PrepareLinePen(TColor color) {
    TChartCanvas3D& c = *Surface();
    c.ApplyChartPen(line_pen_);
    c.Pen().SetColor(color);
    c.Brush().SetStyle(bsClear);
}

void TCustomSeries::PrepareMarkerCanvas(TColor color) {
    TChartCanvas3D& c = *Surface();
    c.ApplyChartPen(pointer_.Pen());
    if (pointer_.Pen().Visible() && pointer_.Pen().Color() == clDefault) c.Pen().SetColor(color);
    c.Brush().Assign(pointer_.Brush());
    if (pointer_.Brush().Color() == clDefault) c.Brush().SetColor(color);
}

void TCustomSeries::DrawMarker(int x, int y, int i, TColor color) {
    TChartCanvas3D* c = Surface();
    if (!c) return;
    PrepareMarkerCanvas(color);
    const TSeriesPointerStyle style =
        OnGetPointerStyle ? OnGetPointerStyle(*this, i) : pointer_.Style();
    pointer_.DrawShape(*c, x, y, style);
}

int TCustomSeries::EdgeYPixel(int i) const {
    const TChartAxis* h = GetHorizAxis();
    const TChartAxis* v = GetVertAxis();
    const double x0 = XValueAt(i - 1), y0 = YValueAt(i - 1);
    const double x1 = XValueAt(i), y1 = YValueAt(i);
    int y = YPixel(i - 1);
    if (!stairs_ && x1 != x0 && h && v) {
        const double xe = h->PixelToValue(previous_x_);
        y = v->ValueToPixel(y0 + (y1 - y0) * (xe - x0) / (x1 - x0));
    }
    // A far-off previous point must not hand the surface a huge line.
    return std::clamp(y, -kMaxPixel, kMaxPixel);
}

void TCustomSeries::DrawSegment(int i, int x, int y, TColor color, bool markers, bool is_last) {
    TChartCanvas3D& c = *Surface();
    if ((x != previous_x_ || y != previous_y_) && color != clNone) {
        PrepareLinePen(color);
        c.DrawLine(previous_x_, previous_y_, x, y);
    }
    if (!markers || !pointer_.Visible()) return;
    if (previous_color_ != clNone) DrawMarker(previous_x_, previous_y_, i - 1, previous_color_);
    if (is_last && color != clNone) DrawMarker(x, y, i, color);
}

void TCustomSeries::DrawPoint(int i) {
    TChartCanvas3D* c = Surface();
    if (!c) return;
    const TColor color = PointColor(i);
    const int x = XPixel(i), y = YPixel(i);
    if (!Drawable(x) || !Drawable(y)) {
        // Skipped, but its colour still counts: past a null point nothing is joined, past
        // another the line goes on from the last point this paint drew, if it drew one.
        if (previous_color_ != clNone) previous_color_ = color;
        return;
    }
    c->Pen().SetColor(clBlack);
    c->Brush().SetColor(color);
    if (previous_color_ == clNone) {
        previous_x_ = x;
        previous_y_ = y;
    }
    const bool is_last = i == LastVisibleIndex();
    if (i == FirstVisibleIndex()) {
        if (i > 0) {
            const TChartAxis* h = GetHorizAxis();
            const TRect& r = ParentChart()->ChartRect();
            previous_x_ = h && h->Inverted() ? r.right : r.left;
            previous_y_ = EdgeYPixel(i);
            if (PointColor(i - 1) != clNone) DrawSegment(i, x, y, color, false, is_last);
        }
        if (is_last && pointer_.Visible()) DrawMarker(x, y, i, color);
    } else {
        DrawSegment(i, x, y, color, true, is_last);
    }
    previous_x_ = x;
    previous_y_ = y;
    previous_color_ = color;
}

}  // namespace kelmarin
