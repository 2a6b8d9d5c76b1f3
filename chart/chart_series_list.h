#pragma once
// The series of one chart in the order in which they joined it, which is also their drawing
// order. It refers to the series; it does not own them.

#include <vector>

namespace kelmarin {

class TChartSeries;

class TChartSeriesList {
  public:
    int Count() const { return int(items_.size()); }
    TChartSeries* At(int i) const { return items_.at(std::size_t(i)); }
    bool Contains(const TChartSeries* s) const { return IndexOf(s) >= 0; }
    int IndexOf(const TChartSeries* s) const;
    int ActiveCount() const;

    void Append(TChartSeries* s) { items_.push_back(s); }
    void Remove(const TChartSeries* s);

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<TChartSeries*> items_;
};

}  // namespace kelmarin
