#pragma once
// The chart's drawing surface: keeps the pen, brush, font and text settings that the chart parts
// set, and draws with them through a QPainter following the classic desktop pixel rules (right
// and bottom edges excluded, a line's last pixel left out, text placed by alignment flags). It
// owns the off-screen bitmap a frame is drawn into. Only the flat (2D) view exists: the depth
// arguments are accepted and ignored; there is no 3D projection and no solids.

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "chart/canvas_brush.h"
#include "chart/canvas_font.h"
#include "chart/canvas_pen.h"
#include "chart/chart_rect.h"

namespace kelmarin {

class TChartPen;

// Text alignment flags, as the platform defines them.
inline constexpr unsigned TA_LEFT = 0;
inline constexpr unsigned TA_RIGHT = 2;
inline constexpr unsigned TA_CENTER = 6;
inline constexpr unsigned TA_TOP = 0;
inline constexpr unsigned TA_BOTTOM = 8;
inline constexpr unsigned TA_BASELINE = 24;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// The banding of FillGradient; the order is the stored one.
enum TGradientDirection {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft
};

// Pattern operations of PatternFill.
enum class TPatternOp { Copy, Invert, DestInvert, Blackness, Whiteness };

class TChartCanvas3D {
  public:
    TChartCanvas3D();
    TChartCanvas3D(const TChartCanvas3D&) = delete;
    TChartCanvas3D& operator=(const TChartCanvas3D&) = delete;
    ~TChartCanvas3D();

    TCanvasPen& Pen() { return pen_; }
    TCanvasBrush& Brush() { return brush_; }
    TCanvasFont& Font() { return font_; }

    // Drawing goes to this painter (nullptr: nowhere) until the next frame or attach.
    void AttachPainter(QPainter* painter);
    QPainter* AttachedPainter() const { return painter_; }
    void ResetDrawingState();
    void ApplyChartPen(const TChartPen& pen);

    void SetBackgroundColor(TColor c);
    void SetBackgroundMode(int mode);
    void SetTextAlignment(unsigned flags) { text_align_ = flags; }
    unsigned TextAlignment() const { return text_align_; }

    void DrawEllipse(int left, int top, int right, int bottom);
    void FillRectangle(const TRect& r);
    void EraseArea(const TRect& r) { FillRectangle(r); }
    void DrawFrame3D(TRect r, TColor top_left, TColor bottom_right, int width);
    void MoveToPoint(int x, int y);
    void LineToPoint(int x, int y);
    void DrawLine(int x0, int y0, int x1, int y1);
    void HorizontalLine(int left, int right, int y) { DrawLine(left, y, right, y); }
    void VerticalLine(int x, int top, int bottom) { DrawLine(x, top, x, bottom); }
    void HorizontalLineAtDepth(int left, int right, int y, int /*z*/) {
        HorizontalLine(left, right, y);
    }
    void VerticalLineAtDepth(int x, int top, int bottom, int /*z*/) {
        VerticalLine(x, top, bottom);
    }
    QPoint ProjectPoint(int x, int y, int /*z*/) const { return {x, y}; }
    void DrawRect(int left, int top, int right, int bottom);
    // Fills width × height with the brush from (x, y); a negative size extends to the
    // left or above the start.
    void PatternFill(int x, int y, int width, int height, TPatternOp op = TPatternOp::Copy);
    void FillGradient(TRect r, TColor first, TColor second, TGradientDirection direction);

    void DrawTextAt(int x, int y, const QString& text);
    void DrawRotatedText(int x, int y, int angle, const QString& text);
    int TextWidthOf(const QString& text) const;
    int TextHeightOf(const QString& text) const;
    int TextLineHeight() const { return TextHeightOf(QStringLiteral("W")); }
    // Measures as if font were the surface's font, leaving the surface's font as it is.
    int TextWidthIn(const TCanvasFont& font, const QString& text) const;
    int TextLineHeightIn(const TCanvasFont& font) const;
    int PixelsPerInch() const { return ppi_; }
    void SetPixelsPerInch(int ppi) { ppi_ = ppi; }

    // The clip only ever shrinks (intersection) until RemoveClip.
    void ClipToRect(const TRect& r);
    void ClipToPlotArea(const TRect& r, int /*min_z*/, int /*max_z*/) {
        ClipToRect({r.left + 1, r.top + 1, r.right, r.bottom - 1});
    }
    void RemoveClip();

