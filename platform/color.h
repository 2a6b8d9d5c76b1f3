#pragma once
// Colours as the program stores them: 0x00BBGGRR, plus the chart's two markers and the system
// colours, which only the window system can resolve. The one conversion to QColor lives here.

#include <QColor>
#include <cstdint>

namespace kelmarin {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// No colour of its own: the owner's colour applies.
inline constexpr TColor clDefault = 0x20000000;
// Marks a null point of a series.
inline constexpr TColor clNone = 0x1FFFFFFF;

// System colours: the high bit set, the low byte the window system's colour index.
inline constexpr TColor kSystemColorFlag = 0x80000000;
inline constexpr TColor clWindowText = kSystemColorFlag | 8;
inline constexpr TColor clWindow = kSystemColorFlag | 5;
inline constexpr TColor clBtnFace = kSystemColorFlag | 15;
inline constexpr TColor clBtnShadow = kSystemColorFlag | 16;
inline constexpr TColor clBtnText = kSystemColorFlag | 18;
inline constexpr TColor clBtnHighlight = kSystemColorFlag | 20;

constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int RedOf(TColor c) { return int(c & 0xFF); }
constexpr int GreenOf(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return int((c >> 16) & 0xFF); }

// Resolves system colours through the application palette; plain colours map byte for byte.
QColor ToQColor(TColor c);
// The opaque pixel value of a colour, as ToQColor(c).rgb(); plain colours need no QColor.
inline QRgb ToRgb(TColor c) {
    if (c & kSystemColorFlag) return ToQColor(c).rgb();
    return 0xFF000000u | QRgb(RedOf(c)) << 16 | QRgb(GreenOf(c)) << 8 | QRgb(BlueOf(c));
}

}  // namespace kelmarin
