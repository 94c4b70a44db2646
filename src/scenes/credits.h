// Scenes 5 and 6: the authors' credits over falling physics bricks.
#pragma once

#include "scenes/scene_row.h"

#include <cstdint>

namespace show {

struct CreditsState {
    // The credit text slides down a pixel per step until it has slid all the way.
    int32_t slideCount = 0;
    long slideClock = 0;
    // The inverted flash a bass hit can start (scene 5 only), and when it started.
    bool flash = false;
    long flashClock = 0;
};

void describeCredits(SceneRow* rows); // scenes 5 and 6

} // namespace show
