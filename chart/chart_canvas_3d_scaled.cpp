// The drawing surface on a scaled bitmap or a vector file, where the chart's pixels are not the
// device's: lines as lines through pixel centres, straight ones on a bitmap as the rectangles of
// their runs, and markers on a bitmap copied from pictures drawn once.
#include <QPaintEngine>
#include <algorithm>
#include <cstdlib>

#include "chart/chart_canvas_3d.h"
#include "chart/pen_style.h"

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

bool TChartCanvas3D::DrawMarkerImage(QPainter& p, const QRect& box) {
    // Only a scaled bitmap: a vector file keeps its ellipses as ellipses.
    const QTransform t = p.deviceTransform();
    if (ExactPixels() || p.paintEngine()->type() != QPaintEngine::Raster ||
        t.type() > QTransform::TxScale || t.m11() != t.m22() || box.width() < 0 ||
        box.height() < 0 || box.width() > TDirectRaster::kMaxStampSize ||
        box.height() > TDirectRaster::kMaxStampSize)
        return false;
    const std::optional<EllipseLook> look = StampableLook();
    if (!look) return false;
    const qreal ratio = t.m11();
    const int pad = look->pen_width + 1;
    auto it = std::find_if(marker_images_.begin(), marker_images_.end(), [&](const Marker& m) {
        return m.size == box.size() && m.look == *look && m.ratio == ratio;
    });
    if (it == marker_images_.end()) {
        // Drawn once by the painter, as below it would be drawn each time, on a transparent
        // image with room for the pen all round.
        constexpr std::size_t kMaxMarkers = 16;
        if (marker_images_.size() >= kMaxMarkers) marker_images_.erase(marker_images_.begin());
        const QSizeF size = QSizeF(box.width() + 1 + 2 * pad, box.height() + 1 + 2 * pad) * ratio;
        QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter ip(&image);
        ip.setBrush(look->has_brush ? QBrush(QColor::fromRgb(look->brush)) : QBrush(Qt::NoBrush));
        if (look->has_pen)
            ip.setPen(QPen(QBrush(QColor::fromRgb(look->pen)), look->pen_width, Qt::SolidLine));
        else
            ip.setPen(Qt::NoPen);
        ip.drawEllipse(QRect(QPoint(pad, pad), box.size()));
        ip.end();
        marker_images_.push_back({box.size(), *look, ratio, std::move(image)});
        it = marker_images_.end() - 1;
    }
    ApplyRasterOp(p, pmCopy);
    p.drawImage(QPoint(box.left() - pad, box.top() - pad), it->image);
    return true;
}

}  // namespace kelmarin
