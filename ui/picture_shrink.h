#pragma once
// How a picture box shows a picture larger than itself: shrunk with its proportions kept, at
// the box's top-left corner, by keeping whole rows and columns and dropping the others (no
// smoothing, so every pixel shown is one of the picture's own). It never enlarges.

#include <QImage>
#include <QSize>

namespace kelmarin {

// The size the picture is shown at: its own when it fits the box, else the largest size with
// its proportions that fits, each side rounded down and at least 1.
QSize ProportionalFit(QSize picture, QSize box);

// Pixel (x, y) of the result is pixel (floor(x * W / w), floor(y * H / h)) of the source,
// W x H the source's size and w x h the result's. Keeps the source's format (pictures of
// fewer than 8 bits per pixel come out as ARGB32). Null for a null source or an empty size.
QImage KeepRowsAndColumns(const QImage& source, QSize size);

// Both steps: what the box shows, on a screen of the given device pixel ratio. The picture
// keeps the logical size it has at ratio 1 and is made of that size times the ratio in device
// pixels, still each one of the picture's own, so that a HiDPI screen shows it sharp.
QImage ShrinkToFit(const QImage& source, QSize box, qreal ratio = 1);

}  // namespace kelmarin
