#pragma once
// The chart's drawing surface, the one object the chart parts draw through: keeps the pen,
// brush, font and text settings that they set, and draws with them through a QPainter following
// the classic desktop pixel rules (right and bottom edges excluded, a line's last pixel left out,
// text placed by alignment flags). A frame is drawn into the off-screen bitmap of TChartFrame;
// there, one-pixel lines and small ellipses go through TDirectRaster, which writes the same
// pixels far faster. Only the flat (2D) view exists: the depth arguments are accepted and
// ignored; there is no 3D projection and no solids.

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "chart/canvas/canvas_brush.h"
#include "chart/canvas/canvas_font.h"
#include "chart/canvas/canvas_pen.h"
#include "chart/canvas/chart_direct_raster.h"
#include "chart/canvas/chart_frame.h"
#include "chart/canvas/chart_rect.h"

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
    // Only area is copied when one is given (the part of the window being painted).
    bool RepaintFromBuffer(QPainter& target, const QRegion& area = QRegion());
    void MarkDirty() { dirty_ = true; }
    bool IsDirty() const { return dirty_; }
    bool Buffered() const { return buffered_; }
    void SetBuffered(bool on);
    const QImage* Bitmap() const { return frame_.Bitmap(); }
    // Device pixels per chart pixel of the next buffered frames' bitmap (the screen's ratio).
    void SetDevicePixelRatio(qreal ratio) { device_pixel_ratio_ = ratio; }
    const TRect& Bounds() const { return bounds_; }

    // Small ellipses are drawn once per look and stamped (same pixels, much cheaper); tests
    // switch the stamps off to compare with the painter's own ellipses.
    void SetStampEllipses(bool on) { stamp_ellipses_ = on; }

    // What DrawLine and DrawEllipse would write with the current pen and brush, when they can
    // write it straight into the bitmap: a one-pixel line's value, an ellipse's look.
    using EllipseLook = TDirectRaster::EllipseLook;
    std::optional<QRgb> DirectLineRgb() const;
    std::optional<EllipseLook> DirectEllipseLook() const;
    // A line series with its markers in one call: for each point i > 0 the line into it (value
    // line[i], none where the point did not move) then the marker of point i - 1 (look[i - 1]),
    // and the last point's marker at the end; each marker fills the box of half sizes h, v
    // around its point as DrawEllipse(x - h, y - v, x + h, y + v). The same pixels as those
    // calls one by one; false, with nothing drawn, when they need the painter.
    bool DrawMarkedLine(std::span<const QPoint> points, std::span<const QRgb> line,
                        std::span<const EllipseLook> look, int h, int v);

  private:
    // A font's metrics with the two heights every text needs: the metrics look them up anew
    // at each call, at a cost that shows in a frame of many labels.
    struct Metrics : QFontMetrics {
        explicit Metrics(const QFont& f)
            : QFontMetrics(f), ascent_px(ascent()), descent_px(descent()) {}
        int ascent_px, descent_px;
        int Height() const { return ascent_px + descent_px; }
    };
    // A font face as built for drawing and measuring, with the widths of the texts measured in
    // it. A frame goes back and forth between a few faces, and building one costs far more than
    // finding it.
    struct Face {
        TCanvasFont font;  // in the colour it was first asked for: the glyphs do not depend on it
        int ppi;
        QFont qfont;
        Metrics metrics;
        QHash<QString, int> widths;
    };
    Face& FaceOf(const TCanvasFont& font) const;
    Face& CurrentFace() const;
    const QFont& CurrentQFont() const { return CurrentFace().qfont; }
    const Metrics& CurrentMetrics() const { return CurrentFace().metrics; }
    int WidthIn(Face& face, const QString& text) const;
    // One-pixel lines through corners, written straight into the bitmap; false when the pen
    // or its mode needs the painter.
    bool StrokeDirect(std::span<const QPoint> corners, bool closed);
    // Whether the pen's pixels can be written straight into the bitmap.
    bool PenWritesDirect() const;
    // Straight one-pixel lines through corners as filled rectangles, on a raster device; false
    // when a line is not straight or the pen needs stroking.
    bool FillStraight(QPainter& p, std::span<const QPoint> corners, bool closed);
    // The look of the ellipse DrawEllipse would draw, when it can be drawn once and stamped.
    std::optional<EllipseLook> StampableLook() const;
    // Away from one device pixel per pixel: a small ellipse as the pixels it has there, as
    // rectangles (on a scaled bitmap, a picture of them drawn once per look and size).
    bool DrawMarkerPixels(QPainter& p, const QRect& box);
    static void FillPixelRuns(QPainter& p, QPoint corner,
                              const std::vector<TDirectRaster::PixelRun>& runs);
    struct Marker {
        QSize size;
        EllipseLook look;
        qreal ratio;
        QImage image;
    };
    std::vector<Marker> marker_images_;
    // True when drawing goes to the frame's bitmap at one device pixel per pixel, which is then
    // written directly.
    bool DirectPixels() const { return raster_.Attached() && painter_ == frame_.Painter(); }
    // Whether the painter sets whole pixels of the chart one by one (a bitmap at ratio 1), so
    // that the platform's pixel rules are followed pixel for pixel; else (a scaled bitmap, a
    // vector file) lines and shapes are drawn as such.
    bool ExactPixels() const { return exact_pixels_; }

    QPainter* Take();
    void ApplyPendingBrush();
    void ApplyRasterOp(QPainter& p, TPenMode mode);
    bool PenDraws() const;
    QColor PenQColor() const;
    QRgb PenRgb() const;
    void PlotCosmetic(QPainter& p, std::vector<QPoint>& pixels);
    void StrokePath(std::initializer_list<QPoint> corners, bool closed);
    void StrokeShape(QPainter& p, std::span<const QPoint> corners, bool closed);
    void FillInterior(QPainter& p, const QRect& r);
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
    bool hints_known_ = false;  // the bitmap's painter draws exact pixels, in copy mode
    bool exact_pixels_ = true;
    std::vector<QPoint> scratch_pixels_, scratch_off_;
    bool stamp_ellipses_ = true;
    mutable std::vector<std::unique_ptr<Face>> faces_;  // the last used at the back
    mutable Face* current_face_ = nullptr;              // that of font_

    QPainter* painter_ = nullptr;
    TRect bounds_;
    bool buffered_ = true;
    bool dirty_ = true;
    qreal device_pixel_ratio_ = 1;
    TChartFrame frame_;
    TDirectRaster raster_;
};

}  // namespace kelmarin
