#include "chart/chart_axis_title.h"

#include "chart/chart_exceptions.h"

namespace kelmarin {

TChartAxisTitle::TChartAxisTitle(int angle, ChangeHandler on_change)
    : angle_(angle), on_change_(std::move(on_change)) {
    font_.SetOnChange(on_change_);
}

void TChartAxisTitle::SetCaption(const QString& c) {
    if (c == caption_) return;
    caption_ = c;
    if (on_change_) on_change_();
}

void TChartAxisTitle::SetAngle(int degrees) {
    if (degrees < 0 || degrees > 359)
        throw ChartException("Axis Title Angle must be between 0 and 359 degrees");
    if (degrees == angle_) return;
    angle_ = degrees;
    if (on_change_) on_change_();
}

}  // namespace kelmarin
