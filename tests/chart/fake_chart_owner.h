#pragma once
// A chart without a window: the five axes, a drawing surface and the series list, counting the
// repaint requests it receives.

#include <array>
#include <memory>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/chart_axis.h"
#include "chart/chart_owner.h"

namespace kelmarin::test {

class FakeChartOwner : public TChartOwner {
  public:
    FakeChartOwner() {
        for (int i = 0; i < 5; ++i)
            axes_[std::size_t(i)] = std::make_unique<TChartAxis>(this, TAxisPlacement(i));
    }
    ~FakeChartOwner() override { BeginDestroy(); }

    void Invalidate() override {
        ++invalidations;
        canvas_.MarkDirty();
    }
    TChartAxis* Axis(TAxisPlacement p) override { return axes_[std::size_t(p)].get(); }
    TChartCanvas3D& Canvas() override { return canvas_; }
    TColor ChartColor() const override { return chart_color; }
    TColor BackWallColor() const override { return back_wall_color; }

    TChartAxis& Bottom() { return *Axis(TAxisPlacement::Bottom); }
    TChartAxis& Left() { return *Axis(TAxisPlacement::Left); }

    int invalidations = 0;
    TColor chart_color = clBtnFace;
    TColor back_wall_color = clWhite;

  private:
    TChartCanvas3D canvas_;
    std::array<std::unique_ptr<TChartAxis>, 5> axes_;
};

}  // namespace kelmarin::test
