// Scene 4: the camera flies path B through the back room; ten stacked fountains pulse with
// the three lowest bands and take a new affector every 1.5 s, alternately a fade-out and a
// pull below the floor; a tight cube landscape ripples around them. Drawn through bloom.
#include "scenes/fountain_room.h"

#include "content/scene_starts.h"
#include "content/views.h"
#include "scenes/band_displays.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/tunables.h"

namespace show {
namespace {

// ---- tunables ----
constexpr irr::u32 kFadeInMs = 500;
constexpr irr::f32 kPathSpeed = 1.5f; // path points per second
constexpr double kAffectorPeriodSeconds = 1.5;
const irr::core::vector3df kAttractPoint(0.0f, -500.0f, 0.0f);
constexpr irr::f32 kAttractSpeed = 1.0f;
constexpr bool kAttract = true; // pull toward the point, on every axis
constexpr bool kAllAxes = true;
const irr::video::SColor kFadeTarget(0x00000000);
constexpr irr::u32 kFadeOutMs = 1000;
constexpr double kPulseScale = 0.5;                    // on top of the beat measure
constexpr LandscapeLayout kTightField{-200.0f, 40.0f}; // covers -200 .. 400 on x and z

// ---- entry ----
void enter(Show& show) {
    World& world = show.world;
    for (auto* node : world.twirlGrid)
        setVisible(node, false);
    show.overlay.title->setVisible(false);
    setVisible(world.snowField, false);
    setVisible(world.circleSculpture, false);
    setVisible(world.innerSculpture, false);
    setVisible(world.wireSculpture, false);
    setVisible(world.backRoom, true);
    cameraFollowPath(show, world.pathB, kPathSpeed);
    setVisible(world.attractorFountain, true);
    show.overlay.fader->fadeIn(kFadeInMs);
    for (int i = 0; i < kFountains; ++i) {
        setPosition(world.fountains[i], irr::core::vector3df(0.0f, kFountainSpacing * i, 0.0f));
        setVisible(world.fountains[i], true);
    }
    setAllVisible(show.overlay.tilesA, false);
    for (auto* node : world.twirlGrid)
        setVisible(node, true);
    setVisible(world.waveFloor, true);
    show.scene.fountainRoom.affectorClock = show.clock();
    show.scene.fountainRoom.attractNext = true;
    if (world.camera)
        world.camera->setFOV(kWideFov);
}

// ---- frame ----
// Affectors are only ever added, so every change keeps the earlier ones acting too.
void changeAffectors(Show& show) {
    FountainRoomState& state = show.scene.fountainRoom;
    if (secondsSince(show, state.affectorClock) < kAffectorPeriodSeconds)
        return;
    for (auto* fountain : show.world.fountains) {
        if (!fountain)
            continue;
        irr::scene::IParticleAffector* affector =
            state.attractNext
                ? static_cast<irr::scene::IParticleAffector*>(
                      fountain->createFadeOutParticleAffector(kFadeTarget, kFadeOutMs))
                : fountain->createAttractionAffector(kAttractPoint, kAttractSpeed, kAttract,
                                                     kAllAxes, kAllAxes, kAllAxes);
        fountain->addAffector(affector);
        affector->drop();
    }
    state.attractNext = !state.attractNext;
    state.affectorClock = show.clock();
}

void update(Show& show) {
    spectrumLandscape(show, kTightField);
    const irr::core::vector3df pulse(static_cast<float>(beatLevel(show, 0) * kPulseScale),
                                     static_cast<float>(beatLevel(show, 1) * kPulseScale),
                                     static_cast<float>(beatLevel(show, 2) * kPulseScale));
    for (auto* fountain : show.world.fountains)
        setScale(fountain, pulse);
}

void render(Show&, const FrameDraw& frame) {
    renderThroughBloom(frame);
}

} // namespace

// ---- rows ----
void describeFountainRoom(SceneRow* rows) {
    SceneRow& row = rows[scene::kFountainRoom - 1];
    row.enter = enter;
    row.beforeRead = changeAffectors;
    row.update = update;
    row.render = render;
}

} // namespace show
