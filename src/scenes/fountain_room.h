// Scene 4: the bloom-lit fountain room.
#pragma once

#include "scenes/scene_row.h"

namespace show {

// The fountains' affectors change on a clock, alternating between two kinds.
struct FountainRoomState {
    long affectorClock = 0;  // the clock at the last change
    bool attractNext = true; // the next change adds fade-outs (true) or attraction (false)
};

void describeFountainRoom(SceneRow* rows); // scene 4

} // namespace show
