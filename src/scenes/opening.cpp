// Scenes 1 and 2: the world rises out of white with the group logo and a dotted spectrum
// along the bottom edge; then the title drops in from above and jumps on every bass beat.
#include "scenes/opening.h"

#include "content/band_levels.h"
#include "content/scene_starts.h"
#include "scenes/nodes.h"
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
    show.scene.opening.rowOffsets.fill(0);
    overlay.title->setVisible(true);
    overlay.fader->fadeIn(kFadeInMs);
    show.scene.title.nudged = false;
    show.scene.title.stepClock = show.clock();
    overlay.title->move(position2di(0, -kTitleDropHeight));
}

// ---- frame ----

void logoFrame(Show& show) {
    spectrumRowDisplay(show.scene.opening, show.spectrum(), show.overlay.rowA);
}

// Paced by the clock, so a fast machine does not drop the title faster than a slow one.
void titleDrop(Show& show) {
    if (secondsSince(show, show.scene.title.stepClock) >= kPixelStepSeconds) {
        show.scene.title.stepClock = show.clock();
        show.overlay.title->move(position2di(0, kTitleDropStep));
    }
}

void titleFrame(Show& show) {
    scrollCreditsLine(show);
    spectrumRowDisplay(show.scene.opening, show.spectrum(), show.overlay.rowB);
    titleDrop(show);
}

void renderPlain(Show&, const FrameDraw& frame) {
    renderDirect(frame);
}

} // namespace

int32_t rowLift(float level) {
    const double lift = double(level) * level::kRowLift;
    return static_cast<int32_t>(static_cast<float>(lift));
}

void spectrumRowDisplay(OpeningState& state, const std::array<float, kSpectrumBands>& spectrum,
                        const std::array<irr::gui::IGUIImage*, kRowDots>& row) {
    for (int i = 0; i < kRowDots; ++i) {
        const int32_t lift = rowLift(spectrum[i]);
        row[i]->move(irr::core::position2di(0, state.rowOffsets[i] - lift));
        state.rowOffsets[i] = lift;
    }
}

// ---- rows ----

void describeOpening(SceneRow* rows) {
    SceneRow& logo = rows[scene::kLogo - 1];
    logo.enter = enterLogo;
    logo.update = logoFrame;
    logo.start = FrameStart::Cleared;
    logo.render = renderPlain;

    SceneRow& title = rows[scene::kTitle - 1];
    title.enter = enterTitle;
    title.update = titleFrame;
    title.start = FrameStart::Cleared;
    title.render = renderPlain;
    title.afterFrame = titleBeatNudge;
}

} // namespace show
