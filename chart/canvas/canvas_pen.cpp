#include "chart/canvas/canvas_pen.h"

namespace kelmarin {

void TCanvasPen::Assign(const TCanvasPen& source) {
    SetColor(source.Color());
    SetWidth(source.Width());
    SetStyle(source.Style());
    SetMode(source.Mode());
}

}  // namespace kelmarin
