// The chart's layout: the title blocks and the room each shown axis takes from the plot area.
#include <algorithm>

#include "chart/custom_chart.h"

namespace kelmarin {

namespace {

// True when a text at this angle runs along the axis (it then needs one line of height).
bool RunsAlong(const TChartAxis& axis, int angle) {
    return axis.Horizontal() ? angle == 0 || angle == 180 : angle == 90 || angle == 270;
}

// The side of r that belongs to the axis, and the direction in which taking room moves it.
int& SideOf(TRect& r, TAxisPlacement p, int& inward) {
    switch (p) {
        case TAxisPlacement::Bottom:
            inward = -1;
            return r.bottom;
        case TAxisPlacement::Top:
            inward = 1;
            return r.top;
        case TAxisPlacement::Right:
            inward = -1;
            return r.right;
        default:
            inward = 1;
            return r.left;
    }
}

bool Intersects(const TRect& a, const TRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

}  // namespace

void TCustomChart::LayoutAxes() {
    for (auto& axis : Axes()) axis->ComputeRange();
    NormaliseChartRect();
    // The labels are measured with the step of the axis lengths the last paint left.
    TRect r = ChartRect();
    for (auto& axis : Axes()) {
        if (!IsAxisShown(*axis)) continue;
        TRect room = r;
        TakeAxisRoom(*axis, room);
        // An axis whose room would leave nothing of the plot area is ignored.
        if (Intersects(room, r))
            r = {std::max(room.left, r.left), std::max(room.top, r.top),
                 std::min(room.right, r.right), std::min(room.bottom, r.bottom)};
    }
    SetChartRect(r);
    NormaliseChartRect();
    for (auto& axis : Axes()) axis->ComputePositions(ChartRect());
}

int TCustomChart::LabelsRoom(TChartAxis& axis) {
    if (axis.LabelsSize() != 0) return axis.LabelsSize();
    ApplyFont(axis.LabelsFont());
    if (RunsAlong(axis, axis.LabelsAngle())) return Surface().TextLineHeight();
    return axis.WidestLabelWidth();
}

void TCustomChart::TakeAxisRoom(TChartAxis& axis, TRect& r) {
    int inward = 1;
    int& side = SideOf(r, axis.Placement(), inward);
    TAxisPlace& place = PlaceOf(axis);
    TChartAxisTitle& title = axis.Title();
    if (!title.Caption().isEmpty()) {
        int size = axis.TitleSize();
        if (size == 0) {
            ApplyFont(title.Font());
            size = RunsAlong(axis, title.Angle()) ? Surface().TextLineHeight()
                                                  : Surface().TextWidthOf(title.Caption());
        }
        side += inward * size;
        place.title = side;
    }
    place.labels_outer = side;
    if (axis.Labels()) {
        side += inward * LabelsRoom(axis);
        place.labels = side;
    }
    int ticks = axis.AxisPen().Visible() ? axis.AxisPen().Width() : 0;
    if (axis.Ticks().Visible()) ticks += axis.TickLength();
    if (axis.MinorTicks().Visible()) ticks = std::max(ticks, axis.MinorTickLength());
    ticks += WallSizeFor(axis);
    if (ticks > 0) side += inward * ticks;
    const int across = axis.Horizontal() ? r.Height() : r.Width();
    const int shift = int(axis.PositionPercent() * across / 100.0);
    place.title += inward * shift;
    place.labels += inward * shift;
    place.labels_outer += inward * shift;
}

}  // namespace kelmarin
