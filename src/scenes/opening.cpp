// Scenes 1 and 2: the world rises out of white with the group logo and a dotted spectrum
// along the bottom edge; then the title drops in from above and jumps on every bass beat.
#include "scenes/nodes.h"
#include "scenes/scenes.h"
#include "scenes/show.h"
#include "scenes/title.h"
#include "scenes/tunables.h"

namespace show {
namespace {

// ---- tunables ----

constexpr irr::u32 kFadeInMs = 1000;
const irr::core::vector3df kCircleSculptureStand(0, -200, 0);
constexpr irr::s32 kTitleDropHeight = 700; // the title starts this far above its place
constexpr irr::s32 kTitleDropStep = 1;

using irr::core::position2di;

// ---- entry ----

void enterLogo(Show& show) {
    Overlay& overlay = show.overlay;
    setPosition(show.world.circleSculpture, kCircleSculptureStand);
    overlay.fader->fadeIn(kFadeInMs);
    overlay.loading->setVisible(false);
    setAllVisible(overlay.rowA, true);
    overlay.groupLogo->setVisible(true);
    overlay.credits->setVisible(true); // still parked off the right edge
}

void enterTitle(Show& show) {
    Overlay& overlay = show.overlay;
    setAllVisible(overlay.rowA, false);
    overlay.groupLogo->setVisible(false);
    setVisible(show.world.circleSculpture, true);
    overlay.greyOverlay->setVisible(true);
    setAllVisible(overlay.rowB, true);
    clearRowOffsets(show.music);
    overlay.title->setVisible(true);
    overlay.fader->fadeIn(kFadeInMs);
    show.scene.titleNudged = false;
    show.scene.titleStepClock = show.clock();
    overlay.title->move(position2di(0, -kTitleDropHeight));
}

// ---- frame ----

void logoFrame(Show& show) {
    spectrumRowDisplay(show.music, show.overlay.rowA);
}

// Paced by the clock, so a fast machine does not drop the title faster than a slow one.
void titleDrop(Show& show) {
    if (secondsSince(show, show.scene.titleStepClock) >= kPixelStepSeconds) {
        show.scene.titleStepClock = show.clock();
        show.overlay.title->move(position2di(0, kTitleDropStep));
    }
}

void titleFrame(Show& show) {
    scrollCreditsLine(show);
    spectrumRowDisplay(show.music, show.overlay.rowB);
    titleDrop(show);
}

void renderPlain(Show& show) {
    beginScene(show.effects, show.engine.driver, irr::video::SColor(0));
    renderDirect(show.effects, show.engine.smgr);
}

} // namespace

// ---- rows ----

void describeOpening(SceneRow* rows) {
    SceneRow& logo = rows[0];
    logo.enter = enterLogo;
    logo.update = logoFrame;
    logo.render = renderPlain;

    SceneRow& title = rows[1];
    title.enter = enterTitle;
    title.update = titleFrame;
    title.render = renderPlain;
    title.afterFrame = titleBeatNudge;
}

} // namespace show
