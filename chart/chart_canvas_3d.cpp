#include "chart/chart_canvas_3d.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QTransform>
#include <array>
#include <cmath>
#include <cstring>

#include "chart/chart_pen.h"

namespace kelmarin {

TChartCanvas3D::TChartCanvas3D() {
    // Any change of the pen makes a new pen, which drops the every-other-pixel one.
    pen_.SetOnChange([this] { alternate_pen_ = false; });
}

TChartCanvas3D::~TChartCanvas3D() = default;

void TChartCanvas3D::AttachPainter(QPainter* painter) {
    painter_ = painter;
    clip_applied_ = false;
    hints_known_ = false;
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
        if (painter_->renderHints() & (QPainter::Antialiasing | QPainter::TextAntialiasing))
            painter_->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing, false);
        if (painter_->compositionMode() != QPainter::CompositionMode_SourceOver)
            painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        hints_known_ = painter_ == bitmap_painter_.get();
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
    return ShapeIn(FaceOf(font), text).width;
}

int TChartCanvas3D::TextLineHeightIn(const TCanvasFont& font) const {
    return FaceOf(font).metrics.Height();
}

int TChartCanvas3D::TextWidthOf(const QString& text) const { return ShapeOf(text).width; }

int TChartCanvas3D::TextHeightOf(const QString& text) const {
    const Metrics& fm = CurrentMetrics();
    // The platform's text extent is always one line of the font's full height.
    (void)text;
    return fm.Height();
}

void TChartCanvas3D::DrawAlignedText(QPainter& p, int x, int y, const QString& text,
                                     const QFont& f) {
    const Metrics& fm = CurrentMetrics();
    const int w = ShapeOf(text).width;
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
    if (!p || StampText(x, y, 0, text)) return;
    DrawAlignedText(*p, x, y, text, CurrentQFont());
}

void TChartCanvas3D::DrawRotatedText(int x, int y, int angle, const QString& text) {
    brush_.SetStyle(bsClear);
    if (angle > 360) angle -= 360;
    QPainter* p = Take();
    if (!p || StampText(x, y, angle, text)) return;
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
    direct_clip_.reset();
}

void TChartCanvas3D::RemoveClip() {
    clip_.reset();
    direct_clip_.reset();
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
    bitmap_painter_.reset();
    // Two bitmaps take turns: the last finished frame stays beside the new one.
    if (keep_previous_)
        std::swap(bitmap_, previous_);
    else
        previous_.reset();
    if (bitmap_ && bitmap_->size() != size) bitmap_.reset();
    if (previous_ && previous_->size() != size) previous_.reset();
    if (!bitmap_) bitmap_ = std::make_unique<QImage>(size, QImage::Format_RGB32);
    direct_clip_.reset();
    direct_bits_ = nullptr;
    if (!bitmap_->isNull()) {
        // Taken before the painter exists, so both write the same, unshared pixels.
        direct_bits_ = bitmap_->bits();
        direct_bpl_ = bitmap_->bytesPerLine();
        bitmap_painter_ = std::make_unique<QPainter>(bitmap_.get());
    }
    AttachPainter(bitmap_painter_.get());
    return {0, 0, size.width(), size.height()};
}

namespace {

// The picture behind a painter when the bitmap's rows can go into it as they are: 32-bit pixels
// under the raster engine, reached by a move of whole pixels and nothing else (the window's
// backing store, an image). offset is where the painter's (0, 0) lands in it.
QImage* RowTarget(QPainter& p, QPoint& offset) {
    QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || p.opacity() != 1.0) return nullptr;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format f = image->format();
    // The bitmap's pixels are opaque: the same bytes in all three formats.
    if ((f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
         f != QImage::Format_ARGB32_Premultiplied) ||
        !image->isDetached())
        return nullptr;
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::trunc(t.dx()) ||
        t.dy() != std::trunc(t.dy()))
        return nullptr;
    offset = QPoint(int(t.dx()), int(t.dy()));
    return image;
}

}  // namespace

