#include "run/refresh_pacer.h"

namespace kelmarin {

bool RefreshPacer::Due(bool atOnce, Clock::duration frame) {
    const Clock::time_point now = clock_();
    if (!atOnce && lastDrawn_ && now - *lastDrawn_ < frame) return false;
    lastDrawn_ = now;
    return true;
}

}  // namespace kelmarin
