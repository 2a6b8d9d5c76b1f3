#include "ui/chart_vector.h"

#include <stdexcept>

namespace kelmarin {

void WriteChartVector(TChart&, const QString&) {
    throw std::runtime_error("SVG and PDF pictures are not available yet");
}

}  // namespace kelmarin
