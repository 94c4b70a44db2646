// Scene 3: the twirl grid spreads into a wide cube landscape that ripples with the low half
// of the spectrum, seen through the blur pair; the title keeps its beat nudge.
#include "scenes/landscape.h"

#include "content/scene_starts.h"
#include "scenes/band_displays.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/title.h"

namespace show {
namespace {

// ---- tunables ----
constexpr irr::u32 kFadeInMs = 1000;
constexpr LandscapeLayout kWideField{-2600.0f, 250.0f}; // covers -2600 .. 1150 on x and z

// ---- entry ----
void enter(Show& show) {
    World& world = show.world;
    Overlay& overlay = show.overlay;
    overlay.title->setVisible(false);
    setAllVisible(overlay.rowB, false);
    setVisible(world.circleSculpture, false);
    overlay.greyOverlay->setVisible(false);
    setVisible(world.snowField, true);
    // The sculpture and the title were only hidden with the opening's overlay; they stay.
    setVisible(world.circleSculpture, true);
    for (auto* node : world.twirlGrid)
        setVisible(node, true);
    overlay.title->setVisible(true);
    overlay.fader->fadeIn(kFadeInMs);
}

// ---- frame ----
void update(Show& show) {
    scrollCreditsLine(show);
    spectrumLandscape(show, kWideField);
}

void render(Show&, const FrameDraw& frame) {
    renderThroughBlurPair(frame);
}

void afterFrame(Show& show) {
    titleBeatNudge(show);
}

} // namespace

// ---- rows ----
void describeLandscape(SceneRow* rows) {
    SceneRow& row = rows[scene::kLandscape - 1];
    row.enter = enter;
    row.update = update;
    row.render = render;
    row.afterFrame = afterFrame;
}

} // namespace show
