// Scene 20: the glass-distorted finale.
#pragma once

#include "scenes/scene_row.h"

namespace show {

struct FinaleState {
    double turnAngle = 0.0;   // the roundabout's angle, a step per frame
    bool fadeStarted = false; // the closing fade to black has begun
};

void describeFinale(SceneRow* rows); // scene 20

} // namespace show
