#pragma once
// The marker a series draws at each point: style, half sizes, pen and brush. Every change asks
// the owning series to repaint. It draws the shape where it is told with the surface's current
// pen and brush; preparing them is the series' job. Of the styles, rectangle and circle are
// drawn; the others are kept as settings and draw nothing.

#include "chart/canvas/chart_pen.h"
#include "chart/chart_brush.h"
#include "platform/assign_if_changed.h"

namespace kelmarin {

class TChartCanvas3D;
class TChartSeries;

enum TSeriesPointerStyle {
    psRectangle,
    psCircle,
    psTriangle,
    psDownTriangle,
    psCross,
    psDiagCross,
    psStar,
    psDiamond,
    psSmallDot
};

class TSeriesPointer {
  public:
    static constexpr int kTriangleGap = 4;

    explicit TSeriesPointer(TChartSeries* owner);
    TSeriesPointer(const TSeriesPointer&) = delete;
    TSeriesPointer& operator=(const TSeriesPointer&) = delete;

    bool Visible() const { return visible_; }
    void SetVisible(bool on) { Set(visible_, on); }
    TSeriesPointerStyle Style() const { return style_; }
    void SetStyle(TSeriesPointerStyle s) { Set(style_, s); }
    int HorizSize() const { return horiz_size_; }
    // Sizes below 1 are refused with a ChartException; the old value stays.
    void SetHorizSize(int px);
    int VertSize() const { return vert_size_; }
    void SetVertSize(int px);
    bool InflateMargins() const { return inflate_margins_; }
    void SetInflateMargins(bool on) { Set(inflate_margins_, on); }
    bool Dark3D() const { return dark_3d_; }
    void SetDark3D(bool on) { Set(dark_3d_, on); }
    bool Draw3D() const { return draw_3d_; }
    void SetDraw3D(bool on) { Set(draw_3d_, on); }
    TChartPen& Pen() { return pen_; }
    const TChartPen& Pen() const { return pen_; }
    TChartBrush& Brush() { return brush_; }
    const TChartBrush& Brush() const { return brush_; }

    // The shape centred at (x, y) with the surface's pen and brush (flat view).
    void DrawShape(TChartCanvas3D& canvas, int x, int y, TSeriesPointerStyle style) const;

  private:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] { Changed(); });
    }
    void Changed();

    TChartSeries* owner_;
    bool visible_ = true;
    TSeriesPointerStyle style_ = psRectangle;
    int horiz_size_ = 4, vert_size_ = 4;
    bool inflate_margins_ = true, dark_3d_ = true, draw_3d_ = true;
    TChartPen pen_;
    TChartBrush brush_;
};

}  // namespace kelmarin
