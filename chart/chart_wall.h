#pragma once
// One wall of the chart (back, left, bottom): its frame pen, its brush and colour. Only the back
// wall shows in the flat view; the chart paints it. The 3D depth (Size, Dark3D) is kept as a
// setting but has no effect here.

#include <functional>

#include "chart/canvas/chart_pen.h"
#include "chart/chart_brush.h"
#include "platform/assign_if_changed.h"
#include "platform/color.h"

namespace kelmarin {

class TChartWall {
  public:
    using ChangeHandler = std::function<void()>;

    explicit TChartWall(ChangeHandler on_change, TColor color = clDefault)
        : color_(color), on_change_(std::move(on_change)) {
        pen_.SetOnChange(on_change_);
        brush_.SetColor(clDefault);
        brush_.SetOnChange(on_change_);
    }
    TChartWall(const TChartWall&) = delete;
    TChartWall& operator=(const TChartWall&) = delete;

    TChartPen& Pen() { return pen_; }
    const TChartPen& Pen() const { return pen_; }
    TChartBrush& Brush() { return brush_; }
    const TChartBrush& Brush() const { return brush_; }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { Set(color_, c); }
    bool Dark3D() const { return dark_3d_; }
    void SetDark3D(bool on) { Set(dark_3d_, on); }
    int Size() const { return size_; }
    void SetSize(int px) { Set(size_, px); }

  private:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] {
            if (on_change_) on_change_();
        });
    }

    TChartPen pen_;
    TChartBrush brush_;
    TColor color_;
    bool dark_3d_ = true;
    int size_ = 0;
    ChangeHandler on_change_;
};

}  // namespace kelmarin
