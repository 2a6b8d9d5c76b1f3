// Fonts and text widths of the drawing surface, kept per font: a chart measures the same few
// label strings every frame, and building a font or measuring a text anew costs more than the
// rest of the frame.

#include "chart/canvas/chart_canvas_3d.h"

namespace kelmarin {

namespace {

// Label values change during a run; past this many texts a font's store starts afresh.
constexpr qsizetype kMaxTextsPerFont = 512;
constexpr std::size_t kMaxFonts = 8;

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

int TChartCanvas3D::WidthIn(Face& face, const QString& text) const {
    auto it = face.widths.find(text);
    if (it == face.widths.end()) {
        if (face.widths.size() >= kMaxTextsPerFont) face.widths.clear();
        it = face.widths.insert(text, face.metrics.horizontalAdvance(text));
    }
    return *it;
}

}  // namespace kelmarin
