#pragma once
// A rectangle as the drawing surface takes it: left and top inside, right and bottom outside.

namespace kelmarin {

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace kelmarin
