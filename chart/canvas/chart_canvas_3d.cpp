#include "chart/canvas/chart_canvas_3d.h"

#include <QPaintEngine>
#include <QTransform>

#include "chart/canvas/chart_pen.h"

namespace kelmarin {

TChartCanvas3D::TChartCanvas3D() {
    // Any change of the pen makes a new pen, which drops the every-other-pixel one.
    pen_.SetOnChange([this] { alternate_pen_ = false; });
}

TChartCanvas3D::~TChartCanvas3D() = default;

namespace {

// Whether a painter sets whole pixels one for one: a raster picture, moved by whole pixels.
bool SetsExactPixels(const QPainter& p) {
    const QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return false;
    const QTransform t = p.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == int(t.dx()) && t.dy() == int(t.dy());
}

}  // namespace

void TChartCanvas3D::AttachPainter(QPainter* painter) {
    painter_ = painter;
    clip_applied_ = false;
    hints_known_ = false;
    exact_pixels_ = !painter || !painter->isActive() || SetsExactPixels(*painter);
}

void TChartCanvas3D::ApplyPendingBrush() {
    if (brush_.Revision() == brush_revision_taken_) return;
    brush_revision_taken_ = brush_.Revision();
    if (brush_.Style() == bsSolid) {
        bk_color_ = brush_.Color();
        bk_mode_ = OPAQUE;
    } else {
        bk_color_ = ~brush_.Color() & 0xFFFFFF;
        bk_mode_ = TRANSPARENT;
    }
}

QPainter* TChartCanvas3D::Take() {
    ApplyPendingBrush();
    if (!painter_) return nullptr;
    // Exact pixels: no smoothing anywhere, and the clip as this surface keeps it.
    // Each change of the painter's state is costly, even to the same value: only real ones.
    // Even asking costs, hundreds of times a frame: the bitmap's own painter is only asked
    // again after this surface changed its state.
    if (!hints_known_) {
        if (!painter_->isActive()) return nullptr;
        // Scaled or vector output draws texts from the font's outlines: smooth, not blurred.
        const QPainter::RenderHints smooth =
            exact_pixels_ ? QPainter::RenderHints() : QPainter::TextAntialiasing;
        if ((painter_->renderHints() & (QPainter::Antialiasing | QPainter::TextAntialiasing)) !=
            smooth) {
            painter_->setRenderHint(QPainter::Antialiasing, false);
            painter_->setRenderHint(QPainter::TextAntialiasing, !exact_pixels_);
        }
        if (painter_->compositionMode() != QPainter::CompositionMode_SourceOver)
            painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        hints_known_ = painter_ == frame_.Painter();
    }
    // Setting a clip is costly; it is set again only when it changed since the last take.
    if (!clip_applied_ || applied_clip_ != clip_) {
        if (clip_)
            painter_->setClipRect(*clip_, Qt::ReplaceClip);
        else
            painter_->setClipping(false);
        applied_clip_ = clip_;
        clip_applied_ = true;
    }
    return painter_;
}

void TChartCanvas3D::ResetDrawingState() {
    pen_.SetColor(clBlack);
    pen_.SetWidth(1);
    pen_.SetStyle(psSolid);
    brush_.SetColor(clWhite);
    brush_.SetStyle(bsSolid);
    font_.SetColor(clBlack);
    font_.SetSize(10);
    SetBackgroundColor(clWhite);
    SetBackgroundMode(TRANSPARENT);
}

void TChartCanvas3D::ApplyChartPen(const TChartPen& pen) {
    if (!pen.Visible()) {
        pen_.SetStyle(psClear);
        return;
    }
    pen_.Assign(pen);
    // Not a copy of the style: a one-pixel pen with every other pixel set.
    alternate_pen_ = pen.SmallDots() && pen.Width() == 1;
}

void TChartCanvas3D::SetBackgroundColor(TColor c) {
    ApplyPendingBrush();
    bk_color_ = c;
}

void TChartCanvas3D::SetBackgroundMode(int mode) {
    ApplyPendingBrush();
    bk_mode_ = mode;
}

int TChartCanvas3D::TextWidthIn(const TCanvasFont& font, const QString& text) const {
    return WidthIn(FaceOf(font), text);
}

int TChartCanvas3D::TextLineHeightIn(const TCanvasFont& font) const {
    return FaceOf(font).metrics.Height();
}

int TChartCanvas3D::TextWidthOf(const QString& text) const { return WidthIn(CurrentFace(), text); }

int TChartCanvas3D::TextHeightOf(const QString& text) const {
    const Metrics& fm = CurrentMetrics();
    // The platform's text extent is always one line of the font's full height.
    (void)text;
    return fm.Height();
}

void TChartCanvas3D::DrawAlignedText(QPainter& p, int x, int y, const QString& text,
                                     const QFont& f) {
    const Metrics& fm = CurrentMetrics();
    const int w = TextWidthOf(text);
    const int h = fm.Height();
    const unsigned horz = text_align_ & TA_CENTER;
    const unsigned vert = text_align_ & TA_BASELINE;
    const int left = horz == TA_CENTER ? x - w / 2 : horz == TA_RIGHT ? x - w : x;
    const int top = vert == TA_BASELINE ? y - fm.ascent_px : vert == TA_BOTTOM ? y - h : y;
    if (bk_mode_ == OPAQUE) p.fillRect(QRect(left, top, w, h), ToQColor(bk_color_));
    p.setFont(f);
    p.setPen(ToQColor(font_.Color()));
    p.drawText(QPoint(left, top + fm.ascent_px), text);
}

void TChartCanvas3D::DrawTextAt(int x, int y, const QString& text) {
    QPainter* p = Take();
    if (!p) return;
    DrawAlignedText(*p, x, y, text, CurrentQFont());
}

void TChartCanvas3D::DrawRotatedText(int x, int y, int angle, const QString& text) {
    brush_.SetStyle(bsClear);
    if (angle > 360) angle -= 360;
    QPainter* p = Take();
    if (!p) return;
    p->save();
    p->translate(x, y);
    // Angles run counter-clockwise on screen, where y grows downwards.
    p->rotate(-angle);
    DrawAlignedText(*p, 0, 0, text, CurrentQFont());
    p->restore();
    clip_applied_ = false;
    hints_known_ = false;
}

void TChartCanvas3D::ClipToRect(const TRect& r) {
    const QRect q(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    const QRect wanted = q.isValid() ? q : QRect();
    clip_ = clip_ ? clip_->intersected(wanted) : wanted;
    raster_.SetClip(clip_);
}

void TChartCanvas3D::RemoveClip() {
    clip_.reset();
    raster_.SetClip(clip_);
}

TRect TChartCanvas3D::BeginFrame(QPainter* target, const TRect& bounds, bool /*is_3d*/) {
    bounds_ = bounds;
    // A frame left unfinished by a failure may have left its clip: every frame starts without.
    RemoveClip();
    if (!buffered_) {
        AttachPainter(target);
        return bounds;
    }
    const QSize size(bounds.Width(), bounds.Height());
    QPainter* painter = frame_.Begin(size, device_pixel_ratio_);
    // Taken before anything is drawn, so that the painter and the rasteriser write the same,
    // unshared pixels; a scaled bitmap is drawn by the painter alone.
    raster_.Attach(painter && device_pixel_ratio_ == 1 ? frame_.Bitmap() : nullptr);
    AttachPainter(painter);
    return {0, 0, size.width(), size.height()};
}

void TChartCanvas3D::EndFrame(QPainter* target, QPainter* control, const TRect& target_rect) {
    if (buffered_) {
        raster_.Attach(nullptr);
        frame_.End();
        if (target) frame_.CopyTo(*target, QPoint(target_rect.left, target_rect.top));
        dirty_ = false;
    }
    AttachPainter(control);
}

bool TChartCanvas3D::DrawOnLastFrame(const std::function<void()>& draw) {
    QImage* bitmap = frame_.Bitmap();
    if (painter_ || !buffered_ || !bitmap || bitmap->isNull()) return false;
    QPainter painter(bitmap);
    AttachPainter(&painter);
    // Detached again even when draw throws: the painter dies with this frame.
    struct Detach {
        TChartCanvas3D& canvas;
        ~Detach() { canvas.AttachPainter(nullptr); }
    } detach{*this};
    draw();
    return true;
}

bool TChartCanvas3D::RepaintFromBuffer(QPainter& target, const QRegion& area) {
    if (dirty_ || !frame_.Bitmap()) return false;
    frame_.CopyTo(target, QPoint(0, 0), area);
    return true;
}

void TChartCanvas3D::SetBuffered(bool on) {
    if (on == buffered_) return;
    buffered_ = on;
    if (!on) {
        if (painter_ == frame_.Painter()) painter_ = nullptr;
        raster_.Attach(nullptr);
        frame_.Drop();
    }
}

}  // namespace kelmarin
