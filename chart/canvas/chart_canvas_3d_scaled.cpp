// The drawing surface on a scaled bitmap or a vector file, where the chart's pixels are not the
// device's: lines as lines through pixel centres, straight ones on a bitmap as the rectangles of
// their runs, and markers as the pixels they have at one device pixel per pixel (on a bitmap,
// copied from pictures drawn once).
#include <QPaintEngine>
#include <algorithm>
#include <cstdlib>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/canvas/pen_style.h"

namespace kelmarin {

namespace {

// Cuts line to the part inside r (Liang-Barsky); false when none of it is.
bool ClipLine(QLineF& line, const QRectF& r) {
    double t0 = 0, t1 = 1;
    const double p[4] = {-line.dx(), line.dx(), -line.dy(), line.dy()};
    const double q[4] = {line.x1() - r.left(), r.right() - line.x1(), line.y1() - r.top(),
                         r.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    line = QLineF(line.pointAt(t0), line.pointAt(t1));
    return true;
}

}  // namespace

bool TChartCanvas3D::FillStraight(QPainter& p, std::span<const QPoint> corners, bool closed) {
    const TPenMode mode = pen_.Mode();
    if (pen_.Width() > 1 || p.paintEngine()->type() != QPaintEngine::Raster ||
        (mode != pmCopy && mode != pmBlack && mode != pmWhite))
        return false;
    const std::size_t n = corners.size(), segments_end = closed ? n + 1 : n;
    for (std::size_t i = 1; i < segments_end; ++i) {
        const QPoint a = corners[i - 1], b = corners[i % n];
        if (a.x() != b.x() && a.y() != b.y()) return false;
    }
    ApplyRasterOp(p, pmCopy);
    const auto pattern = StylePattern(pen_.Style(), alternate_pen_);
    const QColor on = PenQColor(), off = ToQColor(bk_color_);
    const bool gaps = bk_mode_ == OPAQUE;
    std::size_t run = 0;
    int left = 0;  // pixels left in the run
    if (!pattern.empty()) {
        int period = 0;
        for (const int r : pattern) period += r;
        int phase = style_phase_ % period;
        while (phase >= pattern[run]) phase -= pattern[run++];
        left = pattern[run] - phase;
    }
    for (std::size_t i = 1; i < segments_end; ++i) {
        const QPoint a = corners[i - 1], b = corners[i % n];
        const int length = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
        const QPoint step((b.x() > a.x()) - (b.x() < a.x()), (b.y() > a.y()) - (b.y() < a.y()));
        style_phase_ += length;
        // The pixels from `from` on, count of them, as one rectangle.
        const auto fill = [&](QPoint from, int count, const QColor& c) {
            const QPoint last = from + step * (count - 1);
            p.fillRect(QRect(QPoint(std::min(from.x(), last.x()), std::min(from.y(), last.y())),
                             QPoint(std::max(from.x(), last.x()), std::max(from.y(), last.y()))),
                       c);
        };
        if (pattern.empty()) {
            if (length > 0) fill(a, length, on);
            continue;
        }
        for (int k = 0; k < length;) {
            const int count = std::min(left, length - k);
            const bool lit = run % 2 == 0;
            if (lit || gaps) fill(a + step * k, count, lit ? on : off);
            k += count;
            if ((left -= count) == 0) {
                if (++run == pattern.size()) run = 0;
                left = pattern[run];
            }
        }
    }
    return true;
}

void TChartCanvas3D::StrokeShape(QPainter& p, std::span<const QPoint> corners, bool closed) {
    // On a scaled bitmap a straight one-pixel line is the rectangles of its lit runs: the same
    // pixels as at ratio 1, only larger, and far cheaper than stroking it.
    if (FillStraight(p, corners, closed)) return;
    QPen pen(QBrush(PenQColor()), pen_.Width(), ToQtStyle(pen_.Style()), Qt::RoundCap,
             Qt::RoundJoin);
    QPolygonF poly(int(corners.size()));
    for (std::size_t i = 0; i < corners.size(); ++i) poly[int(i)] = corners[i];
    if (pen_.Width() <= 1) {
        // A one-pixel line covers the pixels it passes through: drawn through their centres,
        // a styled one in the same runs as on a bitmap.
        pen.setJoinStyle(Qt::MiterJoin);
        const auto pattern = StylePattern(pen_.Style(), alternate_pen_);
        if (pattern.empty()) {
            pen.setCapStyle(Qt::SquareCap);
        } else {
            pen.setCapStyle(Qt::FlatCap);
            pen.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
        }
        poly.translate(0.5, 0.5);
    }
    ApplyRasterOp(p, pen_.Mode());
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (clip_ && p.paintEngine()->type() == QPaintEngine::SVG) {
        // An SVG file keeps no clip of the painter's: the lines are cut to it here.
        const QRectF area(*clip_);
        if (closed) poly << poly.first();
        for (int i = 1; i < poly.size(); ++i)
            if (QLineF line(poly[i - 1], poly[i]); ClipLine(line, area)) p.drawLine(line);
        return;
    }
    closed ? p.drawPolygon(poly) : p.drawPolyline(poly);
}

void TChartCanvas3D::FillPixelRuns(QPainter& p, QPoint corner,
                                   const std::vector<TDirectRaster::PixelRun>& runs) {
    // Rows alike one under another make one rectangle: a vector viewer shows no seams within.
    struct Block {
        QRect rect;
        QRgb rgb;
    };
    std::vector<Block> blocks;
    for (const TDirectRaster::PixelRun& run : runs) {
        const QRect row(corner.x() + run.dx, corner.y() + run.dy, run.length, 1);
        auto under = std::find_if(blocks.begin(), blocks.end(), [&](const Block& b) {
            return b.rgb == run.rgb && b.rect.left() == row.left() &&
                   b.rect.width() == row.width() && b.rect.bottom() + 1 == row.top();
        });
        if (under != blocks.end())
            under->rect.setBottom(row.bottom());
        else
            blocks.push_back({row, run.rgb});
    }
    for (const Block& b : blocks) p.fillRect(b.rect, QColor::fromRgb(b.rgb));
}

bool TChartCanvas3D::DrawMarkerPixels(QPainter& p, const QRect& box) {
    // A marker is as small as its pixels on the screen at one device pixel per pixel: anywhere
    // else (a scaled bitmap, SVG, PDF), those pixels are drawn larger, not a rounder shape.
    if (ExactPixels() || box.width() < 0 || box.height() < 0 ||
        box.width() > TDirectRaster::kMaxStampSize || box.height() > TDirectRaster::kMaxStampSize)
        return false;
    const std::optional<EllipseLook> look = StampableLook();
    if (!look) return false;
    const std::vector<TDirectRaster::PixelRun>& runs =
        raster_.EllipseRuns(box.width(), box.height(), *look);
    ApplyRasterOp(p, pmCopy);
    const QTransform t = p.deviceTransform();
    if (p.paintEngine()->type() != QPaintEngine::Raster || t.type() > QTransform::TxScale ||
        t.m11() != t.m22()) {
        FillPixelRuns(p, box.topLeft(), runs);
        return true;
    }
    const qreal ratio = t.m11();
    const int pad = look->pen_width + 1;
    auto it = std::find_if(marker_images_.begin(), marker_images_.end(), [&](const Marker& m) {
        return m.size == box.size() && m.look == *look && m.ratio == ratio;
    });
    if (it == marker_images_.end()) {
        // On a bitmap, drawn once per look and size and then copied: filling each time costs
        // many times the copy.
        constexpr std::size_t kMaxMarkers = 16;
        if (marker_images_.size() >= kMaxMarkers) marker_images_.erase(marker_images_.begin());
        const QSizeF size = QSizeF(box.width() + 1 + 2 * pad, box.height() + 1 + 2 * pad) * ratio;
        QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter ip(&image);
        FillPixelRuns(ip, QPoint(pad, pad), runs);
        ip.end();
        marker_images_.push_back({box.size(), *look, ratio, std::move(image)});
        it = marker_images_.end() - 1;
    }
    p.drawImage(QPoint(box.left() - pad, box.top() - pad), it->image);
    return true;
}

}  // namespace kelmarin
