#include "chart/chart.h"

namespace kelmarin {

TChart::TChart(QWidget* parent) : TCustomChart(parent) {
    // Construction is over: from now on every change repaints.
    SetAutoRepaint(true);
}

TChart::~TChart() {
    // Series still attached must not ask a half-destroyed chart for repaints.
    BeginDestroy();
    SetAutoRepaint(false);
}

}  // namespace kelmarin
