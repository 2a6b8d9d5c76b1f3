#include "chart/chart_panel_extended.h"

namespace kelmarin {

TChartPanelExtended::TChartPanelExtended(QWidget* parent)
    : TChartPanelBase(parent), gradient_([this] { RequestRepaint(); }) {}

void TChartPanelExtended::DrawBackImage(const TRect&) {}

void TChartPanelExtended::FillBackground(const TRect& bounds) {
    TChartCanvas3D& canvas = Surface();
    if (gradient_.Visible()) {
        const TGradientDirection d = gradient_.Direction();
        // The surface swaps the colours back for these directions: the start colour always
        // lands on the bottom (or right) edge.
        if (d == gdTopBottom || d == gdLeftRight)
            canvas.FillGradient(bounds, gradient_.StartColor(), gradient_.EndColor(), d);
        else
            canvas.FillGradient(bounds, gradient_.EndColor(), gradient_.StartColor(), d);
        return;
    }
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.EraseArea(bounds);
}

void TChartPanelExtended::PaintPanel(const TRect& bounds) {
    FillBackground(bounds);
    DrawBackImage(bounds);
    DrawPanelBorder(bounds);
}

}  // namespace kelmarin
