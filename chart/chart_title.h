#pragma once
// A title block of the chart (the title on top, the foot at the bottom): its lines, alignment,
// font, frame and brush. The chart draws it and gives it room; this class only holds settings.

#include <QStringList>
#include <functional>

#include "chart/canvas/canvas_font.h"
#include "chart/chart_brush.h"
#include "chart/chart_hidden_pen.h"
#include "platform/assign_if_changed.h"
#include "platform/color.h"

namespace kelmarin {

enum TTitleAlignment { taLeftJustify, taRightJustify, taCenter };

class TChartTitle {
  public:
    using ChangeHandler = std::function<void()>;

    explicit TChartTitle(ChangeHandler on_change);
    TChartTitle(const TChartTitle&) = delete;
    TChartTitle& operator=(const TChartTitle&) = delete;

    bool Visible() const { return visible_; }
    void SetVisible(bool on) { Set(visible_, on); }
    const QStringList& Text() const { return text_; }
    void SetText(const QStringList& lines) { Set(text_, lines); }
    TTitleAlignment Alignment() const { return alignment_; }
    void SetAlignment(TTitleAlignment a) { Set(alignment_, a); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { Set(color_, c); }
    bool AdjustFrame() const { return adjust_frame_; }
    void SetAdjustFrame(bool on) { Set(adjust_frame_, on); }
    TCanvasFont& Font() { return font_; }
    const TCanvasFont& Font() const { return font_; }
    TChartHiddenPen& Frame() { return frame_; }
    const TChartHiddenPen& Frame() const { return frame_; }
    TChartBrush& Brush() { return brush_; }
    const TChartBrush& Brush() const { return brush_; }

  private:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] {
            if (on_change_) on_change_();
        });
    }

    bool visible_ = true;
    QStringList text_;
    TTitleAlignment alignment_ = taCenter;
    TColor color_ = clDefault;
    bool adjust_frame_ = true;
    TCanvasFont font_{QStringLiteral("Arial"), 8, clBlue};
    TChartHiddenPen frame_;
    TChartBrush brush_;
    ChangeHandler on_change_;
};

}  // namespace kelmarin
