#pragma once
// Composes the gauge's picture off screen: the bar on its background, then the percentage
// text laid over it by XOR so that every text pixel shows the inverse of what lies beneath.
// It knows nothing of widgets; the gauge hands it a snapshot of its state.

#include <QFont>
#include <QImage>

#include "gauge/gauge_types.h"
#include "platform/color.h"

namespace kelmarin {

struct TGaugeLook {
    int width = 0;
    int height = 0;
    TGaugeKind kind = TGaugeKind::gkHorizontalBar;
    TBorderStyle border = TBorderStyle::bsSingle;
    bool showText = true;
    TColor foreColor = clBlack;
    TColor backColor = clWhite;
    QFont font;
    int percent = 0;  // the displayed percentage, 0..100
};

// The whole picture, width x height, in Format_RGB32; a null image when either side is 0.
QImage ComposeGauge(const TGaugeLook& look);

}  // namespace kelmarin
