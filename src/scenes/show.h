// The show context: built once at start-up and passed by reference everywhere. It holds
// non-owning handles to engine objects (the engine owns them), the physics world, the music,
// the time seam and the state the scenes share across hand-overs. No globals.
#pragma once

#include "core/command_line.h"
#include "core/engine.h"
#include "core/music.h"
#include "core/overlay.h"
#include "core/receiver.h"
#include "core/rng.h"
#include "core/time_source.h"
#include "physics/physics.h"
#include "postprocess/effects.h"
#include "scenes/world.h"

#include <irrlicht.h>

#include <cstdint>
#include <memory>

namespace show {

constexpr int32_t kQuitRequested = 888;

// State the scenes keep between frames and hand over to each other.
struct SceneState {
    // opening and landscape: the title's drop and beat nudge
    bool titleNudged = false;
    long titleStepClock = 0;
    // fountain room: affector changes
    long affectorClock = 0;
    bool attractNext = true;
    // physics scenes: boxes dropped since the last reset; the clock at the orb scenes' entry
    // (they step physics only in their first second)
    int32_t boxCounter = 0;
    long physicsClock = 0;
    // The engine timer at its last reading (timerDelta): the physics step's time, and the
    // angle the sculptures and the circling object spin to (kSpinMsPerDegree).
    uint32_t previousTimerTime = 0;
    // credits and greetings: the sliding image
    int32_t slideCount = 0;
    long slideClock = 0;
    // greetings: the card on screen, as an index into the run's card table
    int greetingCard = 0;
    // credits: the inverted flash
    bool flash = false;
    long flashClock = 0;
    // finale
    double turnAngle = 0.0;
    bool fadeStarted = false;
};

struct Show {
    CommandLine commandLine;
    Engine engine;
    Overlay overlay;
    World world;
    Effects effects;
    Physics physics;
    Music music;
    std::unique_ptr<TimeSource> time;
    Random random;
    std::unique_ptr<MyEventReceiver> receiver;

    int32_t quitCode = 0;
    uint32_t position = 0; // play position read in the last frame
    uint32_t endMark = 0;
    SceneState scene;

    const std::array<float, kSpectrumBands>& spectrum() const { return music.spectrum; }
    long clock() { return time->clockMs(); }
};

// Milliseconds of the engine timer since the previous reading; the second reading becomes
// the previous one. Returns the delta; the new previous time is in show.scene.
uint32_t timerDelta(Show& show);
// Seconds since a clock value noted earlier, as the scenes' clock steps measure them.
inline double secondsSince(Show& show, long since) {
    return (show.clock() - since) / 1000.0;
}

} // namespace show
