#include "chart/canvas/canvas_brush.h"

namespace kelmarin {

void TCanvasBrush::SetColor(TColor c) {
    if (c == color_ && style_ != bsClear) return;
    color_ = c;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}

void TCanvasBrush::SetStyle(TBrushStyle s) {
    if (s == style_) return;
    style_ = s;
    if (s == bsClear) color_ = clWhite;
    Changed();
}

void TCanvasBrush::Assign(const TCanvasBrush& source) {
    if (source.color_ == color_ && source.style_ == style_) return;
    color_ = source.color_;
    style_ = source.style_;
    Changed();
}

void TCanvasBrush::Changed() {
    ++revision_;
    if (on_change_) on_change_();
}

}  // namespace kelmarin
