#pragma once
// The title of an axis: its text, its angle and its font. Drawing it is the chart's job.

#include <QString>
#include <functional>

#include "chart/canvas/canvas_font.h"

namespace kelmarin {

class TChartAxisTitle {
  public:
    using ChangeHandler = std::function<void()>;

    TChartAxisTitle(int angle, ChangeHandler on_change);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& c);
    int Angle() const { return angle_; }
    // Refuses angles outside 0 .. 359 with a ChartException; the old angle stays.
    void SetAngle(int degrees);
    TCanvasFont& Font() { return font_; }
    const TCanvasFont& Font() const { return font_; }
    void SetFont(const TCanvasFont& f) { font_ = f; }

  private:
    QString caption_;
    int angle_;
    TCanvasFont font_;
    ChangeHandler on_change_;
};

}  // namespace kelmarin
