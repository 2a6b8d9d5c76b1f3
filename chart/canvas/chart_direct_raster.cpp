#include "chart/canvas/chart_direct_raster.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "chart/canvas/line_walk.h"

namespace kelmarin {

namespace {

constexpr std::size_t kMaxStamps = 16;

}  // namespace

void TDirectRaster::Attach(QImage* image) {
    bits_ = image && !image->isNull() ? image->bits() : nullptr;
    bpl_ = bits_ ? image->bytesPerLine() : 0;
    size_ = bits_ ? image->size() : QSize();
    SetClip(std::nullopt);
}

void TDirectRaster::SetClip(const std::optional<QRect>& clip) {
    const QRect all(QPoint(0, 0), size_);
    clip_ = clip ? clip->intersected(all) : all;
}

void TDirectRaster::SolidLine(QPoint a, QPoint b, QRgb on) {
    // Most lines lie wholly inside the clip; they need no test per pixel.
    if (Inside(a.x(), a.y()) && Inside(b.x(), b.y())) {
        WalkPixels(reinterpret_cast<QRgb*>(bits_), bpl_ / qsizetype(sizeof(QRgb)), a, b,
                   [on](QRgb* px) { *px = on; });
        return;
    }
    WalkLine(a, b, [&](int x, int y) {
        if (Inside(x, y)) Pixel(x, y) = on;
    });
}

void TDirectRaster::StyledLines(std::span<const QPoint> corners, bool closed,
                                std::span<const int> pattern, int phase, QRgb on,
                                std::optional<QRgb> off) {
    // Where the pattern stands: the run the next pixel falls in and how many of it are left.
    std::size_t run = 0;
    int period = 0;
    for (const int r : pattern) period += r;
    phase %= period;
    while (phase >= pattern[run]) phase -= pattern[run++];
    int left = pattern[run] - phase;
    const auto step = [&] {
        const bool lit = run % 2 == 0;
        if (--left == 0) {
            if (++run == pattern.size()) run = 0;
            left = pattern[run];
        }
        return lit;
    };
    QRgb* const base = reinterpret_cast<QRgb*>(bits_);
    const qsizetype stride = bpl_ / qsizetype(sizeof(QRgb));
    // Segment i runs from corner i - 1 to corner i; a closed path ends back at the first.
    const std::size_t n = corners.size(), segments_end = closed ? n + 1 : n;
    for (std::size_t i = 1; i < segments_end; ++i) {
        const QPoint a = corners[i - 1], b = corners[i % n];
        if (Inside(a.x(), a.y()) && Inside(b.x(), b.y()))
            WalkPixels(base, stride, a, b, [&](QRgb* px) {
                const bool lit = step();
                if (lit || off) *px = lit ? on : *off;
            });
        else
            WalkLine(a, b, [&](int x, int y) {
                const bool lit = step();
                if ((lit || off) && Inside(x, y)) Pixel(x, y) = lit ? on : *off;
            });
    }
}

TDirectRaster::Stamp& TDirectRaster::FindStamp(int w, int h, const EllipseLook& look) {
    // The last one found is kept at the back: markers come series by series, in one look each.
    for (auto it = stamps_.rbegin(); it != stamps_.rend(); ++it) {
        if (it->width == w && it->height == h && it->look == look) {
            std::rotate(it.base() - 1, it.base(), stamps_.end());
            return stamps_.back();
        }
    }
    if (stamps_.size() >= kMaxStamps) stamps_.erase(stamps_.begin());
    Stamp s{w, h, look, {}, 0, {}};
    // Drawn by the painter, exactly as the surface's DrawEllipse would, on a transparent image
    // with room for a wide pen all round; the pixels it sets become the stamp.
    const int pad = look.pen_width + 1;
    QImage image(w + 1 + 2 * pad, h + 1 + 2 * pad, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(look.has_brush ? QBrush(QColor::fromRgb(look.brush)) : QBrush(Qt::NoBrush));
        if (look.has_pen)
            p.setPen(QPen(QBrush(QColor::fromRgb(look.pen)), look.pen_width, Qt::SolidLine));
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

bool TDirectRaster::Ellipse(const QRect& box, const EllipseLook& look) {
    if (box.width() < 0 || box.height() < 0 || box.width() > kMaxStampSize ||
        box.height() > kMaxStampSize)
        return false;
    Put(FindStamp(box.width(), box.height(), look), box);
    return true;
}

void TDirectRaster::Put(Stamp& stamp, const QRect& box) {
    // Stamps lie within their box grown by the pen; most markers are wholly inside the clip.
    const int pad = stamp.look.pen_width + 1;
    if (box.left() - pad >= clip_.left() && box.top() - pad >= clip_.top() &&
        box.right() + pad + 1 <= clip_.right() && box.bottom() + pad + 1 <= clip_.bottom()) {
        const qsizetype stride = bpl_ / qsizetype(sizeof(QRgb));
        if (stamp.stride != stride) {
            stamp.stride = stride;
            stamp.pixels.clear();
            for (const PixelRun& run : stamp.runs)
                for (int i = 0; i < run.length; ++i)
                    stamp.pixels.emplace_back(run.dy * stride + run.dx + i, run.rgb);
        }
        QRgb* corner = reinterpret_cast<QRgb*>(bits_) + box.top() * stride + box.left();
        for (const auto& [offset, rgb] : stamp.pixels) corner[offset] = rgb;
        return;
    }
    for (const PixelRun& run : stamp.runs) {
        const int y = box.top() + run.dy;
        const int left = std::max(box.left() + run.dx, clip_.left());
        const int right = std::min(box.left() + run.dx + run.length - 1, clip_.right());
        if (y < clip_.top() || y > clip_.bottom() || left > right) continue;
        std::fill(&Pixel(left, y), &Pixel(right, y) + 1, run.rgb);
    }
}

bool TDirectRaster::MarkedLine(std::span<const QPoint> points, std::span<const QRgb> line,
                               std::span<const EllipseLook> look, int h, int v) {
    const int w = 2 * h - 1, ht = 2 * v - 1;
    if (points.empty() || w < 0 || ht < 0 || w > kMaxStampSize || ht > kMaxStampSize) return false;
    Stamp* stamp = nullptr;
    const EllipseLook* stamp_look = nullptr;
    const auto marker = [&](std::size_t i) {
        if (!stamp_look || !(*stamp_look == look[i])) {
            stamp = &FindStamp(w, ht, look[i]);
            stamp_look = &look[i];
        }
        Put(*stamp, QRect(points[i].x() - h, points[i].y() - v, w, ht));
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (points[i] != points[i - 1]) SolidLine(points[i - 1], points[i], line[i]);
        marker(i - 1);
    }
    marker(points.size() - 1);
    return true;
}

}  // namespace kelmarin
