// Direct pixel output of the drawing surface into its own bitmap: one-pixel lines and stamped
// small ellipses. Both give exactly the pixels the painter would give; they only skip its
// per-call overhead, which dominates a frame made of hundreds of tiny shapes.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "chart/chart_canvas_3d.h"
#include "chart/fill_pixels.h"

namespace kelmarin {

namespace {

// Larger ellipses are rare and cheap enough through the painter.
constexpr int kMaxStampSize = 32;
constexpr std::size_t kMaxStamps = 16;

}  // namespace

const QRect& TChartCanvas3D::DirectClip() const {
    if (!direct_clip_) {
        const QRect all(QPoint(0, 0), bitmap_->size());
        direct_clip_ = clip_ ? clip_->intersected(all) : all;
    }
    return *direct_clip_;
}

void TChartCanvas3D::PlotDirect(const std::vector<QPoint>& on, QRgb color) {
    const QRect clip = DirectClip();
    const int x0 = clip.left(), x1 = clip.right(), y0 = clip.top(), y1 = clip.bottom();
    const QRgb value = 0xFF000000u | color;
    for (const QPoint& px : on) {
        if (px.x() < x0 || px.x() > x1 || px.y() < y0 || px.y() > y1) continue;
        reinterpret_cast<QRgb*>(direct_bits_ + px.y() * direct_bpl_)[px.x()] = value;
    }
}

void TChartCanvas3D::FillDirect(const QRect& r, QRgb color) {
    const QRect area = r.intersected(DirectClip());
    if (area.isEmpty()) return;
    const QRgb value = 0xFF000000u | color;
    QRgb* first = reinterpret_cast<QRgb*>(direct_bits_ + area.top() * direct_bpl_) + area.left();
    FillPixels(first, area.width(), value);
    // The other rows are copies of the first: a block copy is far cheaper than a fill loop.
    for (int y = area.top() + 1; y <= area.bottom(); ++y)
        std::memcpy(reinterpret_cast<QRgb*>(direct_bits_ + y * direct_bpl_) + area.left(), first,
                    std::size_t(area.width()) * sizeof(QRgb));
}

std::optional<TChartCanvas3D::EllipseLook> TChartCanvas3D::DirectEllipseLook() const {
    if (!stamp_ellipses_ || !DirectPixels() || pen_.Mode() != pmCopy) return std::nullopt;
    if (PenDraws() && pen_.Style() != psSolid && pen_.Style() != psInsideFrame) return std::nullopt;
    if (brush_.Style() != bsSolid && brush_.Style() != bsClear) return std::nullopt;
    const bool has_pen = PenDraws(), has_brush = brush_.Style() == bsSolid;
    return EllipseLook{has_pen, has_brush, has_pen ? PenRgb() : 0,
                       has_brush ? ToRgb(brush_.Color()) : 0, std::max(1, pen_.Width())};
}

TChartCanvas3D::EllipseStamp& TChartCanvas3D::FindStamp(int w, int h, const EllipseLook& look) {
    const auto [has_pen, has_brush, pen, brush, pen_width] = look;
    // The last one found is kept at the back: markers come series by series, in one look each.
    for (auto it = stamps_.rbegin(); it != stamps_.rend(); ++it) {
        EllipseStamp& s = *it;
        if (s.width == w && s.height == h && s.look == look) {
            std::rotate(it.base() - 1, it.base(), stamps_.end());
            return stamps_.back();
        }
    }
    if (stamps_.size() >= kMaxStamps) stamps_.erase(stamps_.begin());
    EllipseStamp s{w, h, look, {}, 0, {}};
    // Drawn by the painter, exactly as DrawEllipse would, on a transparent image with room
    // for a wide pen all round; the pixels it sets become the stamp.
    const int pad = pen_width + 1;
    QImage image(w + 1 + 2 * pad, h + 1 + 2 * pad, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(has_brush ? QBrush(QColor::fromRgb(brush)) : QBrush(Qt::NoBrush));
        if (has_pen)
            p.setPen(QPen(QBrush(QColor::fromRgb(pen)), pen_width, Qt::SolidLine));
        else
            p.setPen(Qt::NoPen);
        p.drawEllipse(QRect(pad, pad, w, h));
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width();) {
            const QRgb rgb = image.pixel(x, y);
            int end = x + 1;
            while (end < image.width() && image.pixel(end, y) == rgb) ++end;
            if (qAlpha(rgb) == 255) s.runs.push_back({y - pad, x - pad, end - x, rgb});
            x = end;
        }
    stamps_.push_back(std::move(s));
    return stamps_.back();
}

bool TChartCanvas3D::StampEllipse(const QRect& box) {
    if (box.width() < 0 || box.height() < 0 || box.width() > kMaxStampSize ||
        box.height() > kMaxStampSize)
        return false;
    const std::optional<EllipseLook> look = DirectEllipseLook();
    if (!look) return false;
    Stamp(FindStamp(box.width(), box.height(), *look), box);
    return true;
}

void TChartCanvas3D::Stamp(EllipseStamp& stamp, const QRect& box) {
    const QRect& clip = DirectClip();
    // Stamps lie within their box grown by the pen; most markers are wholly inside the clip.
    const int pad = stamp.look.pen_width + 1;
    if (box.left() - pad >= clip.left() && box.top() - pad >= clip.top() &&
        box.right() + pad + 1 <= clip.right() && box.bottom() + pad + 1 <= clip.bottom()) {
        const qsizetype stride = direct_bpl_ / qsizetype(sizeof(QRgb));
        if (stamp.stride != stride) {
            stamp.stride = stride;
            stamp.pixels.clear();
            for (const EllipseStamp::Run& run : stamp.runs)
                for (int i = 0; i < run.length; ++i)
                    stamp.pixels.emplace_back(run.dy * stride + run.dx + i, run.rgb);
        }
        QRgb* corner = reinterpret_cast<QRgb*>(direct_bits_) + box.top() * stride + box.left();
        for (const auto& [offset, rgb] : stamp.pixels) corner[offset] = rgb;
        return;
    }
    const int x0 = clip.left(), x1 = clip.right(), y0 = clip.top(), y1 = clip.bottom();
    for (const EllipseStamp::Run& run : stamp.runs) {
        const int y = box.top() + run.dy;
        const int left = std::max(box.left() + run.dx, x0);
        const int right = std::min(box.left() + run.dx + run.length - 1, x1);
        if (y < y0 || y > y1 || left > right) continue;
        QRgb* row = reinterpret_cast<QRgb*>(direct_bits_ + y * direct_bpl_);
        std::fill(row + left, row + right + 1, run.rgb);
    }
}

bool TChartCanvas3D::DrawMarkedLine(std::span<const QPoint> points, std::span<const QRgb> line,
                                    std::span<const EllipseLook> look, int h, int v) {
    const int w = 2 * h - 1, ht = 2 * v - 1;
    if (points.empty() || !DirectPixels() || w < 0 || ht < 0 || w > kMaxStampSize ||
        ht > kMaxStampSize)
        return false;
    Take();  // as each DrawEllipse does: the brush's text background, the painter's clip
    EllipseStamp* stamp = nullptr;
    const EllipseLook* stamp_look = nullptr;
    const auto marker = [&](std::size_t i) {
        if (!stamp_look || !(*stamp_look == look[i])) {
            stamp = &FindStamp(w, ht, look[i]);
            stamp_look = &look[i];
        }
        Stamp(*stamp, QRect(points[i].x() - h, points[i].y() - v, w, ht));
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (points[i] != points[i - 1]) {
            SolidLine(points[i - 1], points[i], line[i]);
            pen_pos_ = points[i];
            style_phase_ = std::max(std::abs(points[i].x() - points[i - 1].x()),
                                    std::abs(points[i].y() - points[i - 1].y()));
        }
        marker(i - 1);
    }
    marker(points.size() - 1);
    return true;
}

}  // namespace kelmarin
