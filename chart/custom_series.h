#pragma once
// A series drawn as points joined by lines: the line pen, the point marker, and the drawing of
// one point (the segment into it and the markers that are due), with the margins the markers
// ask the axes to keep free. Areas, stairs and 3D lines are not drawn (Stairs and LineHeight
// only change the margins).

#include <QPoint>
#include <functional>
#include <vector>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/canvas/chart_pen.h"
#include "chart/chart_series.h"
#include "chart/series_pointer.h"

namespace kelmarin {

class TChartCanvas3D;

class TCustomSeries : public TChartSeries {
  public:
    using PointerStyleHandler = std::function<TSeriesPointerStyle(TCustomSeries&, int)>;

    TCustomSeries();

    TChartPen& LinePen() { return line_pen_; }
    const TChartPen& LinePen() const { return line_pen_; }
    TSeriesPointer& Pointer() { return pointer_; }
    const TSeriesPointer& Pointer() const { return pointer_; }
    bool Stairs() const { return stairs_; }
    void SetStairs(bool on);
    int LineHeight() const { return line_height_; }
    void SetLineHeight(int px);
    bool Dark3D() const { return dark_3d_; }
    void SetDark3D(bool on);

    void DrawPoints() override;
    void DrawPoint(int i) override;
    std::pair<int, int> HorizontalMargins() const override;
    std::pair<int, int> VerticalMargins() const override;
    // True when pixel (x, y) lies on point i's marker box.
    virtual bool IsPointInMarker(int i, int x, int y) const;
    int Clicked(int x, int y) const override;
    virtual void DrawMarker(int x, int y, int i, TColor color);

    PointerStyleHandler OnGetPointerStyle;

  protected:
    void PrepareLinePen(TColor color);
    void PrepareMarkerCanvas(TColor color);

  private:
    // Pixel positions beyond this are never handed to the drawing surface.
    static constexpr int kMaxPixel = 32766;

    TChartCanvas3D* Surface() const;
    int EdgeYPixel(int i) const;
    bool IsPixelDrawn(int x, int y) const;
    bool IsOnLineInto(int i, int x, int y) const;
    void DrawSegment(int i, int x, int y, TColor color, bool markers, bool is_last);
    // The whole series in one call to the surface when its points all show, from the first,
    // joined by one-pixel lines and marked by stamped circles (DrawMarker is not called);
    // false when it takes the point-by-point drawing.
    bool DrawPointsAtOnce();

    TChartPen line_pen_;
    TSeriesPointer pointer_;
    bool stairs_ = false;
    int line_height_ = 0;
    bool dark_3d_ = true;
    int previous_x_ = 0, previous_y_ = 0;
    TColor previous_color_ = clNone;
    // Kept between paints, so that a paint allocates nothing.
    std::vector<QPoint> at_once_points_;
    std::vector<QRgb> at_once_lines_;
    std::vector<TChartCanvas3D::EllipseLook> at_once_looks_;
};

}  // namespace kelmarin
