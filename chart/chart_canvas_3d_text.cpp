// Texts of the drawing surface kept per font: a chart draws the same few label strings every
// frame, and shaping them anew each time costs more than the rest of the frame. Each text is
// measured once and, the first time it is drawn at a right angle, drawn once by the painter;
// the pixels that drawing sets are then written straight into the bitmap at every later use.
#include <QTransform>
#include <algorithm>

#include "chart/chart_canvas_3d.h"

namespace kelmarin {

namespace {

// Label values change during a run; past this many texts a font's store starts afresh.
constexpr qsizetype kMaxTextsPerFont = 512;
constexpr std::size_t kMaxFonts = 8;

bool RightAngle(int angle) { return angle == 0 || angle == 90 || angle == 180 || angle == 270; }

}  // namespace

TChartCanvas3D::Face& TChartCanvas3D::FaceOf(const TCanvasFont& font) const {
    if (current_face_ && current_face_->ppi == ppi_ && current_face_->font.SameFace(font))
        return *current_face_;
    for (auto it = faces_.rbegin(); it != faces_.rend(); ++it)
        if ((*it)->ppi == ppi_ && (*it)->font.SameFace(font)) return **it;
    if (faces_.size() >= kMaxFonts) {
        if (current_face_ == faces_.front().get()) current_face_ = nullptr;
        faces_.erase(faces_.begin());
    }
    const QFont q = font.ToQFont(ppi_);
    faces_.push_back(std::make_unique<Face>(Face{font, ppi_, q, Metrics(q), {}}));
    return *faces_.back();
}

TChartCanvas3D::Face& TChartCanvas3D::CurrentFace() const {
    current_face_ = &FaceOf(font_);
    return *current_face_;
}

TChartCanvas3D::TextShape& TChartCanvas3D::ShapeIn(Face& face, const QString& text) const {
    auto it = face.texts.find(text);
    if (it == face.texts.end()) {
        if (face.texts.size() >= kMaxTextsPerFont) face.texts.clear();
        it =
            face.texts.insert(text, TextShape{face.metrics.horizontalAdvance(text), -1, false, {}});
    }
    return *it;
}

TChartCanvas3D::TextShape& TChartCanvas3D::ShapeOf(const QString& text) const {
    return ShapeIn(CurrentFace(), text);
}

const TChartCanvas3D::TextShape& TChartCanvas3D::ShapeAt(const QString& text, int angle) {
    TextShape& shape = ShapeOf(text);
    if (shape.angle == angle) return shape;
    shape.angle = angle;
    shape.runs.clear();
    const Metrics& fm = CurrentMetrics();
    const int side = 2 * (shape.width + 2 * fm.Height()) + 8;
    const int c = side / 2;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.translate(c, c);
        p.rotate(-angle);
        p.setFont(CurrentQFont());
        p.setPen(Qt::white);
        p.drawText(QPoint(0, 0), text);
    }
    // Only whole pixels can be written in another colour later; anything blended is not.
    shape.stampable = true;
    for (int y = 0; y < side; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < side;) {
            const int a = qAlpha(row[x]);
            if (a != 0 && a != 255) shape.stampable = false;
            if (a != 255) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < side && qAlpha(row[x]) == 255) ++x;
            shape.runs.push_back({y - c, start - c, x - start});
        }
    }
    return shape;
}

bool TChartCanvas3D::StampText(int x, int y, int angle, const QString& text) {
    if (!DirectPixels() || !RightAngle(angle)) return false;
    // A background box is drawn turned with the text; only the flat one is written here.
    if (bk_mode_ == OPAQUE && angle != 0) return false;
    const TextShape& shape = ShapeAt(text, angle);
    if (!shape.stampable) return false;
    // Where the painter's text origin lands: the alignment within the turned frame, as
    // DrawAlignedText places it, then turned and moved to (x, y).
    const Metrics& fm = CurrentMetrics();
    const int w = shape.width, h = fm.Height();
    const unsigned horz = text_align_ & TA_CENTER;
    const unsigned vert = text_align_ & TA_BASELINE;
    const int left = horz == TA_CENTER ? -(w / 2) : horz == TA_RIGHT ? -w : 0;
    const int top = vert == TA_BASELINE ? -fm.ascent_px : vert == TA_BOTTOM ? -h : 0;
    if (bk_mode_ == OPAQUE) FillDirect(QRect(x + left, y + top, w, h), ToRgb(bk_color_));
    QTransform turn;
    turn.rotate(-angle);
    const QPoint anchor = QPoint(x, y) + turn.map(QPoint(left, top + fm.ascent_px));
    const QRect clip = DirectClip();
    const QRgb value = ToRgb(font_.Color());
    for (const TextRun& run : shape.runs) {
        const int py = anchor.y() + run.dy;
        if (py < clip.top() || py > clip.bottom()) continue;
        const int x0 = std::max(anchor.x() + run.dx, clip.left());
        const int x1 = std::min(anchor.x() + run.dx + run.length - 1, clip.right());
        if (x0 > x1) continue;
        QRgb* row = reinterpret_cast<QRgb*>(direct_bits_ + py * direct_bpl_);
        std::fill(row + x0, row + x1 + 1, value);
    }
    return true;
}

}  // namespace kelmarin
