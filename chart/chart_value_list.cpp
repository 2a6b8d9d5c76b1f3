#include "chart/chart_value_list.h"

#include <cmath>

#include "chart/chart_series.h"

namespace kelmarin {

TChartValueList::TChartValueList(TChartSeries* owner, const QString& name)
    : name_(name), owner_(owner) {}

double TChartValueList::ValueAt(int i) const {
    // The product is formed in extended precision and rounded once into the double result.
    return double(static_cast<long double>(values_.at(std::size_t(i))) * multiplier_);
}

int TChartValueList::AscendingSlot(double x) const {
    int k = ValueCount() - 1;
    while (k >= 0 && values_[std::size_t(k)] > x) --k;
    return k + 1;
}

int TChartValueList::DescendingSlot(double x) const {
    int k = ValueCount() - 1;
    while (k >= 0 && values_[std::size_t(k)] < x) --k;
    return k + 1;
}

int TChartValueList::InsertOrdered(double x) {
    const int n = ValueCount();
    int slot = n;
    // The append test first: values that arrive in order cost one comparison each.
    if (order_ == loAscending && n > 0 && values_.back() > x)
        slot = AscendingSlot(x);
    else if (order_ == loDescending && n > 0 && values_.back() < x)
        slot = DescendingSlot(x);
    values_.insert(values_.begin() + slot, x);
    stale_ = true;
    return slot;
}

void TChartValueList::InsertAt(int i, double x) {
    values_.insert(values_.begin() + i, x);
    stale_ = true;
}

void TChartValueList::RemoveAt(int i) {
    values_.erase(values_.begin() + i);
    stale_ = true;
}

void TChartValueList::RemoveAll() {
    std::vector<double>().swap(values_);
    stale_ = true;
}

void TChartValueList::RecomputeStatistics() const {
    lowest_ = highest_ = sum_ = abs_sum_ = 0;
    if (!values_.empty()) {
        const double first = ValueAt(0);
        lowest_ = highest_ = sum_ = first;
        abs_sum_ = std::fabs(first);
        for (int k = 1; k < ValueCount(); ++k) {
            const double v = ValueAt(k);
            if (v < lowest_)
                lowest_ = v;
            else if (v > highest_)
                highest_ = v;
            sum_ = double(static_cast<long double>(sum_) + v);
            abs_sum_ = double(static_cast<long double>(abs_sum_) + std::fabs(v));
        }
    }
    stale_ = false;
}

double TChartValueList::LowestValue() const {
    EnsureStatistics();
    return lowest_;
}

double TChartValueList::HighestValue() const {
    EnsureStatistics();
    return highest_;
}

double TChartValueList::ValueSum() const {
    EnsureStatistics();
    return sum_;
}

double TChartValueList::AbsoluteSum() const {
    EnsureStatistics();
    return abs_sum_;
}

void TChartValueList::SetMultiplier(double m) {
    if (m == multiplier_) return;
    multiplier_ = m;
    stale_ = true;
    if (owner_) owner_->RequestRepaint();
}

void TChartValueList::SetDateTime(bool on) {
    if (on == date_time_) return;
    date_time_ = on;
    if (owner_) owner_->RequestRepaint();
}

}  // namespace kelmarin
