#pragma once
// The one description of the main window's chart `grafico` and its four word series: every
// setting that differs from the defaults. The main window, the tests, the benchmark and the
// picture tool all configure their chart through it. Position and size belong to the window.

#include <array>

namespace kelmarin {

class TChart;
class TLineSeries;

// Series1 .. Series4 in this order; they join the chart in this order.
using TGraficoSeries = std::array<TLineSeries*, 4>;

void ConfigureGrafico(TChart& chart, const TGraficoSeries& series);

}  // namespace kelmarin
