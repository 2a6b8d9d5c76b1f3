#pragma once
// The pixels of a one-pixel line as the platform draws it (Bresenham, the last pixel left out),
// shared by the painter path and the direct rasteriser so that both set the very same pixels.

#include <QPoint>
#include <QRgb>
#include <cstdlib>

namespace kelmarin {

// Visits the pixels from a to b, b itself left out: max(|dx|, |dy|) of them. The coordinate of
// the longer side steps every time, so each side has a loop of its own. `at` follows the walk
// (Step(sx, 0), Step(0, sy)) and is what plot is given.
template <typename At, typename Plot>
void Walk(QPoint a, QPoint b, At at, Plot plot) {
    const int dx = std::abs(b.x() - a.x()), dy = std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    if (dx == 0 || dy == 0) {  // straight: nothing to decide on the way
        const int ux = dy == 0 ? sx : 0, uy = dx == 0 ? sy : 0;
        for (int i = 0; i < dx + dy; ++i, at.Step(ux, uy)) plot(at);
        return;
    }
    int err = dx - dy;
    if (dx >= dy) {
        for (int i = 0; i < dx; ++i) {
            plot(at);
            const int e2 = 2 * err;
            err -= dy;
            at.Step(sx, 0);
            if (e2 < dx) {
                err += dx;
                at.Step(0, sy);
            }
        }
        return;
    }
    for (int i = 0; i < dy; ++i) {
        plot(at);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            at.Step(sx, 0);
        }
        err += dx;
        at.Step(0, sy);
    }
}

// A walk's pixel as its coordinates.
struct WalkXY {
    int x, y;
    void Step(int dx, int dy) {
        x += dx;
        y += dy;
    }
};

template <typename Plot>
void WalkLine(QPoint a, QPoint b, Plot plot) {
    Walk(a, b, WalkXY{a.x(), a.y()}, [&plot](const WalkXY& p) { plot(p.x, p.y); });
}

// A walk's pixel as an offset into RGB32 rows `stride` pixels apart: stepping it is much
// cheaper than working out each pixel's address.
struct WalkOffset {
    qsizetype at, stride;
    void Step(int dx, int dy) { at += dx + dy * stride; }
};

// The pixels WalkLine visits, from base; the whole line must lie in the picture.
template <typename Plot>
void WalkPixels(QRgb* base, qsizetype stride, QPoint a, QPoint b, Plot plot) {
    Walk(a, b, WalkOffset{a.y() * stride + a.x(), stride},
         [base, &plot](const WalkOffset& o) { plot(base + o.at); });
}

}  // namespace kelmarin
