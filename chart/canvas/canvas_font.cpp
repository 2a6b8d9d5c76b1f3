#include "chart/canvas/canvas_font.h"

#include "platform/font.h"
#include "platform/mul_div.h"

namespace kelmarin {

TCanvasFont& TCanvasFont::operator=(const TCanvasFont& other) {
    if (*this == other) return *this;
    name_ = other.name_;
    size_ = other.size_;
    color_ = other.color_;
    bold_ = other.bold_;
    italic_ = other.italic_;
    if (on_change_) on_change_();
    return *this;
}

int TCanvasFont::PixelHeight(int ppi) const {
    if (size_ < 0) return -size_;
    return MulDiv(size_, ppi, 72);
}

QFont TCanvasFont::ToQFont(int ppi) const {
    QFont f = MakeFont(name_, -PixelHeight(ppi), bold_, italic_);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

}  // namespace kelmarin
