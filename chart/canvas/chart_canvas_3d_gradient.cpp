// The banded gradient fill of the drawing surface: at most 256 bands of solid colour.
#include <algorithm>

#include "chart/canvas/chart_canvas_3d.h"
#include "platform/mul_div.h"

namespace kelmarin {

namespace {

struct BandColors {
    TColor first;
    int dr, dg, db;

    // Band n of the steps 0 .. d; a single band (d = 0) is the first colour.
    QColor At(int n, int d) const {
        if (d == 0) return ToQColor(first);
        return ToQColor(RGBColor(RedOf(first) + MulDiv(n, dr, d), GreenOf(first) + MulDiv(n, dg, d),
                                 BlueOf(first) + MulDiv(n, db, d)));
    }
};

TColor ResolvedRgb(TColor c) {
    const QColor q = ToQColor(c);
    return RGBColor(q.red(), q.green(), q.blue());
}

}  // namespace

void TChartCanvas3D::FillGradient(TRect r, TColor first, TColor second,
                                  TGradientDirection direction) {
    if (direction != gdTopBottom && direction != gdLeftRight) std::swap(first, second);
    first = ResolvedRgb(first);
    second = ResolvedRgb(second);
    const BandColors colors{first, RedOf(second) - RedOf(first), GreenOf(second) - GreenOf(first),
                            BlueOf(second) - BlueOf(first)};
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    QPainter* p = Take();
    if (!p) return;
    const int w = r.Width(), h = r.Height();
    // The surface's own brush is left alone: the bands are filled with their own colours.
    auto fill = [&](int x, int y, int width, int height, int n, int d) {
        if (width < 0) x += width, width = -width;
        if (height < 0) y += height, height = -height;
        p->fillRect(QRect(x, y, width, height), colors.At(n, d));
    };
    switch (direction) {
        case gdTopBottom:
        case gdBottomTop: {
            const int bands = std::min(h, 256);
            for (int n = 0; n < bands; ++n) {
                const int a = MulDiv(n, h, bands), b = MulDiv(n + 1, h, bands);
                fill(r.left, r.bottom - a, w, a - b, n, bands - 1);
            }
            break;
        }
        case gdLeftRight:
        case gdRightLeft: {
            const int bands = std::min(w, 256);
            for (int n = 0; n < bands; ++n) {
                const int a = MulDiv(n, w, bands), b = MulDiv(n + 1, w, bands);
                fill(r.right - a, r.top, a - b, h, n, bands - 1);
            }
            break;
        }
        case gdFromCenter: {
            constexpr int t = 1;  // the gradient precision: strips one pixel thick
            int i = 0, j = 0;
            const int d = w / 2 + h / 2;
            for (;;) {
                fill(r.left + j, r.top + i, t, h - 2 * i, i + j, d);
                fill(r.right - j - 1, r.top + i, t, h - 2 * i, i + j, d);
                fill(r.left + j, r.top + i, w - 2 * j, t, i + j, d);
                fill(r.left + j, r.bottom - i - t, w - 2 * j, t, i + j, d);
                const bool more_i = i < h / 2, more_j = j < w / 2;
                if (more_i) i += t;
                if (more_j) j += t;
                if (!more_i && !more_j) break;
            }
            break;
        }
        case gdFromTopLeft:
        case gdFromBottomLeft: {
            const bool from_top = direction == gdFromTopLeft;
            const int s = from_top ? r.top : r.bottom;
            int i = 0, j = 0, y = s;
            while (j < h || i < w) {
                const int n = i + j, d = w + h;
                fill(r.left + i, y, 1, s - y, n, d);
                if (j < h) {
                    ++j;
                    if (from_top) {
                        fill(r.left, y, i + 1, 1, n, d);
                        if (y < r.bottom) ++y;
                    } else {
                        fill(r.left, y - 1, i + 1, 1, n, d);
                        if (y > r.top) --y;
                    }
                }
                if (i < w) ++i;
            }
            break;
        }
    }
}

}  // namespace kelmarin
