#pragma once
// The gauge's numbers, kept apart from any painting so they can be checked without a window:
// the displayed percentage, the paint rectangle and the right edge of the filled part.

#include <cfloat>

#include "gauge/gauge_types.h"

namespace kelmarin {

// The fill edge is defined in 80-bit extended arithmetic; long double is that format here.
static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended format");

// 0.01 rounded to the nearest extended value (bytes 0A D7 A3 70 3D 0A D7 A3 F8 3F); it lies
// slightly below 0.01, which is why some whole products come out one pixel short.
inline constexpr long double kHundredth = 0xA3D70A3D70A3D70Ap-70L;

// The paint rectangle: Left and Top included, Right and Bottom excluded. W and H are one
// more than its width and height; the fill edge and the text position are measured with them.
struct TGaugeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int W() const { return right - left + 1; }
    int H() const { return bottom - top + 1; }
};

// (progress - minValue) * 100 / (maxValue - minValue) truncated, 0 when the bounds are equal;
// formed wide enough that bounds anywhere in the 32-bit range give the right answer.
int DisplayedPercent(int progress, int minValue, int maxValue);

// The client rectangle, shrunk by one pixel on every side for a single frame.
TGaugeRect PaintRect(int width, int height, TBorderStyle border);

// trunc(w * (percent * kHundredth)), each product rounded to extended, capped at w. It is
// the absolute x of the filled part's right edge, not a width from the rectangle's left.
int FillEdge(int w, int percent);

}  // namespace kelmarin
