// Lines, rectangles, ellipses and fills of the drawing surface, with the platform's pixel rules.
#include <algorithm>
#include <cstdlib>
#include <span>
#include <utility>

#include "chart/chart_canvas_3d.h"
#include "platform/mul_div.h"

namespace kelmarin {

namespace {

// On/off runs of the styled one-pixel pens, in pixels.
std::span<const int> StylePattern(TPenStyle style, bool alternate) {
    static constexpr int kAlternate[] = {1, 1};
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    if (alternate) return kAlternate;
    switch (style) {
        case psDash:
            return kDash;
        case psDot:
            return kDot;
        case psDashDot:
            return kDashDot;
        case psDashDotDot:
            return kDashDotDot;
        default:
            return {};
    }
}

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

// Visits the pixels from a to b, b itself left out (Bresenham): max(|dx|, |dy|) of them. The
// coordinate of the longer side steps every time, so each side has a loop of its own. `at`
// follows the walk (Step(sx, 0), Step(0, sy)) and is what plot is given.
template <typename At, typename Plot>
void Walk(QPoint a, QPoint b, At at, Plot plot) {
    const int dx = std::abs(b.x() - a.x()), dy = std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    if (dx == 0 || dy == 0) {  // straight: nothing to decide on the way
        const int ux = dy == 0 ? sx : 0, uy = dx == 0 ? sy : 0;
        for (int i = 0; i < dx + dy; ++i, at.Step(ux, uy)) plot(at);
        return;
    }
    int err = dx - dy;
    if (dx >= dy) {
        for (int i = 0; i < dx; ++i) {
            plot(at);
            const int e2 = 2 * err;
            err -= dy;
            at.Step(sx, 0);
            if (e2 < dx) {
                err += dx;
                at.Step(0, sy);
            }
        }
        return;
    }
    for (int i = 0; i < dy; ++i) {
        plot(at);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            at.Step(sx, 0);
        }
        err += dx;
        at.Step(0, sy);
    }
}

// A walk's pixel as its coordinates.
struct XY {
    int x, y;
    void Step(int dx, int dy) {
        x += dx;
        y += dy;
    }
};

template <typename Plot>
void WalkLine(QPoint a, QPoint b, Plot plot) {
    Walk(a, b, XY{a.x(), a.y()}, [&plot](const XY& p) { plot(p.x, p.y); });
}

// A walk's pixel as an offset into RGB32 rows `stride` pixels apart: stepping it is much
// cheaper than working out each pixel's address.
struct Offset {
    qsizetype at, stride;
    void Step(int dx, int dy) { at += dx + dy * stride; }
};

// The pixels WalkLine visits, from base; the whole line must lie in the picture.
template <typename Plot>
void WalkPixels(QRgb* base, qsizetype stride, QPoint a, QPoint b, Plot plot) {
    Walk(a, b, Offset{a.y() * stride + a.x(), stride},
         [base, &plot](const Offset& o) { plot(base + o.at); });
}

void LinePixels(QPoint a, QPoint b, std::vector<QPoint>& out) {
    WalkLine(a, b, [&out](int x, int y) { out.emplace_back(x, y); });
}

Qt::PenStyle ToQtStyle(TPenStyle s) {
    switch (s) {
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        case psClear:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
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
    if (PenWritesDirect()) {
        PlotDirect(pixels, PenRgb());
        if (gaps) PlotDirect(off, ToRgb(bk_color_));
        return;
    }
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
    if (pen_.Width() > 1 && !alternate_pen_) {
        QPen pen(QBrush(PenQColor()), pen_.Width(), ToQtStyle(pen_.Style()), Qt::RoundCap,
                 Qt::RoundJoin);
        ApplyRasterOp(*p, pen_.Mode());
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        QPolygon poly(int(corners.size()));
        for (std::size_t i = 0; i < corners.size(); ++i) poly[int(i)] = corners[i];
        closed ? p->drawPolygon(poly) : p->drawPolyline(poly);
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
    const QRect clip = DirectClip();
    uchar* const bits = direct_bits_;
    const qsizetype bpl = direct_bpl_;
    const auto pixel = [bits, bpl](int x, int y) -> QRgb& {
        return reinterpret_cast<QRgb*>(bits + y * bpl)[x];
    };
    const int x0 = clip.left(), x1 = clip.right(), y0 = clip.top(), y1 = clip.bottom();
    const auto inside = [=](int x, int y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
    QRgb* const base = reinterpret_cast<QRgb*>(bits);
    const qsizetype stride = bpl / qsizetype(sizeof(QRgb));
    const auto pattern = StylePattern(pen_.Style(), alternate_pen_);
    // Segment i runs from corner i - 1 to corner i; a closed path ends back at the first.
    const std::size_t n = corners.size(), segments_end = closed ? n + 1 : n;
    if (pattern.empty()) {
        for (std::size_t i = 1; i < segments_end; ++i) {
            const QPoint a = corners[i - 1], b = corners[i % n];
            style_phase_ += std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
            SolidLine(a, b, on);
        }
        return true;
    }
    // Where the pen's style pattern stands: the run the next pixel falls in and how many
    // pixels of it are left.
    std::size_t run = 0;
    int period = 0;
    for (const int r : pattern) period += r;
    int phase = style_phase_ % period;
    while (phase >= pattern[run]) phase -= pattern[run++];
    int left = pattern[run] - phase;
    // Gaps of a styled pen show the background colour when the background is opaque.
    const bool gaps = bk_mode_ == OPAQUE;
    const QRgb off = ToRgb(bk_color_);
    const auto step = [&] {
        const bool lit = run % 2 == 0;
        if (--left == 0) {
            if (++run == pattern.size()) run = 0;
            left = pattern[run];
        }
        return lit;
    };
    for (std::size_t i = 1; i < segments_end; ++i) {
        const QPoint a = corners[i - 1], b = corners[i % n];
        style_phase_ += std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
        if (inside(a.x(), a.y()) && inside(b.x(), b.y()))
            WalkPixels(base, stride, a, b, [&](QRgb* px) {
                const bool lit = step();
                if (lit || gaps) *px = lit ? on : off;
            });
        else
            WalkLine(a, b, [&](int x, int y) {
                const bool lit = step();
                if ((lit || gaps) && inside(x, y)) pixel(x, y) = lit ? on : off;
            });
    }
    return true;
}

void TChartCanvas3D::SolidLine(QPoint a, QPoint b, QRgb on) {
    const QRect& clip = DirectClip();
    const int x0 = clip.left(), x1 = clip.right(), y0 = clip.top(), y1 = clip.bottom();
    const auto inside = [=](int x, int y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
    // Most lines lie wholly inside the clip; they need no test per pixel.
    if (inside(a.x(), a.y()) && inside(b.x(), b.y())) {
        WalkPixels(reinterpret_cast<QRgb*>(direct_bits_), direct_bpl_ / qsizetype(sizeof(QRgb)), a,
                   b, [on](QRgb* px) { *px = on; });
        return;
    }
    WalkLine(a, b, [&](int x, int y) {
        if (inside(x, y)) reinterpret_cast<QRgb*>(direct_bits_ + y * direct_bpl_)[x] = on;
    });
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
    if (brush_.Style() == bsSolid && DirectPixels() &&
        p.compositionMode() == QPainter::CompositionMode_SourceOver) {
        FillDirect(r, ToRgb(brush_.Color()));
        return;
    }
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
    if (StampEllipse(box)) return;
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

}  // namespace kelmarin
