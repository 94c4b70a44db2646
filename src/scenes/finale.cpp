// Scene 20, the finale: bricks drop on every bass beat into a world seen through the glass
// effect, whose offset map is the turning roundabout; every 51st beat frame empties the world
// with a flash, and the last 100000 samples fade to black. The timeline ends the show after.
#include "scenes/finale.h"
#include "scenes/greetings.h"

#include "content/band_levels.h"
#include "content/scene_starts.h"
#include "scenes/band_displays.h"
#include "scenes/bricks.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/tunables.h"

namespace show {
namespace {

// ---- tunables ----
constexpr double kTurnPerFrame = 0.4; // degrees, never wrapped
// The closing fade begins this many samples before the end mark and never lifts by itself.
constexpr irr::u32 kFadeToBlackMs = 200;
const irr::video::SColor kFadeBlack(0, 0, 0, 0);

constexpr int kBricksPerBeat = 4;

constexpr irr::u32 kEntryFlashMs = 500;
constexpr irr::u32 kResetFlashMs = 300;

// ---- entry ----
void enterFinale(Show& show) {
    World& world = show.world;
    Overlay& overlay = show.overlay;
    hideEndCard(overlay);
    setVisible(world.innerSculpture, false);
    setVisible(world.wireSculpture, false);
    removeAnimators(world.innerSculpture);
    removeAnimators(world.wireSculpture);
    setAllVisible(overlay.steps, false);
    setAllVisible(overlay.tilesA, false);
    overlay.greyOverlay->setVisible(false);
    setVisible(world.snowField, true);
    setVisible(world.spout, true);
    setVisible(world.spectrumFountain, true);
    setVisible(world.roundabout, true);
    show.scene.finale.turnAngle = 0.0;
    overlay.fader->fadeIn(kEntryFlashMs);
    show.scene.finale.fadeStarted = false;
}

// ---- frame ----

void turnRoundabout(Show& show) {
    FinaleState& state = show.scene.finale;
    state.turnAngle += kTurnPerFrame;
    setRotation(show.world.roundabout, irr::core::vector3df(0.0f, irr::f32(state.turnAngle), 0.0f));
}

void fadeToBlackNearEnd(Show& show) {
    FinaleState& state = show.scene.finale;
    if (state.fadeStarted || show.position <= show.endMark - level::kFadeLeadSamples)
        return;
    state.fadeStarted = true;
    // A finished fade-out keeps drawing its full colour, so the screen stays black.
    show.overlay.fader->setColor(kFadeBlack);
    show.overlay.fader->fadeOut(kFadeToBlackMs);
}

// Four bricks per beat frame, however long the beat lasts, dropped from the beat's height.
void dropOnBeat(Show& show) {
    const double beat = beatLevel(show, 0);
    if (!(beat > kBrickBeatLevel))
        return;
    SceneState& state = show.scene;
    if (state.boxCounter > kMostBricks) {
        state.boxCounter = 0;
        show.overlay.fader->fadeIn(kResetFlashMs); // after the closing fade this lifts the black
        resetPhysics(show.physics);
    }
    state.boxCounter += kBricksPerBeat;
    for (int i = 0; i < kBricksPerBeat; ++i) {
        const int a = drawBrickOffset(show);
        const int b = drawBrickOffset(show);
        dropBrick(show, b, beat, a);
    }
}

void updateFinale(Show& show) {
    turnRoundabout(show);
    const uint32_t delta = timerDelta(show);
    fadeToBlackNearEnd(show);
    stepPhysics(show.physics, delta);
    dropOnBeat(show);
}

// Without the roundabout model the offset map stays empty and the picture shows undisplaced.
void renderFinale(Show& show, const FrameDraw& frame) {
    renderGlass(frame, show.world.spout, show.world.roundabout);
}

} // namespace

// ---- rows ----
void describeFinale(SceneRow* rows) {
    SceneRow& finale = rows[scene::kFinale - 1];
    finale.enter = enterFinale;
    finale.update = updateFinale;
    finale.render = renderFinale;
    finale.afterFrame = scaleSpectrumFountain;
}

} // namespace show
