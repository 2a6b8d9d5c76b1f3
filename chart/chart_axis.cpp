#include "chart/chart_axis.h"

#include <cmath>
#include <utility>

#include "chart/chart_exceptions.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"

namespace kelmarin {

namespace {

using Real = long double;  // the 80-bit extended format

// To the nearest integer, exact halves to the even neighbour.
long long RoundEven(Real x) { return std::llrintl(x); }

}  // namespace

TChartAxis::TChartAxis(TChartOwner* owner, TAxisPlacement placement)
    : owner_(owner),
      placement_(placement),
      horizontal_(placement == TAxisPlacement::Bottom || placement == TAxisPlacement::Top),
      other_side_(placement == TAxisPlacement::Top || placement == TAxisPlacement::Right),
      title_(placement == TAxisPlacement::Left    ? 90
             : placement == TAxisPlacement::Right ? 270
                                                  : 0,
             [this] { Repaint(); }) {
    const auto repaint = [this] { Repaint(); };
    labels_font_.SetOnChange(repaint);
    for (TChartPen* pen : std::initializer_list<TChartPen*>{
             &axis_pen_, &grid_, &minor_grid_, &ticks_pen_, &ticks_inner_, &minor_ticks_})
        pen->SetOnChange(repaint);
}

void TChartAxis::Repaint() const {
    if (owner_) owner_->Invalidate();
}

bool TChartAxis::IsAttached(const TChartSeries& s) const {
    if (horizontal_) return s.HorizAxis() == aBothHorizAxis || s.GetHorizAxis() == this;
    return s.VertAxis() == aBothVertAxis || s.GetVertAxis() == this;
}

bool TChartAxis::SeriesTakesPart(const TChartSeries& s, bool any_active) const {
    return s.PointCount() > 0 && (s.Active() || !any_active) && IsAttached(s);
}

void TChartAxis::ChartExtremes(double& lowest, double& highest) const {
    lowest = highest = 0;
    if (!owner_) return;
    bool any_active = false;
    for (const TChartSeries* s : owner_->SeriesList())
        if (s->Active() && IsAttached(*s)) any_active = true;
    bool first = true;
    for (const TChartSeries* s : owner_->SeriesList()) {
        if (!SeriesTakesPart(*s, any_active)) continue;
        const double lo = horizontal_ ? s->MinimumX() : s->MinimumY();
        const double hi = horizontal_ ? s->MaximumX() : s->MaximumY();
        if (first || lo < lowest) lowest = lo;
        if (first || hi > highest) highest = hi;
        first = false;
    }
}

void TChartAxis::ComputeRange() {
    double lowest = 0, highest = 0;
    ChartExtremes(lowest, highest);
    if (automatic_ || auto_max_) maximum_ = highest;
    if (automatic_ || auto_min_) minimum_ = lowest;
    wmax_ = maximum_;
    wmin_ = minimum_;
    range_ = double(Real(wmax_) - Real(wmin_));
}

void TChartAxis::ComputePositions(const TRect& chart_rect) {
    chart_rect_ = chart_rect;
    const int origin = horizontal_ ? chart_rect.left : chart_rect.top;
    const Real size = horizontal_ ? chart_rect.Width() : chart_rect.Height();
    start_ = origin + int(RoundEven(size * 0.01L * Real(start_position_)));
    end_ = origin + int(RoundEven(size * 0.01L * Real(end_position_)));
    length_ = end_ - start_;
    centre_ = (start_ + end_) / 2;  // C++ division truncates toward zero
}

int TChartAxis::ValueToPixel(double v) const { return PixelOf(v); }

int TChartAxis::PixelOf(long double v) const {
    if (range_ == 0) return centre_;
    const Real t = (v - Real(wmin_)) * Real(length_) / Real(range_);
    // Also catches a NaN: no pixel can be made of it.
    if (!(std::fabs(t) < 2147483647.0L)) return centre_;
    const int r = int(RoundEven(t));
    const bool from_end = horizontal_ ? inverted_ : !inverted_;
    return from_end ? end_ - r : start_ + r;
}

double TChartAxis::PixelToValue(int p) const {
    if (length_ < 1) return 0;
    const Real a = Real(inverted_ ? end_ - p : p - start_) * Real(range_) / Real(length_);
    return double(horizontal_ ? Real(wmin_) + a : Real(wmax_) - a);
}

void TChartAxis::WidenRangeForMargins(int low, int high) {
    const int s0 = start_, e0 = end_;
    start_ = s0 + low;
    end_ = e0 - high;
    length_ = end_ - start_;
    const double vs = PixelToValue(s0);
    const double ve = PixelToValue(e0);
    ComputePositions(chart_rect_);
    wmin_ = vs;
    wmax_ = ve;
    if (wmin_ > wmax_) std::swap(wmin_, wmax_);
    range_ = double(Real(wmax_) - Real(wmin_));
}

void TChartAxis::SetManualRange(double a, double b) {
    automatic_ = auto_min_ = auto_max_ = false;
    minimum_ = std::min(a, b);
    maximum_ = std::max(a, b);
    if (Real(maximum_) - Real(minimum_) < 1e-10L) maximum_ = double(Real(minimum_) + 1e-10L);
    Repaint();
}

void TChartAxis::SetAutomatic(bool on) {
    if (on == automatic_) return;
    automatic_ = on;
    if (!loading_) auto_min_ = auto_max_ = on;
    Repaint();
}

void TChartAxis::SetAutomaticMaximum(bool on) {
    if (on == auto_max_) return;
    auto_max_ = on;
    if (!on || auto_min_) automatic_ = on;
    Repaint();
}

void TChartAxis::SetAutomaticMinimum(bool on) {
    if (on == auto_min_) return;
    auto_min_ = on;
    if (!on || auto_max_) automatic_ = on;
    Repaint();
}

void TChartAxis::SetMaximum(double v) {
    if (!loading_ && v < minimum_) throw AxisException("Axis Maximum Value must be >= Minimum");
    Set(maximum_, v);
}

void TChartAxis::SetMinimum(double v) {
    if (!loading_ && v > maximum_) throw AxisException("Axis Minimum Value must be <= Maximum");
    Set(minimum_, v);
}

void TChartAxis::SetMinMax(double minimum, double maximum) {
    if (minimum > maximum_) {
        SetMaximum(maximum);
        SetMinimum(minimum);
    } else {
        SetMinimum(minimum);
        SetMaximum(maximum);
    }
}

void TChartAxis::SetIncrement(double v) {
    if (v < 0) throw AxisException("Axis increment must be >= 0");
    Set(increment_, v);
}

void TChartAxis::SetLabelsSeparation(int percent) {
    if (percent < 0) throw AxisException("Labels Separation % must be greater than 0");
    Set(labels_separation_, percent);
}

void TChartAxis::SetLabelsAngle(int degrees) {
    if (degrees < 0 || degrees > 359)
        throw ChartException("Axis Labels Angle must be between 0 and 359 degrees");
    Set(labels_angle_, degrees);
}

void TChartAxis::SetLogarithmic(bool on) {
    if (on && !logarithmic_) {
        if (IsDateTime()) throw AxisException("DateTime Axis cannot be Logarithmic");
        if (wmin_ < 0 || wmax_ < 0)
            throw AxisException("Logarithmic Axis Min and Max values should be >= 0");
    }
    Set(logarithmic_, on);
}

void TChartAxis::SetLogarithmicBase(int base) {
    if (base < 2) throw AxisException("Axis Logarithmic Base should be >= 2");
    Set(log_base_, base);
}

bool TChartAxis::IsDateTime() const {
    if (!owner_) return false;
    for (const TChartSeries* s : owner_->SeriesList())
        if (s->Active() && IsAttached(*s))
            return horizontal_ ? s->XValues().DateTime() : s->YValues().DateTime();
    return false;
}

}  // namespace kelmarin
