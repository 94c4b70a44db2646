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
#include "scenes/credits.h"
#include "scenes/finale.h"
#include "scenes/fountain_room.h"
#include "scenes/greetings.h"
#include "scenes/opening.h"
#include "scenes/orbs.h"
#include "scenes/title.h"
#include "scenes/world.h"

#include <irrlicht.h>

#include <cstdint>
#include <memory>

namespace show {

constexpr int32_t kQuitRequested = 888;

// What the scenes keep between frames. Each scene's own state is defined in its unit; the
// last two fields are handed over from scene to scene.
struct SceneState {
    OpeningState opening;
    TitleState title; // the opening's second scene and the landscape
    FountainRoomState fountainRoom;
    CreditsState credits;
    OrbsState orbs;
    GreetingsState greetings;
    FinaleState finale;
    // Bricks dropped since the world was last emptied: credits, orbs and finale add to it,
    // and a beat past kMostBricks empties the world.
    int32_t boxCounter = 0;
    // The engine timer at its last reading (timerDelta): the physics step's time, and the
    // angle the sculptures and the circling object spin to (kSpinMsPerDegree).
    uint32_t previousTimerTime = 0;
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
