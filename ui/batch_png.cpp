#include <stdexcept>

#include "ui/batch_csv.h"

namespace kelmarin {

void WriteChartPicture(const ConsoleView&, const BatchOptions&) {
    throw std::runtime_error("Writing the chart as a picture is not available yet");
}

}  // namespace kelmarin
