#pragma once
// The geometry of a message dialog, worked out from the dialog font's average character
// width and height alone, so that it can be checked without building a window. It knows
// nothing about captions, icons or widgets beyond the width that the caption asks for.

#include <QRect>
#include <QSize>
#include <vector>

namespace kelmarin {

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int MulDiv(int a, int b, int c);

struct TMessageLayout {
    // Inputs.
    int unitWidth = 0;   // u: width of the 52 letters divided by 52
    int unitHeight = 0;  // v: height of that line
    // Derived spacing.
    int horzMargin = 0;
    int vertMargin = 0;
    int horzSpacing = 0;
    int vertSpacing = 0;
    int buttonHeight = 0;
    int buttonSpacing = 0;
    int buttonWidth = 0;
    // Placement.
    QSize client;
    QRect icon;  // empty when the dialog has no icon
    QRect text;
    std::vector<QRect> buttons;
};

inline constexpr int kMessageIconSize = 32;

// The smallest button width before the captions are considered: 50 × u / 4.
int MinimumButtonWidth(int unitWidth);

// Lays out a dialog whose text measures textSize, with buttonCount buttons of buttonWidth
// (already widened for their captions), with or without the 32 × 32 icon. The client is at
// least captionWidth wide, so that the title bar has room to show the caption whole.
TMessageLayout LayoutMessage(int unitWidth, int unitHeight, QSize textSize, int buttonWidth,
                             int buttonCount, bool hasIcon, int captionWidth = 0);

}  // namespace kelmarin
