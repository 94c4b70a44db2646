// Scenes 5 and 6: the two authors' credits slide in over the circling sculptures while loud
// bass frames drop bricks into the physics world; tile grid A shows the spectrum. The twins
// share one frame and differ by a row of data: whose images slide, whether a bass hit can
// flash the picture inverted (scene 5 only), and how many bricks a hit drops.
#include "scenes/credits.h"

#include "content/scene_starts.h"
#include "content/views.h"
#include "scenes/band_displays.h"
#include "scenes/bricks.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/tunables.h"

namespace show {
namespace {

// ---- tunables ----
constexpr irr::u32 kEntryFadeMs = 500;
constexpr irr::u32 kHitFadeMs = 300;
constexpr irr::f32 kPathSpeed = 1.0f;
// The lights the scenes add and never remove: one for each credits scene.
const irr::core::vector3df kLightPosition(2.0f, 5.0f, -2.0f);
const irr::video::SColorf kLightColour(4.0f, 4.0f, 4.0f, 1.0f);
constexpr irr::f32 kLightRadius = 700.0f;
// The sculptures' orbit.
const irr::core::vector3df kOrbitCentre(0.0f, 0.0f, 0.0f);
constexpr irr::f32 kOrbitRadius = 100.0f;
constexpr irr::f32 kOrbitSpeed = 0.001f;
const irr::core::vector3df kOrbitAxis(0.0f, 1.0f, 0.0f);
// The credit text slides in from this far above its start-up place, a pixel per step.
constexpr int kSlideDistance = 500;
constexpr double kFlashSeconds = 0.5;
constexpr int32_t kFlashAfter = 180; // boxes dropped before a hit may flash

struct CreditScene {
    irr::gui::IGUIImage* Overlay::*text;
    irr::gui::IGUIImage* Overlay::*items;
    bool flashes; // a bass hit after enough boxes shows the picture inverted
    int bricksPerHit;
};

constexpr CreditScene kCoder{&Overlay::coderText, &Overlay::coderItems, true, 3};
constexpr CreditScene kMusician{&Overlay::musicianText, &Overlay::musicianItems, false, 4};

// ---- entry ----
void orbitSculptures(Show& show) {
    World& world = show.world;
    irr::scene::ISceneNodeAnimator* orbit = show.engine.smgr->createFlyCircleAnimator(
        kOrbitCentre, kOrbitRadius, kOrbitSpeed, kOrbitAxis);
    addAnimator(world.innerSculpture, orbit);
    addAnimator(world.wireSculpture, orbit);
    orbit->drop();
}

void addCreditsLight(Show& show) {
    show.engine.smgr->addLightSceneNode(nullptr, kLightPosition, kLightColour, kLightRadius);
}

void startSlide(Show& show, const CreditScene& credit) {
    setAllVisible(show.overlay.tilesA, false);
    show.scene.boxCounter = 0;
    show.scene.credits.slideClock = show.clock();
    irr::gui::IGUIImage* text = show.overlay.*credit.text;
    text->move(irr::core::position2di(0, -kSlideDistance));
    text->setVisible(true);
    (show.overlay.*credit.items)->setVisible(true);
    show.scene.credits.slideCount = 0;
}

void enterCoder(Show& show) {
    World& world = show.world;
    setVisible(world.boxHall, false);
    setVisible(world.backRoom, false);
    setVisible(world.attractorFountain, false);
    setVisible(world.circleSculpture, false);
    for (auto* node : world.twirlGrid)
        setVisible(node, false);
    setVisible(world.waveFloor, false);
    for (int i = 0; i < kFountains; ++i) {
        setPosition(world.fountains[i], irr::core::vector3df(0.0f, kFountainSpacing * i, 0.0f));
        setVisible(world.fountains[i], false);
    }
    cameraFollowPath(show, world.pathA, kPathSpeed);
    if (world.camera)
        world.camera->setFOV(kSceneFov);
    show.overlay.fader->fadeIn(kEntryFadeMs);
    show.scene.previousTimerTime = show.engine.timer->getTime();
    addCreditsLight(show);
    orbitSculptures(show);
    setVisible(world.wireSculpture, true);
    setVisible(world.innerSculpture, true);
    setVisible(world.spout, true);
    startSlide(show, kCoder);
    show.scene.credits.flashClock = show.clock();
    setVisible(world.spectrumFountain, true);
    show.scene.credits.flash = false;
}

void enterMusician(Show& show) {
    World& world = show.world;
    Overlay& overlay = show.overlay;
    setAllVisible(overlay.tilesA, false);
    setVisible(world.spectrumFountain, false);
    overlay.coderText->setVisible(false);
    overlay.coderItems->setVisible(false);
    setVisible(world.spout, false);
    removeAnimators(world.innerSculpture);
    removeAnimators(world.wireSculpture);
    orbitSculptures(show);
    overlay.fader->fadeIn(kEntryFadeMs);
    show.scene.previousTimerTime = show.engine.timer->getTime();
    addCreditsLight(show);
    setVisible(world.spectrumFountain, true);
    setVisible(world.spout, true);
    startSlide(show, kMusician);
}

// ---- frame ----
void slideCredit(Show& show, const CreditScene& credit) {
    CreditsState& state = show.scene.credits;
    if (state.slideCount >= kSlideDistance ||
        secondsSince(show, state.slideClock) < kPixelStepSeconds)
        return;
    state.slideClock = show.clock();
    ++state.slideCount;
    (show.overlay.*credit.text)->move(irr::core::position2di(0, 1));
}

void spinSculptures(Show& show) {
    const irr::core::vector3df spin(
        0.0f, static_cast<float>(show.scene.previousTimerTime / kSpinMsPerDegree), 0.0f);
    setRotation(show.world.innerSculpture, spin);
    setRotation(show.world.wireSculpture, spin);
}

void update(Show& show, const CreditScene& credit) {
    slideCredit(show, credit);
    stepPhysics(show.physics, timerDelta(show));
    spinSculptures(show);
}

void render(Show& show, const FrameDraw& frame, const CreditScene& credit) {
    CreditsState& state = show.scene.credits;
    if (credit.flashes && state.flash) {
        // The frame that ends the flash is still drawn inverted.
        if (secondsSince(show, state.flashClock) >= kFlashSeconds) {
            show.overlay.fader->fadeIn(kHitFadeMs);
            state.flash = false;
        }
        renderThroughInvert(frame);
        return;
    }
    renderThroughBloom(frame);
}

// Bricks are drawn from the show's generator in a fixed order, so every run drops the same.
void dropBricks(Show& show, int count) {
    for (int n = 0; n < count; ++n) {
        const int depth = drawBrickOffset(show);
        const double height = beatLevel(show, 0);
        const int across = drawBrickOffset(show);
        dropBrick(show, across, height, depth);
    }
}

void bassHit(Show& show, const CreditScene& credit) {
    CreditsState& state = show.scene.credits;
    int32_t& boxCounter = show.scene.boxCounter;
    if (credit.flashes && !state.flash && boxCounter > kFlashAfter) {
        state.flash = true;
        state.flashClock = show.clock();
        show.overlay.fader->fadeIn(kHitFadeMs);
    }
    // A reset still lets this frame's bricks fall, into the fresh world.
    if (boxCounter > kMostBricks) {
        show.overlay.fader->fadeIn(kHitFadeMs);
        boxCounter = 0;
        resetPhysics(show.physics);
    }
    boxCounter += credit.bricksPerHit;
    dropBricks(show, credit.bricksPerHit);
}

void afterFrame(Show& show, const CreditScene& credit) {
    spectrumTiles(show, show.overlay.tilesA);
    if (beatLevel(show, 0) > kBrickBeatLevel)
        bassHit(show, credit);
    scaleSpectrumFountain(show);
}

// ---- rows ----
template <const CreditScene& credit> void updateOf(Show& show) {
    update(show, credit);
}
template <const CreditScene& credit> void renderOf(Show& show, const FrameDraw& frame) {
    render(show, frame, credit);
}
template <const CreditScene& credit> void afterFrameOf(Show& show) {
    afterFrame(show, credit);
}

template <const CreditScene& credit> void describeRow(SceneRow& row, SceneStep enter) {
    row.enter = enter;
    row.update = updateOf<credit>;
    row.render = renderOf<credit>;
    row.afterFrame = afterFrameOf<credit>;
}

} // namespace

void describeCredits(SceneRow* rows) {
    describeRow<kCoder>(rows[scene::kCoderCredits - 1], enterCoder);
    describeRow<kMusician>(rows[scene::kMusicianCredits - 1], enterMusician);
}

} // namespace show
