#pragma once
// The chart as a window: a panel (bevels, border, colour) that owns the drawing surface, the
// margins, the chart bounds and the chart rectangle, and paints one frame at a time through
// the surface's off-screen bitmap. What a frame contains is left to the levels above
// (InternalPaint); this level never lets the window system erase its background, so the screen
// only ever shows finished frames.

#include <QWidget>

#include "chart/canvas/canvas_font.h"
#include "chart/canvas/chart_canvas_3d.h"
#include "chart/canvas/chart_rect.h"
#include "platform/assign_if_changed.h"
#include "platform/color.h"

namespace kelmarin {

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TChartPanelBase : public QWidget {
  public:
    explicit TChartPanelBase(QWidget* parent = nullptr);
    ~TChartPanelBase() override;

    // --- the panel's own settings
    TPanelBevel BevelOuter() const { return bevel_outer_; }
    void SetBevelOuter(TPanelBevel b) { Set(bevel_outer_, b); }
    TPanelBevel BevelInner() const { return bevel_inner_; }
    void SetBevelInner(TPanelBevel b) { Set(bevel_inner_, b); }
    int BevelWidth() const { return bevel_width_; }
    void SetBevelWidth(int px) { Set(bevel_width_, px); }
    int BorderWidth() const { return border_width_; }
    void SetBorderWidth(int px) { Set(border_width_, px); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { Set(color_, c); }

    // --- layout settings; margins are percent of the chart's width or height
    int MarginLeft() const { return margin_left_; }
    void SetMarginLeft(int percent) { Set(margin_left_, percent); }
    int MarginTop() const { return margin_top_; }
    void SetMarginTop(int percent) { Set(margin_top_, percent); }
    int MarginRight() const { return margin_right_; }
    void SetMarginRight(int percent) { Set(margin_right_, percent); }
    int MarginBottom() const { return margin_bottom_; }
    void SetMarginBottom(int percent) { Set(margin_bottom_, percent); }
    bool View3D() const { return view_3d_; }
    void SetView3D(bool on) { Set(view_3d_, on); }
    int Chart3DPercent() const { return chart_3d_percent_; }
    // Refuses values outside 1 .. 100 with a ChartException; the old value stays.
    void SetChart3DPercent(int percent);
    bool AutoRepaint() const { return auto_repaint_; }
    void SetAutoRepaint(bool on) { auto_repaint_ = on; }

    // --- the layout state of the last frame
    const TRect& ChartBounds() const { return bounds_; }
    const TRect& ChartRect() const { return chart_rect_; }
    int ChartWidth() const { return chart_width_; }
    int ChartHeight() const { return chart_height_; }
    int ChartXCenter() const { return chart_x_center_; }
    int ChartYCenter() const { return chart_y_center_; }

    TChartCanvas3D& Surface() { return canvas_; }

    // The repaint request: marks the picture stale and schedules a paint (nothing while
    // AutoRepaint is off).
    void RequestRepaint();
    // Delivers a pending paint at once, as the run asks after each refresh: a new frame when
    // anything changed, else the last one again.
    void RepaintNow();

    // One full frame into the surface and onto target at target_rect.
    void RenderFrame(QPainter* target, const TRect& target_rect);
    void NormaliseChartRect();
    void ApplyFont(const TCanvasFont& font);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // A new size needs a new frame: the buffered one is of the old size and layout.
    void resizeEvent(QResizeEvent* event) override;
    // The frame's content, drawn into the surface; bounds is the whole chart.
    virtual void InternalPaint(const TRect& bounds);
    virtual void DrawPanelBorder(const TRect& bounds);
    void SetChartRect(const TRect& r) { chart_rect_ = r; }

    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] { RequestRepaint(); });
    }

  private:
    TChartCanvas3D canvas_;
    TPanelBevel bevel_outer_ = bvRaised, bevel_inner_ = bvNone;
    int bevel_width_ = 1, border_width_ = 0;
    TColor color_ = clBtnFace;
    int margin_left_ = 3, margin_top_ = 4, margin_right_ = 3, margin_bottom_ = 4;
    bool view_3d_ = true;
    int chart_3d_percent_ = 15;
    bool auto_repaint_ = false;
    // A repaint request invalidates the window later, by a posted event, so that a frame
    // painted at once in the meantime does not send the whole chart to the screen again.
    bool invalidation_posted_ = false;
    TRect bounds_, chart_rect_;
    int chart_width_ = 0, chart_height_ = 0, chart_x_center_ = 0, chart_y_center_ = 0;
};

}  // namespace kelmarin
