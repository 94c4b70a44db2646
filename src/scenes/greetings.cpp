// Scenes 10 to 19: one greeting card per cut over the circling sculpture pair, with the
// spectrum as lit tiles across the top. All ten scenes are one frame and one hand-over; they
// differ only by the card table below.
#include "scenes/greetings.h"

#include "content/scene_starts.h"
#include "scenes/band_displays.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/tunables.h"

#include <array>

namespace show {
namespace {

// ---- tunables ----
struct GreetingCard {
    int scene;    // row of the scene table, which gives the interval
    int greeting; // index into the greeting images
    int step;     // index into the step images
};
// Greeting image 0 and the last step image are made at start-up but never shown.
constexpr std::array<GreetingCard, 10> kGreetingCards = {{
    {10, 1, 0},
    {11, 2, 1},
    {12, 3, 2},
    {13, 4, 3},
    {14, 5, 4},
    {15, 6, 5},
    {16, 7, 6},
    {17, 8, 7},
    {18, 9, 8},
    {19, 10, 9},
}};
constexpr int kLastCard = int(kGreetingCards.size()) - 1;
static_assert(kGreetingCards.front().scene == scene::kFirstGreeting &&
                  kGreetingCards.back().scene == scene::kEndCard,
              "one card for every greeting scene");

// The sculpture pair shares one circle high above the floor.
const irr::core::vector3df kCircleCentre(0.0f, 400.0f, 0.0f);
constexpr irr::f32 kCircleRadius = 100.0f;
constexpr irr::f32 kCircleSpeed = 0.001f;
const irr::core::vector3df kCircleAxis(0.0f, 1.0f, 0.0f);
const irr::core::vector3df kWireScale(9.0f, 9.0f, 9.0f);
const irr::core::vector3df kInnerScale(7.0f, 7.0f, 7.0f);
// The card drifts down a pixel per frame, at most once per clock tick, and stops after 800.
constexpr int32_t kSlideSteps = 800;
constexpr double kSlideSeconds = 0.0005;
const irr::core::position2d<irr::s32> kSlideStep(0, 1);

constexpr irr::u32 kEntryFlashMs = 500;
constexpr irr::u32 kCutFlashMs = 200;

// ---- entry ----
void showCard(Overlay& overlay, const GreetingCard& card, bool on) {
    overlay.greetings[card.greeting]->setVisible(on);
    overlay.steps[card.step]->setVisible(on);
}

// Leaves scene 9 behind and sets up the run.
void enterGreetings(Show& show) {
    World& world = show.world;
    Overlay& overlay = show.overlay;
    for (int i = 0; i < kLightOrbs; ++i) {
        setVisible(world.orbLights[i], false);
        setVisible(world.orbs[i], false);
    }
    setVisible(world.spout, false);
    setVisible(world.spectrumFountain, false);
    setScale(world.snowField, irr::core::vector3df(1.0f, 1.0f, 1.0f));
    setVisible(world.snowField, false);

    // One animator shared by both nodes keeps them at the same point of the circle.
    irr::scene::ISceneNodeAnimator* circle = show.engine.smgr->createFlyCircleAnimator(
        kCircleCentre, kCircleRadius, kCircleSpeed, kCircleAxis);
    addAnimator(world.innerSculpture, circle);
    addAnimator(world.wireSculpture, circle);
    if (circle)
        circle->drop();

    GreetingsState& state = show.scene.greetings;
    state.slideClock = show.clock();
    setAllVisible(overlay.steps, false);
    setAllVisible(overlay.tilesA, false);
    setVisible(world.wireSculpture, true);
    setScale(world.wireSculpture, kWireScale);
    setVisible(world.innerSculpture, true);
    setScale(world.innerSculpture, kInnerScale);
    overlay.fader->fadeIn(kEntryFlashMs);
    overlay.greyOverlay->setVisible(true);
    state.card = 0;
    showCard(overlay, kGreetingCards[0], true);
    state.slideCount = 0;
}

// The cut from one card to the next. Runs even when the previous scene drew no frame, so the
// card on screen always matches the scene.
void nextCard(Show& show) {
    GreetingsState& state = show.scene.greetings;
    if (state.card >= kLastCard)
        return; // only the table's own rows call this; there is no card after the end card
    showCard(show.overlay, kGreetingCards[state.card], false);
    ++state.card;
    showCard(show.overlay, kGreetingCards[state.card], true);
    state.slideCount = 0;
    show.overlay.fader->fadeIn(kCutFlashMs);
}

// ---- frame ----
// Runs before the read, so the spin uses the timer time of the previous frame.
void spinSculptures(Show& show) {
    const irr::core::vector3df spin(0.0f, irr::f32(show.scene.previousTimerTime / kSpinMsPerDegree),
                                    0.0f);
    setRotation(show.world.innerSculpture, spin);
    setRotation(show.world.wireSculpture, spin);
}

void slideCard(Show& show) {
    GreetingsState& state = show.scene.greetings;
    if (state.slideCount >= kSlideSteps)
        return;
    if (secondsSince(show, state.slideClock) >= kSlideSeconds) {
        state.slideClock = show.clock();
        ++state.slideCount;
        show.overlay.greetings[kGreetingCards[state.card].greeting]->move(kSlideStep);
    }
}

void updateGreetings(Show& show) {
    timerDelta(show); // only the new previous timer time is wanted, for the next spin
    slideCard(show);
    spectrumTiles(show, show.overlay.tilesA);
}

void renderGreetings(Show&, const FrameDraw& frame) {
    renderThroughBloom(frame);
}

} // namespace

void hideEndCard(Overlay& overlay) {
    showCard(overlay, kGreetingCards[kLastCard], false);
}

// ---- rows ----
void describeGreetings(SceneRow* rows) {
    for (const GreetingCard& card : kGreetingCards) {
        SceneRow& row = rows[card.scene - 1];
        row.enter = card.scene == kGreetingCards[0].scene ? enterGreetings : nextCard;
        row.beforeRead = spinSculptures;
        row.update = updateGreetings;
        row.render = renderGreetings;
    }
}

} // namespace show
