#pragma once
// The state of one mouse drag on the chart (the zoom drag or the panning drag): whether it is
// running, where the button went down and where the moving corner is now. It only records;
// the chart decides what a drag draws and does.

namespace kelmarin {

struct TZoomPanningRecord {
    bool Dragging = false;
    int StartX = 0, StartY = 0;
    int CurrentX = 0, CurrentY = 0;

    // A drag begins at (x, y) with both corners on that pixel.
    void Activate(int x, int y) {
        StartX = CurrentX = x;
        StartY = CurrentY = y;
        Dragging = true;
    }
};

}  // namespace kelmarin
