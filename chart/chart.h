#pragma once
// The chart widget the windows place: every setting of the levels below, and nothing more.

#include "chart/custom_chart.h"

namespace kelmarin {

class TChart : public TCustomChart {
  public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;
};

}  // namespace kelmarin
