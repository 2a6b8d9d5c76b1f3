// The label side of an axis: label sizes, the step, the label values and their texts.
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "chart/canvas/chart_canvas_3d.h"
#include "chart/chart_axis.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"
#include "chart/label_format.h"

namespace kelmarin {

namespace {

using Real = long double;

constexpr double kMinStep = 1e-12;

long long RoundEven(Real x) { return std::llrintl(x); }

}  // namespace

QStringList TChartAxis::LabelLines(double v) const {
    const QString text = LabelText(v);
    if (!labels_multi_line_) return {text};
    return text.split(QLatin1Char(' '));
}

int TChartAxis::LabelWidth(double v) const {
    const TChartCanvas3D& canvas = owner_->Canvas();
    const QStringList lines = LabelLines(v);
    if (labels_angle_ == 90 || labels_angle_ == 270)
        return canvas.TextLineHeightIn(labels_font_) * int(lines.size());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, canvas.TextWidthIn(labels_font_, line));
    return widest;
}

int TChartAxis::LabelHeight(double v) const {
    if (labels_angle_ == 0 || labels_angle_ == 180)
        return owner_->Canvas().TextLineHeightIn(labels_font_) * int(LabelLines(v).size());
    return LabelWidth(v);
}

double TChartAxis::ComputeIncrement() {
    if (!owner_) return IncrementForLabelCount(1);
    const int size = horizontal_ ? std::max(LabelWidth(wmin_), LabelWidth(wmax_))
                                 : std::max(LabelHeight(wmin_), LabelHeight(wmax_));
    int max_labels = 1;
    if (size > 0) {
        int d = size;
        if (labels_separation_ > 0)
            d += int(RoundEven(Real(labels_separation_) * 0.01L * Real(size)));
        max_labels = int(RoundEven(Real(length_) / Real(d)));
    }
    return IncrementForLabelCount(max_labels);
}

double TChartAxis::IncrementForLabelCount(int max_labels) const {
    if (max_labels < 1) return kMinStep;
    double step = increment_ > 0 ? increment_ : std::fabs(range_) >= 1 ? 1.0 : kMinStep;
    if (labels_separation_ > 0) {
        long long count = (long long)max_labels + 1;
        // A range too wide for any finite step must not loop forever.
        while (count > max_labels && std::isfinite(step)) {
            const Real q = Real(range_) / Real(step);
            if (std::fabs(q) < 2147483647.0L) {
                count = RoundEven(q);
                if (count > max_labels) step = NextNiceStep(step);
            } else {
                step = NextNiceStep(step);
            }
        }
    }
    return std::max(step, kMinStep);
}

double TChartAxis::NextNiceStep(double x) {
    // Steps 1, 2, 5 times a power of ten. Zero, negative and infinite steps have no next
    // one; answering them unchanged keeps the decade scaling from recursing without end.
    if (!(x > 0) || !std::isfinite(x)) return x;
    if (x >= 10) return double(Real(NextNiceStep(double(Real(x) * 0.1L))) * 10.0L);
    if (x < 1) return double(Real(NextNiceStep(double(Real(x) * 10.0L))) * 0.1L);
    if (x < 2) return 2;
    if (x < 5) return 5;
    return 10;
}

std::vector<TAxisLabel> TChartAxis::GenerateLabels(double step) {
    std::vector<TAxisLabel> out;
    ticks_.clear();
    if (!(step > 0) || wmax_ < wmin_ || !(std::fabs(Real(range_) / Real(step)) < 10000.0L))
        return out;
    // The walk runs in extended precision and stops where a step no longer moves the value:
    // near large values a tiny step is below the resolution and would repeat one label forever.
    Real v = wmax_;
    const auto step_down = [&v, s = Real(step)] {
        const Real next = v - s;
        if (!(next < v)) return false;
        v = next;
        return true;
    };
    if (wmin_ != wmax_ && round_first_label_)
        v = std::truncl(Real(wmax_) / Real(step)) * Real(step);
    while (v > Real(wmax_))
        if (!step_down()) return out;
    // Repeated subtraction may leave the last label a hair below the minimum. That allowance
    // grows with the minimum; near large values it would pass many steps and draw labels
    // beyond the axis, so it is kept within a thousandth of a step.
    const Real lower =
        std::max((Real(wmin_) - 1e-12L) / 1.000000000001L, Real(wmin_) - Real(step) / 1000);
    while (v >= lower) {
        const int p = PixelOf(v);
        if (labels_on_axis_ || (p > start_ && p < end_)) {
            const bool record = labels_ || !tick_on_labels_only_;
            if (record && int(ticks_.size()) < kMaxTickPositions) ticks_.push_back(p);
            if (labels_) out.push_back({v, p, LabelText(double(v))});
        }
        // A range of no width has its one label; further steps would only repeat it in place.
        if (wmin_ == wmax_ || !step_down()) break;
    }
    return out;
}

QString TChartAxis::LabelText(double v) const {
    // Values change during a run; past this many texts the store starts afresh.
    constexpr qsizetype kMaxTexts = 256;
    if (label_texts_format_ != values_format_ || label_texts_.size() >= kMaxTexts) {
        label_texts_.clear();
        label_texts_format_ = values_format_;
    }
    const auto known = label_texts_.constFind(v);
    if (known != label_texts_.cend()) return *known;
    return *label_texts_.insert(v, FormatNumber(v, values_format_));
}

TAxisLabelStyle TChartAxis::EffectiveLabelStyle() const {
    if (label_style_ != talAuto) return label_style_;
    if (placement_ == TAxisPlacement::Depth || !owner_) return talNone;
    bool any = false;
    for (const TChartSeries* s : owner_->SeriesList()) {
        if (!s->Active() || !IsAttached(*s)) continue;
        any = true;
        // Text labels name the values of the other axis: X for a series whose Y is mandatory.
        if (horizontal_ == s->YMandatory() && !s->PointLabel(0).isEmpty()) return talText;
    }
    return any ? talValue : talNone;
}

int TChartAxis::WidestLabelWidth() {
    if (!owner_) return 0;
    const TChartCanvas3D& canvas = owner_->Canvas();
    switch (EffectiveLabelStyle()) {
        case talValue: {
            Real lo = wmin_, hi = wmax_;
            if (round_first_label_) {
                const Real step = ComputeIncrement();
                lo = std::truncl(Real(wmin_) / step) * step;
                hi = std::truncl(Real(wmax_) / step) * step;
            }
            return std::max(canvas.TextWidthIn(labels_font_, LabelText(double(hi))),
                            canvas.TextWidthIn(labels_font_, LabelText(double(lo)))) +
                   canvas.TextWidthIn(labels_font_, QStringLiteral(" "));
        }
        case talMark:
        case talText: {
            int widest = 0;
            for (const TChartSeries* s : owner_->SeriesList())
                if (s->Active() && IsAttached(*s))
                    for (int i = 0; i < s->PointCount(); ++i)
                        widest =
                            std::max(widest, canvas.TextWidthIn(labels_font_, s->PointLabel(i)));
            return widest;
        }
        default:
            return 0;
    }
}

}  // namespace kelmarin
