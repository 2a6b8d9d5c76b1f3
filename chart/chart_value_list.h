#pragma once
// One sequence of values of a series (its X or its Y values), with the order rule that places
// new values and lazily cached statistics. It stores the values unscaled and applies the
// multiplier on every read. It knows nothing of drawing.

#include <QString>
#include <vector>

#include "chart/chart_types.h"

namespace kelmarin {

class TChartSeries;

class TChartValueList {
  public:
    TChartValueList(TChartSeries* owner, const QString& name);
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;

    int ValueCount() const { return int(values_.size()); }
    // Stored value i times the multiplier; i must be a valid index.
    double ValueAt(int i) const;
    double LastValue() const { return ValueAt(ValueCount() - 1); }

    // Stores x where the order rule puts it and answers that index. Equal values go after
    // the ones already stored, so points with the same X keep the order they came in.
    int InsertOrdered(double x);
    void InsertAt(int i, double x);
    void RemoveAt(int i);
    void RemoveAll();

    double LowestValue() const;
    double HighestValue() const;
    double ValueSum() const;
    double AbsoluteSum() const;

    double Multiplier() const { return multiplier_; }
    void SetMultiplier(double m);
    bool DateTime() const { return date_time_; }
    void SetDateTime(bool on);
    TChartListOrder Order() const { return order_; }
    void SetOrder(TChartListOrder order) { order_ = order; }
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    const QString& ValueSource() const { return value_source_; }
    void SetValueSource(const QString& s) { value_source_ = s; }

    // The value the series hands over before an add, so that a vetoing handler can see it.
    double PendingValue() const { return pending_; }
    void SetPendingValue(double v) { pending_ = v; }

    TChartSeries* Owner() const { return owner_; }

  private:
    void RecomputeStatistics() const;
    void EnsureStatistics() const {
        if (stale_) RecomputeStatistics();
    }
    int AscendingSlot(double x) const;
    int DescendingSlot(double x) const;

    bool date_time_ = false;
    std::vector<double> values_;
    mutable double highest_ = 0;
    mutable double lowest_ = 0;
    double multiplier_ = 1;
    QString name_;
    TChartListOrder order_ = loNone;
    TChartSeries* owner_;
    double pending_ = 0;
    mutable double sum_ = 0;
    mutable double abs_sum_ = 0;
    QString value_source_;
    mutable bool stale_ = true;
};

}  // namespace kelmarin