    // A frame: drawing goes to the off-screen bitmap (buffered) or straight to target.
    // Answers the rectangle to draw in.
    TRect BeginFrame(QPainter* target, const TRect& bounds, bool is_3d = false);
    void EndFrame(QPainter* target, QPainter* control, const TRect& target_rect);
    // Outside a frame: runs draw on the last finished frame's bitmap, which is what the window
    // shows, so that the caller only has to ask for that area to be shown again. False (and
    // nothing drawn) inside a frame or when no finished bitmap is kept.
    bool DrawOnLastFrame(const std::function<void()>& draw);
    // Copies the last finished frame when nothing changed since; false means draw a new frame.
    bool RepaintFromBuffer(QPainter& target);
    void MarkDirty() { dirty_ = true; }
    bool IsDirty() const { return dirty_; }
    bool Buffered() const { return buffered_; }
    void SetBuffered(bool on);
    const QImage* Bitmap() const { return bitmap_.get(); }
    const TRect& Bounds() const { return bounds_; }

    // Small ellipses are drawn once per look and stamped (same pixels, much cheaper); tests
    // switch the stamps off to compare with the painter's own ellipses.
    void SetStampEllipses(bool on) { stamp_ellipses_ = on; }

  private:
    // One small ellipse as the painter draws it: the pixels it sets, relative to its box.
    struct EllipseStamp {
        int width, height, pen_width;
        QRgb pen, brush;
        bool has_pen, has_brush;
        std::vector<std::pair<QPoint, QRgb>> pixels;
    };

    const QFont& CurrentQFont() const;
    const QFontMetrics& CurrentMetrics() const;
    const QFontMetrics& MetricsOf(const TCanvasFont& font) const;
    // True when drawing goes to the surface's own bitmap, which is then written directly.
    bool DirectPixels() const { return direct_bits_ && painter_ == bitmap_painter_.get(); }
    QRect DirectClip() const;
    void PlotDirect(const std::vector<QPoint>& on, QRgb color);
    bool StampEllipse(const QRect& box);
    const EllipseStamp& FindStamp(int w, int h);

    QPainter* Take();
    void ApplyPendingBrush();
    void CopyBitmapTo(QPainter& target, QPoint at) const;
    void ApplyRasterOp(QPainter& p, TPenMode mode) const;
    bool PenDraws() const;
    QColor PenQColor() const;
    void PlotCosmetic(QPainter& p, std::vector<QPoint>& pixels);
    void StrokePath(std::initializer_list<QPoint> corners, bool closed);
    void FillInterior(QPainter& p, const QRect& r);
    void FillGradientBands(const TRect& r, bool vertical, TColor c0, int dr, int dg, int db);
    void DrawAlignedText(QPainter& p, int x, int y, const QString& text, const QFont& f);
    QBrush CurrentQBrush() const;

    TCanvasPen pen_;
    TCanvasBrush brush_;
    TCanvasFont font_;
    bool alternate_pen_ = false;
    unsigned brush_revision_taken_ = ~0u;
    TColor bk_color_ = clWhite;
    int bk_mode_ = OPAQUE;
    unsigned text_align_ = TA_LEFT | TA_TOP;
    int ppi_ = 96;
    QPoint pen_pos_;
    int style_phase_ = 0;
    std::optional<QRect> clip_;
    std::optional<QRect> applied_clip_;
    bool clip_applied_ = false;
    std::vector<QPoint> scratch_pixels_, scratch_off_;
    bool stamp_ellipses_ = true;
    std::vector<EllipseStamp> stamps_;
    mutable TCanvasFont qfont_key_;
    mutable int qfont_ppi_ = -1;
    mutable QFont qfont_;
    mutable std::optional<QFontMetrics> metrics_;
    mutable TCanvasFont measure_key_;
    mutable int measure_ppi_ = -1;
    mutable std::optional<QFontMetrics> measure_metrics_;
    uchar* direct_bits_ = nullptr;
    qsizetype direct_bpl_ = 0;

    QPainter* painter_ = nullptr;
    TRect bounds_;
    bool buffered_ = true;
    bool dirty_ = true;
    std::unique_ptr<QImage> bitmap_;
    std::unique_ptr<QPainter> bitmap_painter_;
};

}  // namespace kelmarin
