#pragma once
// The chart with titles and walls: it fills in the layout of the axes (room for titles, labels
// and ticks), the title blocks, the back wall and the series margins. The legend exists only as
// a switch (a hidden legend takes no room; drawing one is not supported), and the 3D walls are
// settings without effect in the flat view. Mouse zoom comes in at this level later.

#include "chart/chart_title.h"
#include "chart/chart_wall.h"
#include "chart/custom_axis_panel.h"

namespace kelmarin {

class TCustomChart : public TCustomAxisPanel {
  public:
    // Between a title's last line and the plot area.
    static constexpr int kTitleMargin = 5;

    explicit TCustomChart(QWidget* parent = nullptr);

    TChartTitle& Title() { return title_; }
    TChartTitle& Foot() { return foot_; }
    TChartWall& BackWall() { return back_wall_; }
    TChartWall& LeftWall() { return left_wall_; }
    TChartWall& BottomWall() { return bottom_wall_; }
    bool LegendVisible() const { return legend_visible_; }
    void SetLegendVisible(bool on) { Set(legend_visible_, on); }

    TColor BackWallColor() const override { return back_wall_.Color(); }

  protected:
    void LayoutAxes() override;
    void ApplySeriesMargins() override;
    void DrawTitleBlocks() override;
    void PaintWalls() override;

  private:
    void DrawTitle(TChartTitle& title, bool on_top);
    void PrepareTitleBrush(TChartTitle& title);
    TRect TitleFrameRect(const TChartTitle& title, TRect r);
    // Takes the axis' room from its side of r and records its title and labels positions.
    void TakeAxisRoom(TChartAxis& axis, TRect& r);
    int LabelsRoom(TChartAxis& axis);

    TChartTitle title_;
    TChartTitle foot_;
    TChartWall back_wall_;
    TChartWall left_wall_;
    TChartWall bottom_wall_;
    bool legend_visible_ = true;
};

}  // namespace kelmarin
