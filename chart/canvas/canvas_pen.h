#pragma once
// The surface's pen: colour, width, style and raster mode, reporting each real change to its
// owner. It only holds values; the drawing surface turns them into pixels.

#include <functional>

#include "platform/assign_if_changed.h"
#include "platform/color.h"

namespace kelmarin {

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// How pen pixels combine with what is already there; only these modes are used.
enum TPenMode { pmBlack, pmWhite, pmNot, pmCopy, pmXor, pmNotXor };

class TCanvasPen {
  public:
    using ChangeHandler = std::function<void()>;

    TCanvasPen() = default;
    explicit TCanvasPen(ChangeHandler on_change) : on_change_(std::move(on_change)) {}
    TCanvasPen(const TCanvasPen&) = delete;
    TCanvasPen& operator=(const TCanvasPen&) = delete;
    virtual ~TCanvasPen() = default;

    TColor Color() const { return color_; }
    void SetColor(TColor c) { Set(color_, c); }
    int Width() const { return width_; }
    void SetWidth(int w) { Set(width_, w < 0 ? 0 : w); }
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle s) { Set(style_, s); }
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode m) { Set(mode_, m); }

    // Copies colour, width, style and mode (a chart pen copies its own settings too).
    virtual void Assign(const TCanvasPen& source);

    void SetOnChange(ChangeHandler h) { on_change_ = std::move(h); }

  protected:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] { Changed(); });
    }
    void Changed() {
        if (on_change_) on_change_();
    }

  private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    ChangeHandler on_change_;
};

}  // namespace kelmarin
