#pragma once
// The chart with titles, walls and the mouse: it fills in the layout of the axes (room for
// titles, labels and ticks), the title blocks, the back wall and the series margins, and turns
// left-button drags into zooms (right and down) or undos (any other way) and wheel notches into
// scrolls of the vertical axes. The legend exists only as a switch (a hidden legend takes no
// room; drawing one is not supported), the 3D walls are settings without effect in the flat
// view, and panning drags are not supported (AllowPanning only decides whether one starts).

#include <QRect>
#include <array>
#include <functional>

#include "chart/chart_clicked_part.h"
#include "chart/chart_title.h"
#include "chart/chart_wall.h"
#include "chart/custom_axis_panel.h"
#include "chart/zoom_panning_record.h"

namespace kelmarin {

class TCustomChart : public TCustomAxisPanel {
  public:
    // Between a title's last line and the plot area.
    static constexpr int kTitleMargin = 5;
    // A zoom drag must cover more than this many pixels in both directions.
    static constexpr int kMinZoomDrag = 16;
    static constexpr TMouseButton kZoomButton = mbLeft;
    static constexpr TMouseButton kPanningButton = mbRight;
    // Each animated step covers this fraction's inverse of the remaining distance.
    static constexpr double kAnimatedZoomFactor = 3.0;
    // One wheel notch scrolls a vertical axis by this part of its span.
    static constexpr double kWheelScroll = 0.03;

    using AxisClickHandler = std::function<void(TChartAxis&, TMouseButton, int, int)>;
    using SeriesClickHandler = std::function<void(TChartSeries&, int, TMouseButton, int, int)>;
    using ClickHandler = std::function<void(TMouseButton, int, int)>;

    // A value range of one axis for ZoomToValues.
    struct TZoomRange {
        double Minimum, Maximum;
    };

    explicit TCustomChart(QWidget* parent = nullptr);

    TChartTitle& Title() { return title_; }
    TChartTitle& Foot() { return foot_; }
    TChartWall& BackWall() { return back_wall_; }
    TChartWall& LeftWall() { return left_wall_; }
    TChartWall& BottomWall() { return bottom_wall_; }
    bool LegendVisible() const { return legend_visible_; }
    void SetLegendVisible(bool on) { Set(legend_visible_, on); }

    TColor BackWallColor() const override { return back_wall_.Color(); }

    // --- mouse and zoom
    TChartClickedPart ClickedPart(int x, int y);
    const TZoomPanningRecord& Zoom() const { return zoom_; }
    const TZoomPanningRecord& Panning() const { return panning_; }
    bool ZoomedIn() const { return zoomed_in_; }
    bool RangesRestored() const { return ranges_restored_; }
    // Set by the chart before it calls a click handler; a handler that leaves it set has
    // consumed the press (no drag starts).
    bool MouseHandled() const { return mouse_handled_; }
    void SetMouseHandled(bool on) { mouse_handled_ = on; }
    void DrawZoomRectangle() override;
    void ApplyZoomRectangle();
    void ZoomToValues(TZoomRange left, TZoomRange right, TZoomRange top, TZoomRange bottom);
    void ResetZoom();
    void SaveAxisRanges();
    void RestoreAxisRanges();

    ChartEvent OnZoom;
    ChartEvent OnUndoZoom;
    AxisClickHandler OnClickAxis;
    SeriesClickHandler OnClickSeries;
    ClickHandler OnClickLegend;
    ClickHandler OnClickBackground;

  protected:
    void LayoutAxes() override;
    void ApplySeriesMargins() override;
    void DrawTitleBlocks() override;
    void PaintWalls() override;
    bool ZoomDragging() const override { return zoom_.Dragging; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // An axis' range settings before the first zoom.
    struct TAxisSnapshot {
        bool Automatic = true, AutomaticMinimum = true, AutomaticMaximum = true;
        double Minimum = 0, Maximum = 0;
    };

    void DrawTitle(TChartTitle& title, bool on_top);
    void PrepareTitleBrush(TChartTitle& title);
    TRect TitleFrameRect(const TChartTitle& title, TRect r);
    // Takes the axis' room from its side of r and records its title and labels positions.
    void TakeAxisRoom(TChartAxis& axis, TRect& r);
    int LabelsRoom(TChartAxis& axis);

    void MouseDown(TMouseButton button, int x, int y, bool double_click);
    void MouseMove(int x, int y);
    void MouseUp(TMouseButton button, int x, int y);
    bool ClickPart(const TChartClickedPart& part, TMouseButton button, int x, int y,
                   bool double_click);
    // Runs handler with MouseHandled set first; true when the handler consumed the press.
    bool Consumed(const std::function<void()>& handler);
    bool StartDrag(TMouseButton button, int x, int y);
    void StrokeZoomBand();
    QRect ZoomBandArea() const;
    void ScrollVerticalAxes(int notches);
    void StepAxisTowards(TChartAxis& axis, TZoomRange target);
    std::array<TChartAxis*, 4> ZoomedAxes();  // top, bottom, left, right

    TChartTitle title_;
    TChartTitle foot_;
    TChartWall back_wall_;
    TChartWall left_wall_;
    TChartWall bottom_wall_;
    bool legend_visible_ = true;
    // Where the last paint put the title blocks (empty when not drawn).
    TRect title_box_, foot_box_;

    TZoomPanningRecord zoom_, panning_;
    bool zoomed_in_ = false, ranges_restored_ = true, mouse_handled_ = false;
    std::array<TAxisSnapshot, 4> snapshot_{};
    int wheel_remainder_ = 0;
};

}  // namespace kelmarin
