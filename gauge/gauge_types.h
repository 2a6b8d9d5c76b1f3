#pragma once
// The small enumerations of the progress gauge's published properties.

#include <cstdint>

namespace kelmarin {

// Shape of a gauge. Only the horizontal bar is drawn; the other shapes show the empty part
// and the text.
enum class TGaugeKind : std::uint8_t {
    gkText = 0,
    gkHorizontalBar = 1,
    gkVerticalBar = 2,
    gkPie = 3,
    gkNeedle = 4,
};

// Whether a control carries a one-pixel frame.
enum class TBorderStyle : std::uint8_t {
    bsNone = 0,
    bsSingle = 1,
};

}  // namespace kelmarin
