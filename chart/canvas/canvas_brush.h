#pragma once
// The surface's brush: colour and style. Giving a clear brush a colour makes it solid, and
// making it clear turns its colour white, as the chart's label drawing expects. Each real change
// bumps a revision, so the surface knows when the brush must reset the text background.

#include <functional>

#include "platform/color.h"

namespace kelmarin {

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TCanvasBrush {
  public:
    using ChangeHandler = std::function<void()>;

    TCanvasBrush() = default;
    explicit TCanvasBrush(ChangeHandler on_change) : on_change_(std::move(on_change)) {}
    TCanvasBrush(const TCanvasBrush&) = delete;
    TCanvasBrush& operator=(const TCanvasBrush&) = delete;

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle s);
    void Assign(const TCanvasBrush& source);

    unsigned Revision() const { return revision_; }
    void SetOnChange(ChangeHandler h) { on_change_ = std::move(h); }

  private:
    void Changed();

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    unsigned revision_ = 0;
    ChangeHandler on_change_;
};

}  // namespace kelmarin
