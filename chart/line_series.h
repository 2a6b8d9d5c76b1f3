#pragma once
// The series kind of the word profiles: points joined by lines, markers off until switched on,
// the drawn range cut to the horizontal axis with the first point beyond its far edge kept so
// that the line runs out of the plot area instead of stopping short.

#include "chart/custom_series.h"

namespace kelmarin {

class TLineSeries : public TCustomSeries {
  public:
    TLineSeries();
};

}  // namespace kelmarin
