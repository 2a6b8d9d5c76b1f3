#pragma once
// The 16 colours that series take by default, and that points take by index when a series
// colours each point.

#include "platform/color.h"

namespace kelmarin {

inline constexpr int kSeriesPaletteSize = 16;

// Entry n modulo 16; n is not negative.
constexpr TColor SeriesPaletteColor(int n) {
    constexpr TColor kPalette[kSeriesPaletteSize] = {
        clRed,  clGreen,  clYellow, clBlue,  clWhite,  clGray,   clFuchsia, clTeal,
        clNavy, clMaroon, clLime,   clOlive, clPurple, clSilver, clAqua,    clBlack};
    return kPalette[n % kSeriesPaletteSize];
}

}  // namespace kelmarin
