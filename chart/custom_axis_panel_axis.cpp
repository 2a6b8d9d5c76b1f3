// Drawing one axis: title, labels placed by the alignment table, then line, ticks, grid, inner
// ticks, minor ticks and minor grid, in that order.
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "chart/custom_axis_panel.h"

namespace kelmarin {

namespace {

// To the nearest integer, exact halves to the even neighbour.
int RoundEven(long double x) { return int(std::llrintl(x)); }

struct TextPlacement {
    unsigned flags;
    int dx, dy;
    bool known;
};

// Alignment and shift of an axis text at each of the four right angles.
TextPlacement PlacementFor(TAxisPlacement side, int angle, int h) {
    const int k = angle == 0 ? 0 : angle == 90 ? 1 : angle == 180 ? 2 : angle == 270 ? 3 : -1;
    if (k < 0) return {TA_LEFT | TA_TOP, 0, 0, false};
    // clang-format off
    static constexpr struct {
        unsigned flags;
        int hx, hy;  // shift in half line heights
    } kTable[4][4] = {
        // bottom
        {{TA_CENTER | TA_TOP, 0, 0}, {TA_RIGHT, -1, 0}, {TA_CENTER | TA_BOTTOM, 0, 0}, {TA_LEFT, 1, 0}},
        // top
        {{TA_CENTER | TA_BOTTOM, 0, 0}, {TA_LEFT, -1, 0}, {TA_CENTER | TA_TOP, 0, 0}, {TA_RIGHT, 1, 0}},
        // left
        {{TA_RIGHT | TA_TOP, 0, -1}, {TA_CENTER | TA_BOTTOM, 0, 0}, {TA_LEFT, 0, 1}, {TA_CENTER | TA_TOP, 0, 0}},
        // right
        {{TA_LEFT | TA_TOP, 0, -1}, {TA_CENTER | TA_TOP, 0, 0}, {TA_RIGHT, 0, 1}, {TA_CENTER | TA_BOTTOM, 0, 0}},
    };
    // clang-format on
    const int row = side == TAxisPlacement::Bottom ? 0
                    : side == TAxisPlacement::Top  ? 1
                    : side == TAxisPlacement::Left ? 2
                                                   : 3;
    const auto& e = kTable[row][k];
    return {e.flags, e.hx * (h / 2), e.hy * (h / 2), true};
}

// +1 when "outward" (away from the plot area) is the growing coordinate.
int Outward(TAxisPlacement side) {
    return side == TAxisPlacement::Bottom || side == TAxisPlacement::Right ? 1 : -1;
}

// The x at which a text of width w, centred on x, lies within [lo, hi): moved inward as far as
// it would cross either end, and kept at lo when it is wider than the room.
int CentreInside(int x, int w, int lo, int hi) {
    if (x - w / 2 + w > hi) x = hi - w + w / 2;
    if (x - w / 2 < lo) x = lo + w / 2;
    return x;
}

}  // namespace

int TCustomAxisPanel::FrameWidth() const {
    const int bevels = (BevelOuter() != bvNone) + (BevelInner() != bvNone);
    return bevels * BevelWidth() + BorderWidth();
}

int TCustomAxisPanel::LabelPixelInside(const TChartAxis& axis, const TAxisLabel& label) {
    // A horizontal label running along its axis is centred on its value's pixel; the
    // ones at the ends would reach past the chart's edge, so they are moved in to show whole,
    // inside the frame.
    const int angle = axis.LabelsAngle();
    if (!axis.Horizontal() || (angle != 0 && angle != 180)) return label.pixel;
    int widest = 0;
    for (const QString& line : label.text.split(QLatin1Char('\r')))
        widest = std::max(widest, Surface().TextWidthOf(line));
    const TRect& b = ChartBounds();
    return CentreInside(label.pixel, widest, b.left + FrameWidth(), b.right - FrameWidth());
}

void TCustomAxisPanel::DrawAxis(TChartAxis& axis) {
    TChartCanvas3D& c = Surface();
    ApplyFont(axis.LabelsFont());
    const double step = axis.ComputeIncrement();
    const int pos = AxisPosition(axis);
    const TAxisPlace place = PlaceOf(axis);
    const bool horizontal = axis.Horizontal();
    TChartAxisTitle& title = axis.Title();
    if (!title.Caption().isEmpty()) {
        ApplyFont(title.Font());
        c.Brush().SetColor(Color());
        c.Brush().SetStyle(bsClear);
        const int along = axis.CentrePixel();
        DrawAxisText(axis, horizontal ? along : place.title, horizontal ? place.title : along,
                     title.Angle(), title.Caption());
    }
    static const std::vector<int> kNoTicks;
    const bool values = axis.EffectiveLabelStyle() == talValue;
    if (values) {
        for (const TAxisLabel& label : axis.GenerateLabels(step)) {
            ApplyFont(axis.LabelsFont());
            c.Brush().SetColor(Color());
            c.Brush().SetStyle(bsClear);
            DrawAxisText(axis, horizontal ? LabelPixelInside(axis, label) : place.labels,
                         horizontal ? place.labels : label.pixel, axis.LabelsAngle(), label.text);
        }
    }
    DrawAxisTicks(axis, pos, values ? axis.TickPositions() : kNoTicks);
}

void TCustomAxisPanel::DrawAxisText(const TChartAxis& axis, int x, int y, int angle,
                                    const QString& text) {
    TChartCanvas3D& c = Surface();
    const int h = c.TextLineHeight();
    const TextPlacement tp = PlacementFor(axis.Placement(), angle, h);
    c.SetTextAlignment(tp.flags);
    const QStringList lines = text.split(QLatin1Char('\r'));
    const int n = int(lines.size());
    int lx = x + tp.dx, ly = y + tp.dy;
    // Several lines on a vertical axis at angle 0 are centred on the point.
    if (n > 1 && !axis.Horizontal() && angle == 0)
        ly = y - h / 2 - RoundEven((long double)h * (n + 1) / 2) + h;
    for (const QString& line : lines) {
        if (angle == 0)
            c.DrawTextAt(lx, ly, line);
        else
            c.DrawRotatedText(lx, ly, angle, line);
        if (angle == 90 || angle == 270)
            lx += h;
        else
            ly += h;
    }
    c.SetTextAlignment(TA_LEFT | TA_TOP);
}

void TCustomAxisPanel::DrawTickSet(const TChartAxis& axis, int pos, const std::vector<int>& at,
                                   int from, int length) {
    // from and length count outward from the axis position; negative runs into the chart.
    TChartCanvas3D& c = Surface();
    const int dir = Outward(axis.Placement());
    const int a = pos + dir * from;
    const int b = a + dir * length;
    for (const int p : at) {
        if (axis.Horizontal())
            c.DrawLine(p, a, p, b);
        else
            c.DrawLine(a, p, b, p);
    }
}

void TCustomAxisPanel::DrawGrid(TChartAxis& axis, const std::vector<int>& ticks, TChartPen& pen) {
    TChartCanvas3D& c = Surface();
    c.Brush().SetStyle(bsClear);
    c.SetBackgroundMode(TRANSPARENT);
    c.ApplyChartPen(pen);
    if (pen.Color() == clDefault) c.Pen().SetColor(clGray);
    const TRect& r = TChartPanelBase::ChartRect();
    const auto line = [&](int p) {
        if (axis.Horizontal())
            c.VerticalLine(p, r.top, r.bottom);
        else
            c.HorizontalLine(r.left, r.right, p);
    };
    if (axis.GridCentered()) {
        for (std::size_t i = 1; i < ticks.size(); ++i)
            line(RoundEven(((long double)ticks[i - 1] + ticks[i]) / 2));
    } else {
        for (const int p : ticks) line(p);
    }
    c.SetBackgroundMode(OPAQUE);
}

void TCustomAxisPanel::MinorTickPositions(const TChartAxis& axis, const std::vector<int>& t) {
    minor_ticks_.clear();
    const int n = axis.MinorTickCount();
    if (t.empty() || n < 1) return;
    const int lo = std::min(axis.StartPixel(), axis.EndPixel());
    const int hi = std::max(axis.StartPixel(), axis.EndPixel());
    const auto add = [&](int p) {
        if (p > lo && p < hi) minor_ticks_.push_back(p);
    };
    for (std::size_t i = 1; i < t.size(); ++i)
        for (int j = 1; j <= n; ++j)
            add(t[i] - RoundEven((long double)j * (t[i] - t[i - 1]) / (n + 1)));
    if (t.size() >= 2 && !axis.Logarithmic()) {
        const long double s = (long double)(t[1] - t[0]) / (n + 1);
        for (int j = 1; j <= n; ++j) {
            add(t.front() - RoundEven(j * s));
            add(t.back() + RoundEven(j * s));
        }
    }
}

void TCustomAxisPanel::DrawAxisTicks(TChartAxis& axis, int pos, const std::vector<int>& ticks) {
    TChartCanvas3D& c = Surface();
    if (axis.AxisPen().Visible()) {
        c.ApplyChartPen(axis.AxisPen());
        if (axis.Horizontal())
            c.HorizontalLineAtDepth(axis.StartPixel(), axis.EndPixel(), pos, 0);
        else
            c.VerticalLineAtDepth(pos, axis.StartPixel(), axis.EndPixel(), 0);
    }
    if (axis.Ticks().Visible()) {
        c.ApplyChartPen(axis.Ticks());
        DrawTickSet(axis, pos, ticks, 1, axis.TickLength());
    }
    if (axis.Grid().Visible()) DrawGrid(axis, ticks, axis.Grid());
    if (axis.TicksInner().Visible()) {
        c.ApplyChartPen(axis.TicksInner());
        DrawTickSet(axis, pos, ticks, -1, -axis.TickInnerLength());
    }
    const bool minor_ticks = axis.MinorTicks().Visible() && !ticks.empty();
    if (minor_ticks || axis.MinorGrid().Visible()) MinorTickPositions(axis, ticks);
    if (minor_ticks) {
        c.ApplyChartPen(axis.MinorTicks());
        DrawTickSet(axis, pos, minor_ticks_, 1, axis.MinorTickLength());
    }
    if (axis.MinorGrid().Visible()) DrawGrid(axis, minor_ticks_, axis.MinorGrid());
}

}  // namespace kelmarin
