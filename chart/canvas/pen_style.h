#pragma once
// How the surface's pen styles are drawn: the on/off runs of a styled one-pixel pen, which the
// painter, the direct rasteriser and the scaled drawing all follow, and the painter's own style
// for wider pens.

#include <QPen>
#include <span>

#include "chart/canvas/canvas_pen.h"

namespace kelmarin {

// On/off runs of the styled one-pixel pens, in pixels.
inline std::span<const int> StylePattern(TPenStyle style, bool alternate) {
    static constexpr int kAlternate[] = {1, 1};
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    if (alternate) return kAlternate;
    switch (style) {
        case psDash:
            return kDash;
        case psDot:
            return kDot;
        case psDashDot:
            return kDashDot;
        case psDashDotDot:
            return kDashDotDot;
        default:
            return {};
    }
}

inline Qt::PenStyle ToQtStyle(TPenStyle s) {
    switch (s) {
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        case psClear:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

}  // namespace kelmarin
