// Scene 7: the physics world is emptied and the animated cube puzzle turns above the
// stretched wave floor; tile grid B climbs from the bottom with the spectrum and the wire
// sculpture stretches with the bass. Drawn through bloom.
#include "scenes/puzzle.h"

#include "content/scene_starts.h"
#include "scenes/band_displays.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/tunables.h"

namespace show {
namespace {

// ---- tunables ----
const irr::core::vector3df kFloorStretch(4.0f, 3.0f, 4.0f);
constexpr irr::s32 kPuzzleFirstFrame = 1;
constexpr irr::s32 kPuzzleLastFrame = 730; // one pass of the puzzle's long animation
constexpr double kBassStretch = 3.0;       // beat measure above which the wire sculpture stretches

// ---- entry ----
void enter(Show& show) {
    World& world = show.world;
    Overlay& overlay = show.overlay;
    setVisible(world.spectrumFountain, false);
    overlay.musicianText->setVisible(false);
    overlay.musicianItems->setVisible(false);
    setVisible(world.spout, false);
    setAllVisible(overlay.tilesA, false);
    // Without their orbit the sculptures stay where it left them.
    removeAnimators(world.innerSculpture);
    removeAnimators(world.wireSculpture);
    setVisible(world.innerSculpture, false);
    setVisible(world.wireSculpture, false);
    resetPhysics(show.physics);
    setVisible(world.waveFloor, true);
    setScale(world.waveFloor, kFloorStretch);
    overlay.fullScreen->setVisible(true);
    setVisible(world.wireSculpture, true);
    setAllVisible(overlay.tilesB, false);
    if (world.cubePuzzle)
        world.cubePuzzle->setFrameLoop(kPuzzleFirstFrame, kPuzzleLastFrame);
    setVisible(world.cubePuzzle, true);
    overlay.greyOverlay->setVisible(true);
}

// ---- frame ----
void update(Show& show) {
    // The world is not stepped here, but the timer is followed so the next scene's first
    // step measures from this scene's last frame.
    timerDelta(show);
    const double bass = beatLevel(show, 0);
    if (bass > kBassStretch)
        setScale(show.world.wireSculpture,
                 irr::core::vector3df(1.0f, static_cast<float>(bass), 1.0f));
    const irr::core::vector3df spin(
        0.0f, static_cast<float>(show.scene.previousTimerTime / kSpinMsPerDegree), 0.0f);
    spectrumTiles(show, show.overlay.tilesB);
    setRotation(show.world.innerSculpture, spin);
    setRotation(show.world.wireSculpture, spin);
}

void render(Show&, const FrameDraw& frame) {
    renderThroughBloom(frame);
}

} // namespace

// ---- rows ----
void describePuzzle(SceneRow* rows) {
    SceneRow& row = rows[scene::kPuzzle - 1];
    row.enter = enter;
    row.update = update;
    row.render = render;
}

} // namespace show