void TChartCanvas3D::CopyBitmapTo(QPainter& target, QPoint at, const QRegion& area) const {
    if (!bitmap_ || !target.isActive()) return;
    const QRect all(QPoint(0, 0), bitmap_->size());
    QPoint offset;
    if (QImage* image = RowTarget(target, offset)) {
        // Row by row: a painted copy costs several microseconds per rectangle on top.
        const QPoint shift = at + offset;
        QRegion region = area.isEmpty() ? QRegion(all) : area.intersected(all);
        region.translate(shift);
        region &= QRect(QPoint(0, 0), image->size());
        const QRegion system = target.paintEngine()->systemClip();
        if (!system.isEmpty()) region &= system;
        uchar* bits = image->bits();
        const qsizetype bpl = image->bytesPerLine();
        for (const QRect& r : region)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(bits + y * bpl + r.left() * qsizetype(sizeof(QRgb)),
                            bitmap_->constScanLine(y - shift.y()) +
                                (r.left() - shift.x()) * qsizetype(sizeof(QRgb)),
                            std::size_t(r.width()) * sizeof(QRgb));
        return;
    }
    target.save();
    target.setClipping(false);
    target.setCompositionMode(QPainter::CompositionMode_Source);
    if (area.isEmpty()) {
        target.drawImage(at, *bitmap_);
    } else {
        // Rectangle by rectangle: a clipped copy of the whole bitmap costs as much as all of it.
        for (const QRect& r : area.intersected(all))
            target.drawImage(r.topLeft() + at, *bitmap_, r);
    }
    target.restore();
}

void TChartCanvas3D::EndFrame(QPainter* target, QPainter* control, const TRect& target_rect) {
    if (buffered_) {
        bitmap_painter_.reset();
        direct_bits_ = nullptr;
        if (target) CopyBitmapTo(*target, QPoint(target_rect.left, target_rect.top));
        dirty_ = false;
    }
    AttachPainter(control);
}

QRegion TChartCanvas3D::ChangedArea() const {
    if (!bitmap_) return {};
    const int w = bitmap_->width(), h = bitmap_->height();
    if (!previous_ || previous_->size() != bitmap_->size()) return QRect(0, 0, w, h);
    // Compared in tiles: a refresh late in a run moves a few markers and labels by a pixel,
    // and only their tiles need to reach the screen. Whole rows are compared first, since
    // most rows are the same.
    constexpr int kTileWidth = 64, kTileHeight = 8, kMaxTiles = 64;
    const int tiles = std::min((w + kTileWidth - 1) / kTileWidth, kMaxTiles);
    const int tile_width = (w + tiles - 1) / std::max(tiles, 1);
    QRegion changed;
    for (int top = 0; top < h; top += kTileHeight) {
        const int bottom = std::min(h, top + kTileHeight);
        std::array<bool, kMaxTiles> differs{};
        for (int y = top; y < bottom; ++y) {
            const QRgb* now = reinterpret_cast<const QRgb*>(bitmap_->constScanLine(y));
            const QRgb* before = reinterpret_cast<const QRgb*>(previous_->constScanLine(y));
            if (std::memcmp(now, before, std::size_t(w) * sizeof(QRgb)) == 0) continue;
            for (int t = 0; t < tiles; ++t) {
                const int x = t * tile_width, n = std::min(tile_width, w - x);
                if (!differs[t] && n > 0)
                    differs[t] = std::memcmp(now + x, before + x, std::size_t(n) * sizeof(QRgb));
            }
        }
        for (int t = 0; t < tiles;) {
            if (!differs[t]) {
                ++t;
                continue;
            }
            const int first = t;
            while (t < tiles && differs[t]) ++t;
            const int x = first * tile_width;
            changed += QRect(x, top, std::min(w, t * tile_width) - x, bottom - top);
        }
    }
    return changed;
}

bool TChartCanvas3D::DrawOnLastFrame(const std::function<void()>& draw) {
    if (painter_ || !buffered_ || !bitmap_ || bitmap_->isNull()) return false;
    QPainter painter(bitmap_.get());
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
    if (dirty_ || !bitmap_) return false;
    CopyBitmapTo(target, QPoint(0, 0), area);
    return true;
}

void TChartCanvas3D::SetBuffered(bool on) {
    if (on == buffered_) return;
    buffered_ = on;
    if (!on) {
        if (painter_ == bitmap_painter_.get()) painter_ = nullptr;
        bitmap_painter_.reset();
        direct_bits_ = nullptr;
        bitmap_.reset();
        previous_.reset();
    }
}

}  // namespace kelmarin
