#pragma once
// Word profiles that look like a run's: four series of 100 bucket counts, the same every time,
// for the picture tool and the benchmark. Variant n shifts the shapes, so consecutive variants
// change the data (and the left axis range) as a run does.

#include <array>
#include <cmath>

#include "chart/line_series.h"

namespace kelmarin::tools {

inline constexpr std::array<TColor, 4> kRunColors = {clRed, clBlue, clBlack, clFuchsia};

inline int SampleCount(int word, int bucket, int variant) {
    const double phase = 0.07 * variant + 1.3 * word;
    const double wave = std::sin(bucket * 0.11 + phase) * (20 + 5 * word);
    const unsigned noise = (unsigned(bucket) * 2654435761u + unsigned(word * 97 + variant)) >> 29;
    return std::max(0, int(60 + 10 * word + variant % 7 + wave) + int(noise));
}

// Fills the series as the run controller does: ClearPoints, then 100 AddPoint calls.
inline void FillSampleProfiles(const std::array<TLineSeries*, 4>& series, int variant) {
    for (int w = 0; w < 4; ++w) {
        series[std::size_t(w)]->ClearPoints();
        for (int b = 1; b <= 100; ++b)
            series[std::size_t(w)]->AddPoint(b, SampleCount(w, b, variant), QString(),
                                             kRunColors[std::size_t(w)]);
    }
}

}  // namespace kelmarin::tools
