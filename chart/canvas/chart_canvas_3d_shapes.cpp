// Lines, rectangles, ellipses and fills of the drawing surface, with the platform's pixel rules.
#include <QPaintEngine>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <utility>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/canvas/line_walk.h"
#include "chart/canvas/pen_style.h"
#include "platform/mul_div.h"

namespace kelmarin {

namespace {

bool PatternOn(std::span<const int> pattern, int phase) {
    int period = 0;
    for (int run : pattern) period += run;
    phase %= period;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (phase < pattern[i]) return i % 2 == 0;
        phase -= pattern[i];
    }
    return true;
}

void LinePixels(QPoint a, QPoint b, std::vector<QPoint>& out) {
    WalkLine(a, b, [&out](int x, int y) { out.emplace_back(x, y); });
}

}  // namespace

void TChartCanvas3D::ApplyRasterOp(QPainter& p, TPenMode mode) {
    hints_known_ = false;
    switch (mode) {
        case pmXor:
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            break;
        case pmNotXor:
            p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
            break;
        case pmNot:
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            break;
        default:
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

bool TChartCanvas3D::PenDraws() const { return pen_.Style() != psClear; }

QRgb TChartCanvas3D::PenRgb() const {
    switch (pen_.Mode()) {
        case pmBlack:
            return 0xFF000000u;
        case pmWhite:
            return 0xFFFFFFFFu;
        default:
            return ToRgb(pen_.Color());
    }
}

QColor TChartCanvas3D::PenQColor() const {
    switch (pen_.Mode()) {
        case pmBlack:
            return Qt::black;
        case pmWhite:
            return Qt::white;
        default:
            return ToQColor(pen_.Color());
    }
}

void TChartCanvas3D::PlotCosmetic(QPainter& p, std::vector<QPoint>& pixels) {
    const auto pattern = StylePattern(pen_.Style(), alternate_pen_);
    std::vector<QPoint>& off = scratch_off_;
    off.clear();
    if (!pattern.empty()) {
        // Split in place: the pixels the pattern sets stay in front, in drawing order.
        std::size_t kept = 0;
        for (const QPoint& px : pixels) {
            if (PatternOn(pattern, style_phase_))
                pixels[kept++] = px;
            else
                off.push_back(px);
            ++style_phase_;
        }
        pixels.resize(kept);
    } else {
        style_phase_ += int(pixels.size());
    }
    // Gaps of a styled pen show the background colour when the background is opaque.
    const bool gaps = !off.empty() && bk_mode_ == OPAQUE;
    ApplyRasterOp(p, pen_.Mode());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(PenQColor(), 1));
    if (!pixels.empty()) p.drawPoints(pixels.data(), int(pixels.size()));
    if (gaps) {
        p.setPen(QPen(ToQColor(bk_color_), 1));
        p.drawPoints(off.data(), int(off.size()));
    }
}

void TChartCanvas3D::StrokePath(std::initializer_list<QPoint> corner_list, bool closed) {
    const std::span<const QPoint> corners(corner_list.begin(), corner_list.size());
    QPainter* p = Take();
    if (!p || !PenDraws() || corners.size() < 2) return;
    if ((pen_.Width() > 1 && !alternate_pen_) || !ExactPixels()) {
        StrokeShape(*p, corners, closed);
        return;
    }
    // A closed outline touches each pixel once, even when it folds back on itself (a box one
    // pixel thin), so that xor modes stay reversible. Only such thin boxes fold.
    bool folds = false;
    if (closed) {
        const auto [xmin, xmax] = std::minmax_element(
            corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
        const auto [ymin, ymax] = std::minmax_element(
            corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
        folds = xmax->x() - xmin->x() <= 1 || ymax->y() - ymin->y() <= 1;
    }
    if (!folds && StrokeDirect(corners, closed)) return;
    std::vector<QPoint>& pixels = scratch_pixels_;
    pixels.clear();
    for (std::size_t i = 1; i < corners.size(); ++i) LinePixels(corners[i - 1], corners[i], pixels);
    if (closed) LinePixels(corners.back(), corners.front(), pixels);
    if (folds) {
        std::vector<QPoint> unique;
        for (const QPoint& px : pixels)
            if (std::find(unique.begin(), unique.end(), px) == unique.end()) unique.push_back(px);
        if (unique.empty()) unique.push_back(corners.front());
        pixels.swap(unique);
    }
    PlotCosmetic(*p, pixels);
}

bool TChartCanvas3D::PenWritesDirect() const {
    const TPenMode mode = pen_.Mode();
    return DirectPixels() && (mode == pmCopy || mode == pmBlack || mode == pmWhite);
}

bool TChartCanvas3D::StrokeDirect(std::span<const QPoint> corners, bool closed) {
    if (!PenWritesDirect()) return false;
    const QRgb on = PenRgb();
    const auto pattern = StylePattern(pen_.Style(), alternate_pen_);
    // Segment i runs from corner i - 1 to corner i; a closed path ends back at the first.
    const std::size_t n = corners.size(), segments_end = closed ? n + 1 : n;
    const int phase = style_phase_;
    for (std::size_t i = 1; i < segments_end; ++i) {
        const QPoint a = corners[i - 1], b = corners[i % n];
        style_phase_ += std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
        if (pattern.empty()) raster_.SolidLine(a, b, on);
    }
    // Gaps of a styled pen show the background colour when the background is opaque.
    if (!pattern.empty())
        raster_.StyledLines(corners, closed, pattern, phase, on,
                            bk_mode_ == OPAQUE ? std::optional(ToRgb(bk_color_)) : std::nullopt);
    return true;
}

std::optional<QRgb> TChartCanvas3D::DirectLineRgb() const {
    // As StrokePath and StrokeDirect decide.
    if (!PenWritesDirect() || !PenDraws() || (pen_.Width() > 1 && !alternate_pen_) ||
        !StylePattern(pen_.Style(), alternate_pen_).empty())
        return std::nullopt;
    return PenRgb();
}

void TChartCanvas3D::MoveToPoint(int x, int y) {
    pen_pos_ = QPoint(x, y);
    style_phase_ = 0;
}

void TChartCanvas3D::LineToPoint(int x, int y) {
    const QPoint to(x, y);
    StrokePath({pen_pos_, to}, false);
    pen_pos_ = to;
}

void TChartCanvas3D::DrawLine(int x0, int y0, int x1, int y1) {
    MoveToPoint(x0, y0);
    LineToPoint(x1, y1);
}

QBrush TChartCanvas3D::CurrentQBrush() const {
    static constexpr Qt::BrushStyle kHatch[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::BDiagPattern, Qt::FDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
    switch (brush_.Style()) {
        case bsSolid:
            return QBrush(ToQColor(brush_.Color()));
        case bsClear:
            return Qt::NoBrush;
        default:
            return QBrush(ToQColor(brush_.Color()), kHatch[brush_.Style() - bsHorizontal]);
    }
}

void TChartCanvas3D::FillInterior(QPainter& p, const QRect& r) {
    if (brush_.Style() == bsClear || r.isEmpty()) return;
    // Hatches show the background between their lines when the background is opaque.
    if (brush_.Style() != bsSolid && bk_mode_ == OPAQUE) p.fillRect(r, ToQColor(bk_color_));
    p.fillRect(r, CurrentQBrush());
}

void TChartCanvas3D::FillRectangle(const TRect& r) {
    QPainter* p = Take();
    if (!p) return;
    FillInterior(*p, QRect(r.left, r.top, r.Width(), r.Height()));
}

void TChartCanvas3D::DrawRect(int left, int top, int right, int bottom) {
    QPainter* p = Take();
    if (!p) return;
    // Corners may come in any order (a zoom band dragged up or left): the same rectangle.
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    ApplyRasterOp(*p, pen_.Mode());
    if (!PenDraws()) {
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        FillInterior(*p, QRect(left, top, right - left - 1, bottom - top - 1));
        return;
    }
    FillInterior(*p, QRect(left, top, right - left, bottom - top));
    if (right - left < 1 || bottom - top < 1) return;
    StrokePath({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}}, true);
}

void TChartCanvas3D::DrawEllipse(int left, int top, int right, int bottom) {
    QPainter* p = Take();
    if (!p) return;
    const QRect box(left, top, right - left - 1, bottom - top - 1);
    if (const std::optional<EllipseLook> look = DirectEllipseLook())
        if (raster_.Ellipse(box, *look)) return;
    // An SVG file keeps no clip: a marker wholly outside it is left out.
    if (clip_ && p->paintEngine()->type() == QPaintEngine::SVG && !clip_->intersects(box)) return;
    if (DrawMarkerPixels(*p, box)) return;
    ApplyRasterOp(*p, pen_.Mode());
    p->setBrush(CurrentQBrush());
    if (PenDraws())
        p->setPen(QPen(QBrush(PenQColor()), std::max(1, pen_.Width()), ToQtStyle(pen_.Style())));
    else
        p->setPen(Qt::NoPen);
    // The outline of a one-pixel pen covers left .. right-1, as the box's right edge is outside.
    p->drawEllipse(box);
}

void TChartCanvas3D::DrawFrame3D(TRect r, TColor top_left, TColor bottom_right, int width) {
    pen_.SetWidth(1);
    --r.right;
    --r.bottom;
    for (int i = 0; i < width; ++i) {
        pen_.SetColor(top_left);
        StrokePath({{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}}, false);
        pen_.SetColor(bottom_right);
        StrokePath({{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}}, false);
        ++r.left;
        ++r.top;
        --r.right;
        --r.bottom;
    }
}

void TChartCanvas3D::PatternFill(int x, int y, int width, int height, TPatternOp op) {
    QPainter* p = Take();
    if (!p) return;
    if (width < 0) x += width, width = -width;
    if (height < 0) y += height, height = -height;
    const QRect r(x, y, width, height);
    hints_known_ = false;  // the operations below set their own composition
    switch (op) {
        case TPatternOp::Copy:
            FillInterior(*p, r);
            break;
        case TPatternOp::Invert:
            p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p->fillRect(r, CurrentQBrush());
            break;
        case TPatternOp::DestInvert:
            p->setCompositionMode(QPainter::RasterOp_NotDestination);
            p->fillRect(r, Qt::black);
            break;
        case TPatternOp::Blackness:
            p->fillRect(r, Qt::black);
            break;
        case TPatternOp::Whiteness:
            p->fillRect(r, Qt::white);
            break;
    }
}

std::optional<TChartCanvas3D::EllipseLook> TChartCanvas3D::DirectEllipseLook() const {
    if (!DirectPixels()) return std::nullopt;
    return StampableLook();
}

std::optional<TChartCanvas3D::EllipseLook> TChartCanvas3D::StampableLook() const {
    if (!stamp_ellipses_ || pen_.Mode() != pmCopy) return std::nullopt;
    if (PenDraws() && pen_.Style() != psSolid && pen_.Style() != psInsideFrame) return std::nullopt;
    if (brush_.Style() != bsSolid && brush_.Style() != bsClear) return std::nullopt;
    const bool has_pen = PenDraws(), has_brush = brush_.Style() == bsSolid;
    return EllipseLook{has_pen, has_brush, has_pen ? PenRgb() : 0,
                       has_brush ? ToRgb(brush_.Color()) : 0, std::max(1, pen_.Width())};
}

bool TChartCanvas3D::DrawMarkedLine(std::span<const QPoint> points, std::span<const QRgb> line,
                                    std::span<const EllipseLook> look, int h, int v) {
    if (!DirectPixels()) return false;
    Take();  // as each DrawEllipse does: the brush's text background, the painter's clip
    if (!raster_.MarkedLine(points, line, look, h, v)) return false;
    // The pen is left where the last line that moved left it.
    for (std::size_t i = points.size() - 1; i > 0; --i)
        if (points[i] != points[i - 1]) {
            pen_pos_ = points[i];
            style_phase_ = std::max(std::abs(points[i].x() - points[i - 1].x()),
                                    std::abs(points[i].y() - points[i - 1].y()));
            break;
        }
    return true;
}

}  // namespace kelmarin
