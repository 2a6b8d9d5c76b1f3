// Zooming: the rubber band, the conversion of the dragged rectangle into axis ranges, the
// snapshot taken before the first zoom and the undo that brings it back.
#include <QColor>
#include <algorithm>
#include <utility>

#include "chart/custom_chart.h"

namespace kelmarin {

std::array<TChartAxis*, 4> TCustomChart::ZoomedAxes() {
    return {&TopAxis(), &BottomAxis(), &LeftAxis(), &RightAxis()};
}

void TCustomChart::StrokeZoomBand() {
    TChartCanvas3D& c = Surface();
    const QColor q = ToQColor(Color());
    TColor pen = RGBColor(q.red(), q.green(), q.blue());
    // Not-xor flips the bits the pen lacks: white changes nothing, and a near-white face colour
    // (the desktop's button face is often #efefef) would leave the band all but invisible.
    if (q.red() >= 0xE0 && q.green() >= 0xE0 && q.blue() >= 0xE0) pen = clBlack;
    c.RemoveClip();  // the band is not limited to the plot area
    c.Pen().SetColor(pen);
    c.Pen().SetMode(pmNotXor);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    c.Brush().SetStyle(bsClear);
    c.DrawRect(zoom_.StartX, zoom_.StartY, zoom_.CurrentX, zoom_.CurrentY);
    // Whatever is drawn next (a fill, the next frame) must not be inverted.
    c.Pen().SetMode(pmCopy);
}

QRect TCustomChart::ZoomBandArea() const {
    return QRect(QPoint(zoom_.StartX, zoom_.StartY), QPoint(zoom_.CurrentX, zoom_.CurrentY))
        .normalized()
        .adjusted(-1, -1, 1, 1);
}

void TCustomChart::DrawZoomRectangle() {
    TChartCanvas3D& c = Surface();
    if (c.AttachedPainter()) {
        StrokeZoomBand();  // a paint is under way: into its picture
        return;
    }
    // Outside a paint the band goes onto the picture the window shows, and only its area is
    // shown again; without a kept picture the next paint draws the band if still dragging.
    if (c.DrawOnLastFrame([this] { StrokeZoomBand(); }))
        update(ZoomBandArea());
    else
        update();
}

void TCustomChart::ApplyZoomRectangle() {
    int x0 = zoom_.StartX, x1 = zoom_.CurrentX, y0 = zoom_.StartY, y1 = zoom_.CurrentY;
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    const auto across = [](const TChartAxis& a, int from, int to) {
        return TZoomRange{a.PixelToValue(from), a.PixelToValue(to)};
    };
    // The vertical axes: the rectangle's lower edge is the new minimum.
    ZoomToValues(across(LeftAxis(), y1, y0), across(RightAxis(), y1, y0), across(TopAxis(), x0, x1),
                 across(BottomAxis(), x0, x1));
}

void TCustomChart::StepAxisTowards(TChartAxis& axis, TZoomRange target) {
    const double lo = axis.Minimum() + (target.Minimum - axis.Minimum()) / kAnimatedZoomFactor;
    const double hi = axis.Maximum() - (axis.Maximum() - target.Maximum) / kAnimatedZoomFactor;
    axis.SetManualRange(lo, hi);
}

void TCustomChart::ZoomToValues(TZoomRange left, TZoomRange right, TZoomRange top,
                                TZoomRange bottom) {
    if (ranges_restored_) {
        SaveAxisRanges();
        ranges_restored_ = false;
    }
    const std::pair<TChartAxis*, TZoomRange> order[] = {
        {&LeftAxis(), left}, {&RightAxis(), right}, {&TopAxis(), top}, {&BottomAxis(), bottom}};
    if (AnimatedZoom()) {
        for (int step = 1; step < AnimatedZoomSteps(); ++step) {
            for (const auto& [axis, target] : order) StepAxisTowards(*axis, target);
            RepaintNow();
        }
    }
    for (const auto& [axis, target] : order) axis->SetManualRange(target.Minimum, target.Maximum);
    zoomed_in_ = true;
    if (OnZoom) OnZoom();
}

void TCustomChart::SaveAxisRanges() {
    const auto axes = ZoomedAxes();
    for (std::size_t i = 0; i < axes.size(); ++i) {
        const TChartAxis& a = *axes[i];
        snapshot_[i] = {a.Automatic(), a.AutomaticMinimum(), a.AutomaticMaximum(), a.Minimum(),
                        a.Maximum()};
    }
}

void TCustomChart::RestoreAxisRanges() {
    const auto axes = ZoomedAxes();
    for (std::size_t i = 0; i < axes.size(); ++i) {
        TChartAxis& a = *axes[i];
        const TAxisSnapshot& s = snapshot_[i];
        a.SetAutomatic(s.Automatic);
        a.SetAutomaticMinimum(s.AutomaticMinimum);
        a.SetAutomaticMaximum(s.AutomaticMaximum);
        if (!a.Automatic()) a.SetMinMax(s.Minimum, s.Maximum);
    }
}

void TCustomChart::ResetZoom() {
    if (!ranges_restored_) RestoreAxisRanges();
    ranges_restored_ = true;
    if (OnUndoZoom) OnUndoZoom();
    RequestRepaint();
    zoomed_in_ = false;
}

}  // namespace kelmarin
