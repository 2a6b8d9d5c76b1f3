#include "chart/custom_chart.h"

#include <algorithm>

#include "chart/chart_series.h"

namespace kelmarin {

TCustomChart::TCustomChart(QWidget* parent)
    : TCustomAxisPanel(parent),
      title_([this] { RequestRepaint(); }),
      foot_([this] { RequestRepaint(); }),
      back_wall_([this] { RequestRepaint(); }),
      left_wall_([this] { RequestRepaint(); }, 0x80FFFF),
      bottom_wall_([this] { RequestRepaint(); }, clWhite) {
    back_wall_.Brush().SetStyle(bsClear);
}

void TCustomChart::ApplySeriesMargins() {
    for (const TAxisPlacement p : {TAxisPlacement::Top, TAxisPlacement::Left, TAxisPlacement::Right,
                                   TAxisPlacement::Bottom}) {
        TChartAxis& axis = *Axis(p);
        int low = 0, high = 0;
        for (const TChartSeries* s : SeriesList()) {
            if (!s->Active() || !axis.IsAttached(*s)) continue;
            // (left, right) of a horizontal axis; (top, bottom) of a vertical one, whose start
            // pixel is its top.
            const auto [a, b] = axis.Horizontal() ? s->HorizontalMargins() : s->VerticalMargins();
            const bool low_auto =
                axis.Horizontal() ? axis.AutomaticMinimum() : axis.AutomaticMaximum();
            const bool high_auto =
                axis.Horizontal() ? axis.AutomaticMaximum() : axis.AutomaticMinimum();
            if (low_auto) low = std::max(low, a);
            if (high_auto) high = std::max(high, b);
        }
        // Nothing to widen: a manual range must stay exactly as it was set.
        if (low != 0 || high != 0) axis.WidenRangeForMargins(low, high);
    }
}

void TCustomChart::PaintWalls() {
    TChartCanvas3D& c = Surface();
    const TChartWall& wall = back_wall_;
    c.ApplyChartPen(wall.Pen());
    TCanvasBrush& brush = c.Brush();
    if (wall.Color() == clDefault && wall.Brush().Style() == bsSolid) {
        brush.SetStyle(bsClear);
    } else {
        TColor color = wall.Color();
        if (color == wall.Brush().Color()) color = color == clBlack ? clWhite : clBlack;
        brush.SetColor(color);
        brush.SetStyle(wall.Brush().Style());
        if (wall.Brush().Style() != bsSolid) {
            c.SetBackgroundMode(OPAQUE);
            c.SetBackgroundColor(wall.Brush().Color());
        }
    }
    const TRect& r = ChartRect();
    c.DrawRect(r.left, r.top, r.right + 1, r.bottom + 1);
}

}  // namespace kelmarin
