// Scenes 8 and 9: the light orbs around a rain of bricks.
#pragma once

#include "core/audio.h"
#include "scenes/scene_row.h"

namespace show {

// Scene 8 sweeps the music's pan back and forth across the full range.
struct PanSweep {
    int pan = kPanPlainStereo;
    bool up = false;
    long lastStepClock = 0;
};

struct OrbsState {
    long physicsClock = 0; // the clock at the entry: the world moves only in the first second
    PanSweep panSweep;
};

void describeOrbs(SceneRow* rows); // scenes 8 and 9

void panSweepStart(PanSweep& sweep, AudioTrack& track, long clockMs);
void panSweepStep(PanSweep& sweep, AudioTrack& track, long clockMs);
void panSweepEnd(AudioTrack& track);

} // namespace show
