#pragma once
// The chart's refusals. Every invalid setting is refused with one of these and the old value
// stays; callers that only want the text catch std::exception and show what().

#include <stdexcept>
#include <string>

namespace kelmarin {

// Common base of the chart's own failures: a message meant for the user.
class TChartError : public std::runtime_error {
  public:
    explicit TChartError(const std::string& message) : std::runtime_error(message) {}
};

// An axis setting that cannot be accepted (increment, range, separation, scale).
class AxisException : public TChartError {
  public:
    using TChartError::TChartError;
};

// Any other chart setting that cannot be accepted (angles, percentages, paging).
class ChartException : public TChartError {
  public:
    using TChartError::TChartError;
};

}  // namespace kelmarin
