#include "scenes/show.h"

namespace show {

uint32_t timerDelta(Show& show) {
    irr::ITimer* timer = show.engine.timer;
    const uint32_t delta = timer->getTime() - show.scene.previousTimerTime;
    show.scene.previousTimerTime = timer->getTime();
    return delta;
}

} // namespace show
