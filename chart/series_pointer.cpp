#include "chart/series_pointer.h"

#include <algorithm>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/chart_exceptions.h"
#include "chart/chart_series.h"

namespace kelmarin {

TSeriesPointer::TSeriesPointer(TChartSeries* owner) : owner_(owner) {
    brush_.SetColor(clDefault);
    pen_.SetOnChange([this] { Changed(); });
    brush_.SetOnChange([this] { Changed(); });
}

void TSeriesPointer::Changed() {
    if (owner_) owner_->RequestRepaint();
}

void TSeriesPointer::SetHorizSize(int px) {
    if (px < 1) throw ChartException("Pointer size must be greater than zero");
    Set(horiz_size_, px);
}

void TSeriesPointer::SetVertSize(int px) {
    if (px < 1) throw ChartException("Pointer size must be greater than zero");
    Set(vert_size_, px);
}

void TSeriesPointer::DrawShape(TChartCanvas3D& canvas, int x, int y,
                               TSeriesPointerStyle style) const {
    const int h = horiz_size_, v = vert_size_;
    switch (style) {
        case psCircle:
            canvas.DrawEllipse(x - h, y - v, x + h, y + v);
            break;
        case psRectangle:
            canvas.DrawRect(x - h, y - v, x + h + 1, y + v + 1);
            break;
        case psTriangle:
        case psDownTriangle: {
            // Filled with the brush, row by row, so that every surface draws the same pixels.
            const int step = style == psTriangle ? -1 : 1;
            for (int row = 0; row <= v; ++row) {
                const int half = h * (v - row) / std::max(v, 1);
                const int at = y + step * (kTriangleGap + row);
                canvas.FillRectangle({x - half, at, x + half + 1, at + 1});
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace kelmarin
