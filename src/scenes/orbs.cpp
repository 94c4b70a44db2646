// Scenes 8 and 9: the 128 light orbs blink with the spectrum around a rain of bricks that
// falls for one second and then hangs frozen; scene 8 sweeps the music's pan, scene 9 flashes
// white on strong bass. Both draw through the bloom node.
#include "scenes/orbs.h"

#include "content/band_levels.h"
#include "content/scene_starts.h"
#include "scenes/band_displays.h"
#include "scenes/bricks.h"
#include "scenes/nodes.h"
#include "scenes/show.h"

namespace show {
namespace {

// ---- tunables ----

// The brick drop on entry: a 100 x 100 x 100 cube of drop points shifted 5 units off the axes.
constexpr int kBrickDropCount = 128;
// The world only moves this long after the entry, then the bricks hang where they are.
constexpr double kPhysicsSeconds = 1.0;

// Scene 8: any sound in band k lights orb k mod 127 (so band 127 lights orb 0).
constexpr double kOrbsLitAbove = 0.0;
constexpr int kOrbsWrap = 127;
// Scene 9: only the first 40 orbs blink, at a louder level; the rest stay lit.
constexpr double kSnowLitAbove = 3.0;
constexpr int kSnowWrap = 40;

constexpr irr::u32 kEntryFlashMs = 500;
constexpr irr::u32 kBassFlashMs = 200;
constexpr irr::f32 kCameraSpeed = 1.0f;
const irr::core::vector3df kBlueBallScale(3.0f, 3.0f, 3.0f);
const irr::core::vector3df kBlueBallPosition(0.0f, -300.0f, 0.0f);
const irr::core::vector3df kSnowFieldScale(3.0f, 3.0f, 3.0f);
// Scene 8's pan sweep: this many pan units per step, a step at most this often.
constexpr int kPanStep = 2;
constexpr double kPanStepSeconds = 0.0003265;

// ---- entry ----
void setOrb(World& world, int i, bool on) {
    setVisible(world.orbLights[i], on);
    setVisible(world.orbs[i], on);
}

void setAllOrbs(World& world, bool on) {
    for (int i = 0; i < kLightOrbs; ++i)
        setOrb(world, i, on);
}

// Empties the world and drops a fresh heap of bricks at once.
void brickDrop(Show& show) {
    resetPhysics(show.physics);
    for (int i = 0; i < kBrickDropCount; ++i) {
        // The draw order is part of the look: the same sequence must land the same bricks.
        const int r1 = drawBrickOffset(show);
        const int r2 = drawBrickOffset(show);
        const int r3 = drawBrickOffset(show);
        dropBrick(show, r3, r2, r1);
    }
    show.scene.boxCounter += kBrickDropCount;
}

void enterOrbs(Show& show) {
    World& world = show.world;
    Overlay& overlay = show.overlay;
    setVisible(world.spout, false);
    overlay.greyOverlay->setVisible(false);
    setVisible(world.waveFloor, false);
    setVisible(world.blueBall, false);
    setVisible(world.wireSculpture, false);
    setAllVisible(overlay.tilesB, false);
    setVisible(world.cubePuzzle, false);
    setVisible(world.boxHall, false);
    overlay.fullScreen->setVisible(false);

    cameraFollowPath(show, world.pathC, kCameraSpeed);
    setAllOrbs(world, true);
    setVisible(world.blueBall, true);
    setScale(world.blueBall, kBlueBallScale);
    setPosition(world.blueBall, kBlueBallPosition);

    const long now = show.clock();
    show.scene.orbs.physicsClock = now;
    setVisible(world.spectrumFountain, true);
    setVisible(world.spout, true);
    overlay.fader->fadeIn(kEntryFlashMs);
    panSweepStart(show.scene.orbs.panSweep, show.music.track, now);
    brickDrop(show);
}

void enterSnow(Show& show) {
    World& world = show.world;
    setAllOrbs(world, false);
    panSweepEnd(show.music.track);
    setVisible(world.spout, false);
    setVisible(world.spectrumFountain, false);
    setVisible(world.blueBall, false);
    cameraFollowPath(show, world.pathA, kCameraSpeed);
    setAllOrbs(world, true);
    setVisible(world.snowField, true);
    setScale(world.snowField, kSnowFieldScale);
    show.scene.orbs.physicsClock = show.clock();
    brickDrop(show);
    setVisible(world.spectrumFountain, true);
    setVisible(world.spout, true);
    show.overlay.fader->fadeIn(kEntryFlashMs);
}

// ---- frame ----

// The timer is read every frame, so the first step after the entry measures from the
// previous scene's last frame; past the first second only the reading remains.
void stepFirstSecond(Show& show) {
    const uint32_t delta = timerDelta(show);
    if (secondsSince(show, show.scene.orbs.physicsClock) < kPhysicsSeconds)
        stepPhysics(show.physics, delta);
}

void blinkOrbs(Show& show) {
    for (int k = 0; k < kLightOrbs; ++k) {
        if (beatLevel(show, k) > kOrbsLitAbove)
            setOrb(show.world, k % kOrbsWrap, true);
        else
            setOrb(show.world, k, false);
    }
}

// Bands k and k + 40 share an orb; the last band of each orb decides it.
void blinkFirstOrbs(Show& show) {
    for (int k = 0; k < kLightOrbs; ++k)
        setOrb(show.world, k % kSnowWrap, beatLevel(show, k) > kSnowLitAbove);
}

void updateOrbs(Show& show) {
    blinkOrbs(show);
    panSweepStep(show.scene.orbs.panSweep, show.music.track, show.clock());
}

void updateSnow(Show& show) {
    stepFirstSecond(show);
    blinkFirstOrbs(show);
    if (beatLevel(show, 0) > level::kBassFlashAbove)
        show.overlay.fader->fadeIn(kBassFlashMs);
}

void renderBloom(Show&, const FrameDraw& frame) {
    renderThroughBloom(frame);
}

} // namespace

void panSweepStart(PanSweep& sweep, AudioTrack& track, long clockMs) {
    sweep.pan = track.pan();
    sweep.up = false;
    sweep.lastStepClock = clockMs;
}

void panSweepStep(PanSweep& sweep, AudioTrack& track, long clockMs) {
    // The bound test comes before the step, so an odd descent reaches -1 once and is folded
    // back on the next frame.
    if (sweep.pan >= kPanMax) {
        sweep.up = false;
        sweep.pan = kPanMax - 1;
    } else if (sweep.pan <= 0) {
        sweep.up = true;
        sweep.pan = 1;
    }
    if ((clockMs - sweep.lastStepClock) / 1000.0 >= kPanStepSeconds) {
        sweep.pan += sweep.up ? kPanStep : -kPanStep;
        track.setPan(sweep.pan);
        sweep.lastStepClock = clockMs;
    }
}

void panSweepEnd(AudioTrack& track) {
    track.setPan(kPanPlainStereo);
}

// ---- rows ----
void describeOrbs(SceneRow* rows) {
    SceneRow& orbs = rows[scene::kOrbs - 1];
    orbs.enter = enterOrbs;
    orbs.beforeRead = stepFirstSecond; // this scene steps the world before the read
    orbs.update = updateOrbs;
    orbs.render = renderBloom;
    orbs.afterFrame = scaleSpectrumFountain;

    SceneRow& snow = rows[scene::kSnow - 1];
    snow.enter = enterSnow;
    snow.update = updateSnow;
    snow.render = renderBloom;
    snow.afterFrame = scaleSpectrumFountain;
}

} // namespace show
