#pragma once
// The chart panel with a background of its own: the gradient or the plain colour, the panel
// border on top, and the zoom and panning settings the mouse handling reads. Back images are
// not supported (the hook stays empty).

#include "chart/chart_gradient.h"
#include "chart/chart_panel_base.h"

namespace kelmarin {

enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };

class TChartPanelExtended : public TChartPanelBase {
  public:
    explicit TChartPanelExtended(QWidget* parent = nullptr);

    TChartGradient& Gradient() { return gradient_; }
    const TChartGradient& Gradient() const { return gradient_; }
    bool AllowZoom() const { return allow_zoom_; }
    void SetAllowZoom(bool on) { allow_zoom_ = on; }
    TPanningMode AllowPanning() const { return allow_panning_; }
    void SetAllowPanning(TPanningMode m) { allow_panning_ = m; }
    bool AnimatedZoom() const { return animated_zoom_; }
    void SetAnimatedZoom(bool on) { animated_zoom_ = on; }
    int AnimatedZoomSteps() const { return animated_zoom_steps_; }
    void SetAnimatedZoomSteps(int n) { animated_zoom_steps_ = n; }

  protected:
    virtual void DrawBackImage(const TRect& bounds);
    virtual void FillBackground(const TRect& bounds);
    // Background, back image, then the border.
    virtual void PaintPanel(const TRect& bounds);

  private:
    TChartGradient gradient_;
    bool allow_zoom_ = true;
    TPanningMode allow_panning_ = pmBoth;
    bool animated_zoom_ = false;
    int animated_zoom_steps_ = 8;
};

}  // namespace kelmarin
