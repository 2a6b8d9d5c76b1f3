#include "gauge/gauge_picture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>

#include "gauge/blt_bitmap.h"
#include "gauge/gauge_geometry.h"

namespace kelmarin {

namespace {

// Fills the half-open rectangle [left, right) x [top, bottom); an empty one paints nothing.
void FillHalfOpen(QPainter& painter, int left, int top, int right, int bottom,
                  const QColor& color) {
    if (right <= left || bottom <= top) return;
    painter.fillRect(QRect(left, top, right - left, bottom - top), color);
}

void DrawBar(TBltBitmap& overlay, const TGaugeLook& look, const TGaugeRect& r) {
    QPainter painter(&overlay.Image());
    FillHalfOpen(painter, r.left, r.top, r.right, r.bottom, ToQColor(look.backColor));
    if (look.kind != TGaugeKind::gkHorizontalBar) return;
    // The fill edge is an absolute x and H serves as the bottom; the bitmap does the clipping.
    const int fill = FillEdge(r.W(), look.percent);
    if (fill >= 1) FillHalfOpen(painter, r.left, r.top, fill, r.H(), ToQColor(look.foreColor));
}

// White text on black, so that the XOR that follows inverts exactly the glyphs' pixels. Grey
// edge pixels would XOR into stray colours, hence no antialiasing.
void DrawText(TBltBitmap& textLayer, const TGaugeLook& look, const TGaugeRect& r) {
    QFont font = look.font;
    font.setStyleStrategy(QFont::NoAntialias);
    const QString text = QString::asprintf("%d%%", look.percent);
    const QFontMetrics metrics(font, &textLayer.Image());
    const int tw = metrics.horizontalAdvance(text);
    const int th = metrics.height();
    // Centred by W and H (one more than R's sides) in bitmap coordinates; / truncates.
    const int x = (r.right - r.left + 1 - tw) / 2;
    const int y = (r.bottom - r.top + 1 - th) / 2;

    QPainter painter(&textLayer.Image());
    painter.setClipRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    painter.setFont(font);
    painter.setPen(QColor(Qt::white));
    painter.drawText(x, y + metrics.ascent(), text);
}

}  // namespace

QImage ComposeGauge(const TGaugeLook& look) {
    TBltBitmap base(look.width, look.height, look.ratio);
    if (base.IsEmpty()) return QImage();
    base.FillBlack();
    const TGaugeRect r = PaintRect(look.width, look.height, look.border);

    TBltBitmap overlay;
    overlay.MakeLike(base);
    overlay.FillBlack();
    DrawBar(overlay, look, r);
    base.XorFrom(overlay);

    if (look.showText && r.right > r.left && r.bottom > r.top) {
        TBltBitmap textLayer;
        textLayer.MakeLike(base);
        textLayer.FillBlack();
        DrawText(textLayer, look, r);
        base.XorFrom(textLayer);
    }
    return base.Image();
}

}  // namespace kelmarin
